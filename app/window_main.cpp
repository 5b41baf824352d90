// Running the program as a window.
#include "app/window_main.h"

#include "app/form1.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTimer>
#include <QTranslator>

#include <exception>
#include <iostream>

void prepareApplication(QApplication& application)
{
    application.setApplicationName("Pomelune!");
    application.setApplicationDisplayName("Pomelune!");
    // One style everywhere, so the design's captions fit their controls as measured.
    application.setStyle(QStyleFactory::create("Fusion"));
    // Qt's own texts (standard buttons, context menus, file dialogs) in Japanese, as
    // every text of the window is.
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

int runWindow(int argc, char** argv, const std::optional<std::string>& file, WindowStart start)
{
    QApplication application(argc, argv);
    prepareApplication(application);
    try {
        const bool drop = file && start == WindowStart::Drop;
        std::vector<std::string> arguments;
        if (file && !drop) arguments.push_back(*file);
        TForm1 form(std::move(arguments));
        form.show();
        if (drop) QTimer::singleShot(0, &form, [&form, &file] { form.runGuarded([&] { form.WMDropFiles({*file}); }); });
        return QApplication::exec();
    } catch (const std::exception& error) {
        std::cerr << "pomelune: " << error.what() << '\n';
        return 1;
    }
}
