// The automatic definition reload: the item "自動再読込" of the menu "設定" makes the
// frame cycle load the definition again whenever its file's stamp changes.
#pragma once

#include <QObject>

#include <cstdint>
#include <string>

class QAction;
class TForm1;

class DefinitionWatch : public QObject {
public:
    // Adds the item, unchecked, after the form's items of "設定"; the form owns the watch.
    explicit DefinitionWatch(TForm1& form);

    // One frame cycle's check: when the item is checked and the package came from a
    // folder, a changed stamp of the definition file reloads it as "再読込み" does,
    // keeping the running anime when the new definition still uses it. A failed
    // reload throws once; the next change of the stamp tries again.
    void check();

    QAction* autoreload = nullptr;

private:
    void reload();

    TForm1& form_;
    std::string watched_;  // the definition whose stamp is kept, empty until one is seen
    int32_t age_ = -1;
    int32_t keptAnime_ = 0;    // the anime to run after the reload
    bool lastFailed_ = false;  // the last reload failed, so keptAnime_ still holds
};
