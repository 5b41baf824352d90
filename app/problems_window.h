// The window "定義の問題": the findings of the definition check for the definition
// the window last loaded or failed to load, one a line; opened from the menu "表示".
#pragma once

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

class QAction;
class QListWidget;
class QMenu;

class ProblemsWindow : public QWidget {
public:
    // Adds the item "定義の問題" at the end of viewMenu. The window, owned by parent,
    // stays hidden until the item is chosen; fromArchive tells whether the package
    // was unpacked from an archive, whose definition does not stay to be checked.
    ProblemsWindow(QWidget& parent, QMenu& viewMenu, std::function<bool()> fromArchive);

    // Lists the findings for the definition a load has just read or failed on, the
    // count in the title; nothing for a package from an archive. The check runs when
    // the window shows, so a load costs nothing more while it is closed; it reports
    // what it cannot read as findings.
    void list(const std::string& definition);

    QAction* showAction = nullptr;
    QListWidget* findings = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showFindings();

    std::function<bool()> fromArchive_;
    std::optional<std::string> definition_;  // none before a load and for an archive's
    bool listed_ = false;  // the list shows definition_'s findings
};
