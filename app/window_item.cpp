// The menu item that opens one of the program's own windows.
#include "app/window_item.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

QAction* addWindowItem(QMenu& menu, const QString& caption, const char* name, QWidget& window)
{
    QAction* action = menu.addAction(caption);
    action->setObjectName(name);
    QObject::connect(action, &QAction::triggered, &window, [&window] {
        window.show();
        window.raise();
        window.activateWindow();
    });
    return action;
}
