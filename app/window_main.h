// Running the program as a window: the application object and the main window.
#pragma once

#include <string>

class QApplication;

// The application's settings for the main window: its title and widget style.
void prepareApplication(QApplication& application);

// Creates the application object and the main window, which loads file when it is
// not empty, and runs until the window is closed; returns the exit status.
int runWindow(int argc, char** argv, const std::string& file);
