// The main window TForm1: its controls, the display and archive components it owns,
// the character engine, the frame cycle, package loading and the handlers of its
// controls.
#pragma once

#include "app/message_boxes.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CgSheet;
class DefinitionWatch;
class ExportMenu;
class PlaybackControl;
class ProblemsWindow;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTimer;
class QtWindowHost;
class TArchiveFile;
class TDDDD;
class Tqpchr;
class TimelineView;
class ZoomView;

class TForm1 : public QMainWindow {
public:
    // Builds the window from its design; the display component starts on it and runs
    // FormCreate. arguments are the command-line arguments after the program name
    // (the first is the package to load). Without boxes, Qt message boxes are used.
    explicit TForm1(std::vector<std::string> arguments, std::unique_ptr<MessageBoxes> boxes = nullptr);
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Creation and destruction of the window.
    void FormCreate(void* Sender);
    void FormDestroy();

    // One frame cycle; Done := false asks for the next cycle without waiting.
    void AppIdle(QObject* Sender, bool& Done);
    // Copies the view area of the back buffer to the window.
    void PresentView();

    // Loading a package.
    void LoadPackage(const std::string& path);
    // A drop of files: only the first path counts.
    void WMDropFiles(const std::vector<std::string>& names);
    // Deletes the unpacked files named by a listing, inside tempdir only.
    void ClearTemp(const std::vector<std::string>& entries);

    // Anime buttons, loop boxes, frame time.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button10Click();
    void Button11Click();
    void Button12Click();
    void Button15Click();
    void Button16Click();
    void Button17Click();
    void Button18Click();
    void CheckBox1Click();
    void CheckBox2Click();
    void Edit1Change();

    // The author's tools (form1_tools.cpp).
    void EditCaretCheck();
    void buttonckClick();
    void clipperClick();
    void setbuttonClick();

    // Reloads (form1_reload.cpp).
    void reloadClick();
    void CGreloadClick();
    void autocgloadClick();
    // The automatic CG reload check of each frame cycle.
    void autoCGReloadCheck();

    // Runs a handler; an error it raises is shown once in the error box and ends it.
    // Returns false when it raised one.
    bool runGuarded(const std::function<void()>& handler);
    // One frame cycle as the window's cycle runs it (errors go to the error box).
    void runIdleTurn();
    // The screens changed: the primary surface takes the desktop's new size.
    void desktopChanged();
    // Milliseconds until the turn of the engine's next frame change, -1 when that
    // turn waits for a refresh.
    int nextFrameChangeIn() const;

    MessageBoxes& boxes() { return *boxes_; }
    QtWindowHost& host() { return *host_; }

    // Controls, named as in the window's design.
    QMenuBar* MainMenu1 = nullptr;
    QMenu* N1 = nullptr;
    QAction* autocgload = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* Button8 = nullptr;
    QPushButton* Button10 = nullptr;
    QPushButton* Button11 = nullptr;
    QPushButton* Button12 = nullptr;
    QPushButton* Button15 = nullptr;
    QPushButton* Button16 = nullptr;
    QPushButton* Button17 = nullptr;
    QPushButton* Button18 = nullptr;
    QPushButton* reload = nullptr;
    QPushButton* CGreload = nullptr;
    QPushButton* buttonck = nullptr;
    QPushButton* clipper = nullptr;
    QPushButton* setbutton = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* pedit1 = nullptr;
    QLineEdit* pedit2 = nullptr;
    QLineEdit* ledit1 = nullptr;
    QLineEdit* ledit2 = nullptr;
    QLineEdit* clipptemp = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* plabel1 = nullptr;
    QLabel* plabel2 = nullptr;
    QLabel* llabel1 = nullptr;
    QLabel* llabel2 = nullptr;
    QLabel* ppoint1 = nullptr;
    QLabel* ppoint2 = nullptr;
    QLabel* lpoint1 = nullptr;
    QLabel* lpoint2 = nullptr;

private:
    // Declared before the components bound to it, so that it goes after them.
    std::unique_ptr<QtWindowHost> host_;

public:
    // Components and the engine, owned for the window's life; they go in the reverse
    // order, the engine before the display it draws on.
    std::unique_ptr<TDDDD> DDDD1;
    std::unique_ptr<TArchiveFile> ArchiveFile1;
    std::unique_ptr<Tqpchr> chr;

    std::string tempdir;  // the unpack folder, ending in "/"
    bool paramload = false;
    bool fromarchive = false;
    std::array<int, 4> lastcaret{};  // pedit1, pedit2, ledit1, ledit2

    // Beyond the design, owned by the window: pause and step, the zoomed view, the
    // definition's automatic reload, the menu of exports and the timeline.
    PlaybackControl* playback = nullptr;
    ZoomView* zoomView = nullptr;
    DefinitionWatch* definitionWatch = nullptr;
    ExportMenu* exportMenu = nullptr;
    CgSheet* cgSheet = nullptr;
    TimelineView* timelineView = nullptr;
    ProblemsWindow* problemsWindow = nullptr;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void connectHandlers();
    void followScreens();
    void startFrameCycle();
    void frameTimerFired();
    // Runs the next turn in the millisecond the engine's next frame change falls due.
    void scheduleFrameChange();

    std::vector<std::string> arguments_;
    std::unique_ptr<MessageBoxes> boxes_;
    QTimer* frameTimer_ = nullptr;  // the screen's refresh
    QTimer* frameChangeTimer_ = nullptr;  // the engine's next frame change
};
