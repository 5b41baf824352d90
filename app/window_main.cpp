// Running the program as a window.
#include "app/window_main.h"

#include "app/form1.h"

#include <QApplication>
#include <QStyleFactory>

#include <exception>
#include <iostream>

void prepareApplication(QApplication& application)
{
    application.setApplicationName("Pomelune!");
    application.setApplicationDisplayName("Pomelune!");
    // One style everywhere, so the design's captions fit their controls as measured.
    application.setStyle(QStyleFactory::create("Fusion"));
}

int runWindow(int argc, char** argv, const std::string& file)
{
    QApplication application(argc, argv);
    prepareApplication(application);
    try {
        std::vector<std::string> arguments;
        if (!file.empty()) arguments.push_back(file);
        TForm1 form(std::move(arguments));
        form.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        std::cerr << "pomelune: " << error.what() << '\n';
        return 1;
    }
}
