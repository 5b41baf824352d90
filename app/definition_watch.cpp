// The automatic definition reload of the frame cycle.
#include "app/definition_watch.h"

#include "chr/qpchr.h"
#include "platform/file_system.h"

#include <QAction>
#include <QMenu>

#include <utility>

DefinitionWatch::DefinitionWatch(QObject& owner, QMenu& settingsMenu, std::function<Tqpchr&()> engine,
                                 std::function<bool()> fromArchive, std::function<void()> reload)
        : QObject(&owner),
          engine_(std::move(engine)),
          fromArchive_(std::move(fromArchive)),
          reloadDefinition_(std::move(reload))
{
    autoreload = settingsMenu.addAction("自動再読込");
    autoreload->setObjectName("autoreload");
    autoreload->setCheckable(true);
    // Switching on reloads nothing: the stamp is first taken on the next cycle.
    connect(autoreload, &QAction::toggled, this, [this] { watched_.clear(); });
}

// A definition loaded by other means (a drop, the button) is only taken note of: the
// stamp is kept per file, so a new file is never reloaded for being new.
void DefinitionWatch::check()
{
    const std::string& file = engine_().chpfile;
    if (!autoreload->isChecked() || fromArchive_() || file.empty()) return;
    const int32_t age = fileAge(file);
    if (file != watched_) {
        watched_ = file;
        age_ = age;
        keptAnime_.reset();
        return;
    }
    if (age == age_) return;
    // Kept before the load, so that a file caught half-written is reported once and
    // taken up at its next save.
    age_ = age;
    reload();
}

void DefinitionWatch::reload()
{
    Tqpchr& chr = engine_();
    if (!keptAnime_) keptAnime_ = chr.anime;
    reloadDefinition_();
    const int32_t anime = *std::exchange(keptAnime_, std::nullopt);
    if (anime >= 0 && anime < Tqpchr::AnimeCount && chr.animeused[static_cast<size_t>(anime)]) chr.start(anime);
}
