// The window's menu "書き出し": the running anime saved as an animated GIF or as a
// sprite sheet, its file named in a save dialog behind an interface tests answer.
#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class Tqpchr;

class SaveDialogs {
public:
    virtual ~SaveDialogs() = default;

    // The file chosen in a save dialog with that title, first offering suggestion and
    // showing the files of filter ("GIF (*.gif)"); empty when it is cancelled.
    virtual std::string askSaveName(const std::string& title, const std::string& suggestion,
                                    const std::string& filter) = 0;
};

// The dialogs as Qt file dialogs over the given window.
std::unique_ptr<SaveDialogs> makeQtSaveDialogs(QWidget* parent);

class ExportMenu : public QObject {
public:
    // Runs a handler and shows what it raises in the window's error box.
    using Guard = std::function<void(const std::function<void()>&)>;

    // Adds the menu to the window's menu bar, after the menus already there; the window
    // owns it and its save dialogs. engine returns the window's engine, fromArchive
    // whether its package was unpacked from an archive.
    ExportMenu(QWidget& window, QMenuBar& menuBar, std::function<Tqpchr&()> engine, std::function<bool()> fromArchive,
               Guard guard);

    // "GIF として保存…" and "シートとして保存…": asks for a file and writes the anime
    // playing in the window, at its frame time; errors go through the guard.
    void saveGif();
    void saveSheet();

    void setDialogs(std::unique_ptr<SaveDialogs> dialogs) { dialogs_ = std::move(dialogs); }

    QMenu* menu = nullptr;
    QAction* gifAction = nullptr;
    QAction* sheetAction = nullptr;

private:
    void save(const std::string& title, const std::string& filter, const std::string& extension);

    std::function<Tqpchr&()> engine_;
    std::function<bool()> fromArchive_;
    Guard guard_;
    std::unique_ptr<SaveDialogs> dialogs_;
};
