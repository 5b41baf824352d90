// Running the program as a window: the application object and the main window.
#pragma once

#include <optional>
#include <string>

class QApplication;

// The application's settings for the main window: its title and widget style.
void prepareApplication(QApplication& application);

// How the window takes the file of its command line: loaded as a definition, or as a
// drop on the window (what a file manager opening a package archive wants).
enum class WindowStart { Load, Drop };

// Creates the application object and the main window, which takes file as start says
// when one is given (an empty name too: its load fails and says so), and runs until
// the window is closed; returns the exit status.
int runWindow(int argc, char** argv, const std::optional<std::string>& file, WindowStart start);
