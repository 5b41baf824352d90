// The main window's life: building it and its components, the frame cycle paced to
// the screen's refresh, presenting the view, the error guard, and the handlers of
// the anime buttons, loop boxes and frame time.
#include "app/form1.h"

#include "app/anime_status.h"
#include "app/cg_sheet.h"
#include "app/definition_watch.h"
#include "app/export_menu.h"
#include "app/form1_design.h"
#include "app/playback_control.h"
#include "app/problems_window.h"
#include "app/qt_window_host.h"
#include "app/timeline_view.h"
#include "app/unpack_folder.h"
#include "app/zoom_view.h"
#include "archive/archive_file.h"
#include "chr/definition_text.h"
#include "chr/qpchr.h"
#include "display/dddd.h"
#include "platform/clock.h"
#include "platform/exception.h"
#include "platform/screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace {

// The character view in the client area, and where the engine draws it in the
// back buffer.
constexpr int ViewLeft = 104;
constexpr int ViewTop = 0;
constexpr int ViewWidth = 167;
constexpr int ViewHeight = 271;

constexpr double UnknownRefreshRate = 60;
constexpr int StatusFontPixels = 21;

// The status label's text for each anime; empty for the animes that leave it as it is.
const std::array<QString, Tqpchr::AnimeCount>& statusTexts()
{
    static const std::array<QString, Tqpchr::AnimeCount> texts = [] {
        std::array<QString, Tqpchr::AnimeCount> t;
        t[1] = "01-通常１";
        t[2] = "02-通常２";
        t[3] = "03-おじゃま";
        t[4] = "04-ミス";
        t[5] = "05-立ち";
        t[6] = "06-喜び１";
        t[7] = "07-喜び２";
        t[8] = "08-喜び３";
        t[10] = "10-ダメージ１";
        t[11] = "11-ダメージ２";
        t[12] = "12-ダメージ３";
        t[15] = "15-勝ち";
        t[16] = "16-負け";
        t[17] = "17-完全勝利";
        t[18] = "18-おじゃまされてる";
        t[30] = "チェックパターン";
        return t;
    }();
    return texts;
}

// Shows a status text in the design's font size, or smaller when the text would run
// past the window's right edge ("18-おじゃまされてる" does at 21 pixels).
void showStatus(QLabel& label, const QString& text)
{
    const int room = label.parentWidget()->width() - label.x();
    QFont font = label.font();
    font.setPixelSize(StatusFontPixels);
    while (font.pixelSize() > 1 && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 1);
    label.setFont(font);
    label.setText(text);
    label.adjustSize();
}

// The primary surface is the whole desktop, so the window's view lands on it
// wherever the window lies.
void fitScreenToDesktop()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect desktop = screen->virtualGeometry();
    Screen::setSize(std::max(1, desktop.right() + 1), std::max(1, desktop.bottom() + 1));
}

}  // namespace

const QString& animeStatusText(int32_t anime)
{
    static const QString none;
    return anime >= 0 && anime < Tqpchr::AnimeCount ? statusTexts()[static_cast<size_t>(anime)] : none;
}

TForm1::TForm1(std::vector<std::string> arguments, std::unique_ptr<MessageBoxes> boxes)
        : arguments_(std::move(arguments)),
          boxes_(boxes ? std::move(boxes) : makeQtMessageBoxes(this))
{
    createControls();
    host_ = std::make_unique<QtWindowHost>(this, centralWidget(), QRect(ViewLeft, ViewTop, ViewWidth, ViewHeight));
    host_->setCreateHandler([this](void* sender) { FormCreate(sender); });
    host_->viewWidget()->setAccessibleName("キャラクター表示");
    fitScreenToDesktop();

    DDDD1 = std::make_unique<TDDDD>(host_.get());
    DDDD1->setDebugOption({ddoHaltOnError});
    DDDD1->BackColor = 0;
    DDDD1->setDisableScreenSaver(true);
    DDDD1->Use3D = false;
    DDDD1->D3DOptions = TD3DOptions{MakeZBuffer};
    DDDD1->VsyncAtWindowed = true;
    DDDD1->Loaded();
    ArchiveFile1 = std::make_unique<TArchiveFile>();
    followScreens();

    connectHandlers();
    const auto engine = [this]() -> Tqpchr& { return *chr; };
    const auto fromArchive = [this] { return fromarchive; };
    zoomView = new ZoomView(*this, *menuBar(), *host_, engine, [this] { return playback->paused(); });
    playback = new PlaybackControl(
        *this, [this] { return chr.get(); }, *zoomView->menu);
    definitionWatch = new DefinitionWatch(*this, *N1, engine, fromArchive, [this] { reloadClick(); });
    exportMenu = new ExportMenu(*this, *menuBar(), engine, fromArchive,
                                [this](const std::function<void()>& handler) { runGuarded(handler); });
    cgSheet = new CgSheet(*this, *zoomView->menu, engine, {pedit1, pedit2, ledit1, ledit2},
                          [this](size_t box) { lastcaret[box] = -1; });
    timelineView = new TimelineView(*this, *zoomView->menu, engine, *playback);
    problemsWindow = new ProblemsWindow(*this, *zoomView->menu, fromArchive);
    for (const QMenu* menu : {N1, zoomView->menu, exportMenu->menu}) host_->followMenu(*menu);
    host_->create();
}

TForm1::~TForm1()
{
    frameTimer_->stop();
    frameChangeTimer_->stop();
    FormDestroy();
}

void TForm1::FormCreate(void*)
{
    chr = std::make_unique<Tqpchr>(DDDD1.get());
    chr->anime = 0;
    setAcceptDrops(true);
    startFrameCycle();
    fromarchive = false;
    DDDD1->ClearBackBuffer();
    PresentView();
    DDDD1->ClearBackBuffer();
    // Only named here: the folder is made and checked when an archive is unpacked.
    tempdir = unpackFolderPath();
    paramload = !arguments_.empty();
}

void TForm1::FormDestroy() { chr.reset(); }

void TForm1::followScreens()
{
    const auto watch = [this](QScreen* screen) {
        connect(screen, &QScreen::virtualGeometryChanged, this, &TForm1::desktopChanged);
    };
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen* screen) {
        watch(screen);
        desktopChanged();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, &TForm1::desktopChanged);
}

// The primary surface is the whole desktop: it is made anew at the desktop's size,
// so the view lands on it wherever the window lies now.
void TForm1::desktopChanged()
{
    fitScreenToDesktop();
    if (!DDDD1->Primary || !DDDD1->Primary->DDSurface) return;
    DDDD1->Primary->DDSurface->markLost();
    DDDD1->Primary->Restore();
}

void TForm1::AppIdle(QObject*, bool& Done)
{
    if (paramload) {
        paramload = false;
        LoadPackage(arguments_.front());
    }
    definitionWatch->check();
    autoCGReloadCheck();
    EditCaretCheck();
    if (chr->anime >= 0 && chr->anime < Tqpchr::AnimeCount) {
        const QString& status = statusTexts()[static_cast<size_t>(chr->anime)];
        if (!status.isEmpty() && Label2->text() != status) showStatus(*Label2, status);
    }
    playback->advance();
    chr->draw(*DDDD1->BackBuffer, 0, 0);
    PresentView();
    zoomView->refresh();
    cgSheet->refresh();
    timelineView->refresh();
    Done = false;
}

void TForm1::PresentView()
{
    const POINT origin = host_->clientOrigin();
    const Rect destination{origin.x + ViewLeft, origin.y + ViewTop, origin.x + ViewLeft + ViewWidth,
                           origin.y + ViewTop + ViewHeight};
    const Rect source{0, 0, ViewWidth, ViewHeight};
    DDDD1->Primary->Blt(DDDD1->BackBuffer.get(), destination, source, DDBLT_WAIT, DDBLTFX{});
}

bool TForm1::runGuarded(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const Exception& error) {
        if (error.reason().empty())
            boxes_->showError(errorBoxText(error.message()));
        else
            boxes_->showErrorWithDetails(errorBoxText(error.message()), error.reason());
    } catch (const std::exception& error) {
        boxes_->showError(errorBoxText(error.what()));
    } catch (...) {
        boxes_->showError(errorBoxText("予期しないエラーが発生しました"));
    }
    return false;
}

void TForm1::runIdleTurn()
{
    runGuarded([this] {
        bool done = true;
        AppIdle(QApplication::instance(), done);
    });
}

// The cycle runs at each refresh of the screen, for presenting, and in the
// millisecond in which the engine's next frame change falls due. Presenting more
// often than the screen shows frames would only burn the processor, and a frame
// change that waited for the next refresh would make the engine add that wait to
// the next frame's time. Events are handled between two turns, so a click or a
// drop waits at most one refresh. A turn ended by an error is followed by the next
// one all the same.
void TForm1::startFrameCycle()
{
    if (frameTimer_) return;
    const QScreen* screen = this->screen();
    const double rate = screen && screen->refreshRate() > 1 ? screen->refreshRate() : UnknownRefreshRate;
    frameTimer_ = new QTimer(this);
    frameTimer_->setTimerType(Qt::PreciseTimer);
    frameTimer_->setInterval(std::max(1, static_cast<int>(std::floor(1000 / rate))));
    connect(frameTimer_, &QTimer::timeout, this, &TForm1::frameTimerFired);
    frameChangeTimer_ = new QTimer(this);
    frameChangeTimer_->setTimerType(Qt::PreciseTimer);
    frameChangeTimer_->setSingleShot(true);
    connect(frameChangeTimer_, &QTimer::timeout, this, &TForm1::frameTimerFired);
    frameTimer_->start();
}

// While a box is open the cycle waits, so that a turn never runs inside another
// handler's box and an error is never shown over another one.
void TForm1::frameTimerFired()
{
    if (QApplication::activeModalWidget()) return;
    runIdleTurn();
    scheduleFrameChange();
}

// Nothing is due while paused; a frame time beyond the refresh is looked at again
// on every refresh.
void TForm1::scheduleFrameChange()
{
    if (playback->paused()) {
        frameChangeTimer_->stop();
        return;
    }
    const int64_t wait = chr->untilNextFrame(millisecondClock());
    if (wait > frameTimer_->interval()) {
        frameChangeTimer_->stop();
        return;
    }
    frameChangeTimer_->start(static_cast<int>(wait));
}

int TForm1::nextFrameChangeIn() const
{
    return frameChangeTimer_->isActive() ? frameChangeTimer_->remainingTime() : -1;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    frameTimer_->stop();
    frameChangeTimer_->stop();
    QMainWindow::closeEvent(event);
}

void TForm1::Button1Click() { chr->start(1); }
void TForm1::Button2Click() { chr->start(2); }
void TForm1::Button3Click() { chr->start(3); }
void TForm1::Button4Click() { chr->start(4); }
void TForm1::Button5Click() { chr->start(5); }
void TForm1::Button6Click() { chr->start(6); }
void TForm1::Button7Click() { chr->start(7); }
void TForm1::Button8Click() { chr->start(8); }
void TForm1::Button10Click() { chr->start(10); }
void TForm1::Button11Click() { chr->start(11); }
void TForm1::Button12Click() { chr->start(12); }
void TForm1::Button15Click() { chr->start(15); }
void TForm1::Button16Click() { chr->start(16); }
void TForm1::Button17Click() { chr->start(17); }
void TForm1::Button18Click() { chr->start(18); }

void TForm1::CheckBox1Click() { chr->loopcheck = CheckBox1->isChecked(); }
void TForm1::CheckBox2Click() { chr->loopshots = CheckBox2->isChecked(); }

void TForm1::Edit1Change()
{
    chr->framewait = definition_text::parseInteger(Edit1->text().toStdString()).value_or(100);
}
