// The window's menu "書き出し": the running anime saved as an animated GIF or as a
// sprite sheet, its file named in a save dialog behind an interface tests answer.
#pragma once

#include <QObject>

#include <memory>
#include <string>

class QAction;
class QMenu;
class QWidget;
class TForm1;

class SaveDialogs {
public:
    virtual ~SaveDialogs() = default;

    // The file chosen in a save dialog with that title, first offering suggestion and
    // showing the files of filter ("GIF (*.gif)"); empty when it is cancelled.
    virtual std::string askSaveName(const std::string& title, const std::string& suggestion, const std::string& filter) = 0;
};

// The dialogs as Qt file dialogs over the given window.
std::unique_ptr<SaveDialogs> makeQtSaveDialogs(QWidget* parent);

class ExportMenu : public QObject {
public:
    // Adds the menu to the form's menu bar, after its own menus; the form owns it.
    static void addTo(TForm1& form);
    // The menu added to the form.
    static ExportMenu& of(TForm1& form);

    // "GIF として保存…" and "シートとして保存…": asks for a file and writes the anime
    // playing in the window, at its frame time; errors go to the form's error box.
    void saveGif();
    void saveSheet();

    void setDialogs(std::unique_ptr<SaveDialogs> dialogs) { dialogs_ = std::move(dialogs); }

    QMenu* menu = nullptr;
    QAction* gifAction = nullptr;
    QAction* sheetAction = nullptr;

private:
    explicit ExportMenu(TForm1& form);
    void save(const std::string& title, const std::string& filter, const std::string& extension);

    TForm1& form_;
    std::unique_ptr<SaveDialogs> dialogs_;
};
