// The menu 書き出し and its save dialogs.
#include "app/export_menu.h"

#include "app/anime_export.h"

#include "chr/qpchr.h"
#include "display/offscreen_display.h"
#include "platform/exception.h"

#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>

#include <cstdio>

namespace {

class QtSaveDialogs : public SaveDialogs {
public:
    explicit QtSaveDialogs(QWidget* parent) : parent_(parent) {}

    std::string askSaveName(const std::string& title, const std::string& suggestion, const std::string& filter) override
    {
        return QFileDialog::getSaveFileName(parent_, QString::fromStdString(title), QString::fromStdString(suggestion),
                                            QString::fromStdString(filter))
            .toStdString();
    }

private:
    QWidget* parent_;
};

// What an export's playing changes in the engine, put back when the export ends.
class KeptPlaying {
public:
    explicit KeptPlaying(Tqpchr& chr)
            : chr_(chr),
              anime_(chr.anime),
              frame_(chr.frame),
              returnanime_(chr.returnanime),
              lastclock_(chr.lastclock)
    {
    }
    ~KeptPlaying()
    {
        chr_.anime = anime_;
        chr_.frame = frame_;
        chr_.returnanime = returnanime_;
        chr_.lastclock = lastclock_;
    }
    KeptPlaying(const KeptPlaying&) = delete;
    KeptPlaying& operator=(const KeptPlaying&) = delete;

private:
    Tqpchr& chr_;
    int32_t anime_, frame_, returnanime_;
    uint32_t lastclock_;
};

// NAME-animeNN.EXT beside the definition, or only the name for a package from an archive.
std::string suggestedName(const Tqpchr& chr, bool fromArchive, const std::string& extension)
{
    const std::filesystem::path definition(chr.chpfile);
    char anime[16];
    std::snprintf(anime, sizeof anime, "-anime%02d", static_cast<int>(chr.anime));
    const std::string name = definition.stem().string() + anime + extension;
    return fromArchive ? name : (definition.parent_path() / name).string();
}

}  // namespace

std::unique_ptr<SaveDialogs> makeQtSaveDialogs(QWidget* parent) { return std::make_unique<QtSaveDialogs>(parent); }

ExportMenu::ExportMenu(QWidget& window, QMenuBar& menuBar, std::function<Tqpchr&()> engine,
                       std::function<bool()> fromArchive, Guard guard)
        : QObject(&window),
          engine_(std::move(engine)),
          fromArchive_(std::move(fromArchive)),
          guard_(std::move(guard)),
          dialogs_(makeQtSaveDialogs(&window))
{
    setObjectName("exportMenu");
    menu = menuBar.addMenu("書き出し");
    gifAction = menu->addAction("GIF として保存…");
    sheetAction = menu->addAction("シートとして保存…");
    connect(gifAction, &QAction::triggered, this, [this] { saveGif(); });
    connect(sheetAction, &QAction::triggered, this, [this] { saveSheet(); });
}

void ExportMenu::saveGif() { save("GIF として保存", "GIF (*.gif)", ".gif"); }

void ExportMenu::saveSheet() { save("シートとして保存", "PNG (*.png)", ".png"); }

void ExportMenu::save(const std::string& title, const std::string& filter, const std::string& extension)
{
    guard_([&] {
        Tqpchr& chr = engine_();
        if (chr.chpfile.empty()) throw Exception("書き出すキャラクターが読み込まれていません");
        std::string name = dialogs_->askSaveName(title, suggestedName(chr, fromArchive_(), extension), filter);
        if (name.empty()) return;
        if (!hasExtension(name, extension)) name += extension;
        // The window's engine, with the lists the author's tools set, the loop boxes
        // and the speed box's frame time, plays the anime from its first frame on a
        // display of its own; a package unpacked from an archive has no files left
        // to load again. Its anime then goes on where it was.
        const KeptPlaying kept(chr);
        OffscreenDisplay display;
        exportAnime(chr, display, {chr.anime, name, 1, {}});
    });
}
