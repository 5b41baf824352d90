// The main window's start state, frame cycle, status label, error box and the
// handlers of the anime buttons, loop boxes and frame time.
#include "support/form_fixture.h"

#include "app/form1_design.h"
#include "app/playback_control.h"
#include "display/dddd.h"
#include "platform/screen.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

namespace {

using FormWindowTest = FormTest;

// Every load button starts disabled and the view black, and a failed load changes neither.
TEST_F(FormWindowTest, ACommandLinesFailedLoadIsShownOnceOverTheStartState)
{
    const std::string missing = (folder / "missing.chP").string();
    open({missing});
    turns(3);
    EXPECT_EQ(boxes->errors, std::vector<std::string>{"ファイル " + missing + " は開けません."});
    EXPECT_FALSE(form->paramload);
    for (const AnimeButton& anime : animeButtons) EXPECT_FALSE((form.get()->*anime.button)->isEnabled()) << anime.anime;
    for (const QPushButton* button : {form->reload, form->CGreload, form->buttonck, form->clipper, form->setbutton})
        EXPECT_EQ(button->isEnabled(), button == form->clipper || button == form->setbutton)
            << button->objectName().toStdString();
    for (int y : {0, 135, 270})
        for (int x : {0, 80, 166}) EXPECT_EQ(viewPixel(x, y), 0u) << x << "," << y;
}

TEST_F(FormWindowTest, StatusLabelNamesTheRunningAnimeInATextThatFitsAndKeepsItsTextForOthers)
{
    open();
    const struct {
        int anime;
        const char* shown;
    } cases[] = {{0, "状態"},
                 {1, "01-通常１"},
                 {9, "01-通常１"},
                 {18, "18-おじゃまされてる"},
                 {30, "チェックパターン"},
                 {-1, "チェックパターン"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.anime);
        form->chr->anime = c.anime;
        turns(1);
        const QLabel* status = form->Label2;
        EXPECT_EQ(status->text().toStdString(), c.shown);
        // Each text fits beside the view; only the longest needs a smaller size than the design's.
        EXPECT_GE(status->width(), QFontMetrics(status->font()).horizontalAdvance(status->text()));
        EXPECT_LE(status->geometry().right(), form->centralWidget()->width() - 1);
        EXPECT_EQ(status->font().pixelSize() == 21, c.anime != 18);
    }
    EXPECT_TRUE(boxes->errors.empty());
}

TEST_F(FormWindowTest, AnimeButtonsFrameTimeAndLoopBoxesDriveTheEngine)
{
    open();
    for (const AnimeButton& anime : animeButtons) {
        QPushButton* button = form.get()->*anime.button;
        button->setEnabled(true);
        form->chr->anime = 0;
        button->click();
        EXPECT_EQ(form->chr->anime, anime.anime) << button->objectName().toStdString();
    }
    // The frame time is the box's number (read as definitions read numbers), or a hundred.
    form->Edit1->setText("$1F");
    EXPECT_EQ(form->chr->framewait, 31);
    form->Edit1->setText("12x");
    EXPECT_EQ(form->chr->framewait, 100);
    form->CheckBox1->click();
    EXPECT_TRUE(form->chr->loopcheck);
    EXPECT_FALSE(form->chr->loopshots);
    form->CheckBox2->click();
    form->CheckBox1->click();
    EXPECT_FALSE(form->chr->loopcheck);
    EXPECT_TRUE(form->chr->loopshots);
}

TEST(ErrorBoxText, AppendsAFullStopAfterACharacterAboveIt)
{
    const struct {
        std::string message;
        std::string shown;
    } cases[] = {{"ファイル a は開けません", "ファイル a は開けません."},
                 {"abc", "abc."},
                 {"a/", "a/."},
                 {"done.", "done."},
                 {"a-", "a-"},
                 {"(1)", "(1)"},
                 {"", ""}};
    for (const auto& c : cases) EXPECT_EQ(errorBoxText(c.message), c.shown) << c.message;
}

TEST_F(FormWindowTest, TheBoxesSpeakJapaneseAndShowTheirTextAsItStands)
{
    open();
    const std::unique_ptr<MessageBoxes> qtBoxes = makeQtMessageBoxes(form.get());
    struct Seen {
        QString text, buttons;
        Qt::TextFormat format = Qt::AutoText;
    } seen;
    // Reads the box once it is open, then answers it with its last answering button.
    const auto readAndAnswer = [&seen] {
        auto* poll = new QTimer(qApp);
        QObject::connect(poll, &QTimer::timeout, [&seen, poll] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            poll->deleteLater();
            poll->stop();
            seen = {box->text(), {}, box->textFormat()};
            QAbstractButton* answer = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                seen.buttons += button->text() + "|";
                if (box->buttonRole(button) != QMessageBox::ActionRole) answer = button;  // not "details"
            }
            answer->click();
        });
        poll->start(10);
    };
    const std::string markup = "#CHARNAME <u>Neko</u>";
    readAndAnswer();
    qtBoxes->askYesNo(markup);
    EXPECT_EQ(seen.text.toStdString(), markup);
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_TRUE(seen.buttons.contains("はい") && seen.buttons.contains("いいえ")) << seen.buttons.toStdString();
    readAndAnswer();
    qtBoxes->showErrorWithDetails(markup, "details");
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_FALSE(seen.buttons.contains("Show Details")) << seen.buttons.toStdString();

    form->LoadPackage(writeFile("neko.chP", markup + "\r\n"));
    EXPECT_EQ(form->Label1->text().toStdString(), "<u>Neko</u>");
    EXPECT_EQ(form->Label1->textFormat(), Qt::PlainText);
}

// Runs the window's own cycle for at least `atLeast` ms, then until the test holds or
// 5 s have passed; whether it holds. A loaded machine only makes it wait longer.
bool cycleUntil(const std::function<bool()>& test, int atLeast)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < atLeast || (!test() && elapsed.elapsed() < 5000))
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return test();
}

TEST_F(FormWindowTest, TheCycleRunsOncePerRefreshNotAsOftenAsTheLoopAllows)
{
    int clockReads = 0;
    setMillisecondClock([&] { return ++clockReads, now; });
    open({writeSampleDefinition({"#PATERN 01 0203"})});
    form->show();
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_TRUE(cycleUntil([&] { return form->Label2->text() == "01-通常１"; }, 300));
    EXPECT_TRUE(boxes->errors.empty());
    // About 18 turns in 300 ms at 60 Hz, fewer on a loaded machine; an unpaced cycle makes thousands.
    EXPECT_GT(clockReads, 0);
    EXPECT_LT(clockReads, elapsed.elapsed() * 2 / 3);

    // A turn also runs in the millisecond the next frame change falls due, when that
    // comes before the next refresh; not while paused. longest: -1 when the turn waits for a refresh.
    const struct {
        int32_t framewait;
        uint32_t sinceLastFrame;
        bool paused;
        int longest;
    } cases[] = {{100, 96, false, 5}, {100, 50, false, -1}, {100, 96, true, -1}, {0, 0, false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.framewait * 1000 + c.sinceLastFrame);
        form->chr->framewait = c.framewait;
        if (form->playback->paused() != c.paused) form->playback->togglePause();
        form->chr->lastclock = now - c.sinceLastFrame;
        // The clock stands still, so once two refreshes have rescheduled, the answer stays.
        EXPECT_TRUE(cycleUntil(
            [&] {
                const int in = form->nextFrameChangeIn();
                return c.longest < 0 ? in == -1 : in >= 0 && in <= c.longest;
            },
            40))
            << form->nextFrameChangeIn();
    }
}

TEST_F(FormWindowTest, ThePrimarySurfaceFollowsTheDesktop)
{
    open({writeSampleDefinition({"#PATERN 01 0203"})});
    // A desktop too small to hold the view, as before a screen was added.
    Screen::setSize(50, 50);
    form->DDDD1->Primary->DDSurface->markLost();
    form->DDDD1->Primary->Restore();
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    Q_EMIT QGuiApplication::primaryScreen()->virtualGeometryChanged(desktop);
    EXPECT_EQ(form->DDDD1->Primary->Width, desktop.right() + 1);
    EXPECT_EQ(form->DDDD1->Primary->Height, desktop.bottom() + 1);
    turns(1);
    EXPECT_EQ(viewPixel(1, 1), sample::red);
}

TEST_F(FormWindowTest, QtWindowEventsReachTheMessageProcedureWithWindowsNumbers)
{
    open();
    std::vector<std::pair<uint32_t, intptr_t>> messages;
    QtWindowHost& host = form->host();
    const WindowProcedure previous = host.windowProcedure();
    host.setWindowProcedure([&](uint32_t message, uintptr_t wParam, intptr_t lParam) {
        messages.emplace_back(message, lParam);
        return previous(message, wParam, lParam);
    });
    form->show();
    QApplication::processEvents();
    messages.clear();

    form->move(300, 320);
    QApplication::processEvents();
    const POINT origin = host.clientOrigin();
    EXPECT_NE(std::ranges::find(messages, std::pair<uint32_t, intptr_t>{WM_MOVE, origin.x | (origin.y << 16)}),
              messages.end());

    messages.clear();
    host.menuLoop(true);
    host.menuLoop(false);
    form->centralWidget()->repaint();
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[0].first, WM_ENTERMENULOOP);
    EXPECT_EQ(messages[1].first, WM_EXITMENULOOP);
    EXPECT_TRUE(std::all_of(messages.begin() + 2, messages.end(),
                            [](const auto& m) { return m.first == 0x000F; }));  // WM_PAINT
}

}  // namespace
