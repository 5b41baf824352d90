// Running the program as a window.
#include "app/window_main.h"

#include "app/form1.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTimer>

#include <exception>
#include <iostream>

void prepareApplication(QApplication& application)
{
    application.setApplicationName("Pomelune!");
    application.setApplicationDisplayName("Pomelune!");
    // One style everywhere, so the design's captions fit their controls as measured.
    application.setStyle(QStyleFactory::create("Fusion"));
}

int runWindow(int argc, char** argv, const std::string& file, WindowStart start)
{
    QApplication application(argc, argv);
    prepareApplication(application);
    try {
        const bool drop = !file.empty() && start == WindowStart::Drop;
        std::vector<std::string> arguments;
        if (!file.empty() && !drop) arguments.push_back(file);
        TForm1 form(std::move(arguments));
        form.show();
        if (drop) QTimer::singleShot(0, &form, [&form, &file] { form.runGuarded([&] { form.WMDropFiles({file}); }); });
        return QApplication::exec();
    } catch (const std::exception& error) {
        std::cerr << "pomelune: " << error.what() << '\n';
        return 1;
    }
}
