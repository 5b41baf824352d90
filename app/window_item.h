// The menu item that opens one of the program's own windows.
#pragma once

class QAction;
class QMenu;
class QString;
class QWidget;

// Adds caption at the end of menu, with that object name; choosing it shows window, or
// raises it above the others when it is open already.
QAction* addWindowItem(QMenu& menu, const QString& caption, const char* name, QWidget& window);
