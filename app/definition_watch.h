// The automatic definition reload: the item "自動再読込" of the menu "設定" makes the
// frame cycle load the definition again whenever its file's stamp changes.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QMenu;
class Tqpchr;

class DefinitionWatch : public QObject {
public:
    // Adds the item, unchecked, after the items of the menu "設定"; owner owns the watch.
    // engine returns the engine, fromArchive whether its package was unpacked from an
    // archive, and reload loads the definition again as "再読込み" does.
    DefinitionWatch(QObject& owner, QMenu& settingsMenu, std::function<Tqpchr&()> engine,
                    std::function<bool()> fromArchive, std::function<void()> reload);

    // One frame cycle's check: when the item is checked and the package came from a
    // folder, a changed stamp of the definition file reloads it as "再読込み" does,
    // keeping the running anime when the new definition still uses it. A failed
    // reload throws once; the next change of the stamp tries again.
    void check();

    QAction* autoreload = nullptr;

private:
    void reload();

    std::function<Tqpchr&()> engine_;
    std::function<bool()> fromArchive_;
    std::function<void()> reloadDefinition_;
    std::string watched_;  // the definition whose stamp is kept, empty until one is seen
    int32_t age_ = -1;
    // The anime to run after the reload: taken when a reload begins and kept while
    // reloads fail, so that a failed one never leaves the anime it fell back to.
    std::optional<int32_t> keptAnime_;
};
