// Pause and single steps on Space, Left, Right and Home, in the main window and the
// zoomed view, and the edit boxes keeping the keys typed into them.
#include "tests/gui/form_fixture.h"

#include "app/playback_control.h"
#include "app/zoom_view.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class PlaybackTest : public FormTest {
protected:
    // Anime 1 plays red, green, yellow at 100 ms a frame; anime 6, a one-shot, yellow then green.
    void SetUp() override
    {
        FormTest::SetUp();
        open({writeSampleDefinition({"#PATERN 01 020304", "#PATERN 06 0403"})});
        form->show();
        activate(form.get());
        turns(1);
    }
    void activate(QWidget* window)
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    // The colour of the frame on show: every cell covers the view's pixel (2, 2).
    uint32_t shown() { return viewPixel(2, 2); }
};

TEST_F(PlaybackTest, KeysPauseStepAndRewindWhileTheClockRunsOn)
{
    using sample::green, sample::red, sample::yellow;
    enum Action { Space, Right, Left, Home, AnimeSix, Wait };
    const struct {
        Action action;
        uint32_t later;  // milliseconds before the next turn
        uint32_t colour;
        int32_t anime;
        bool paused;
    } steps[] = {
        {Space, 0, red, 1, true},
        {Wait, 1000, red, 1, true},  // the clock runs on, the engine is not stepped
        {Right, 0, green, 1, true},
        {Right, 0, yellow, 1, true},
        {Right, 0, red, 1, true},  // past the end: the anime loops
        {Left, 0, red, 1, true},   // never before frame 1
        {Right, 0, green, 1, true},
        {Left, 0, red, 1, true},
        {Right, 0, green, 1, true},
        {Home, 0, red, 1, true},
        {AnimeSix, 0, yellow, 6, true},
        {Right, 0, green, 6, true},
        {Right, 0, red, 1, true},  // the one-shot anime ran out and returned
        {Space, 0, red, 1, false},  // a whole frame time after the resume, not at once
        {Wait, 70, red, 1, false},
        {Wait, 70, green, 1, false},
        {Right, 0, green, 1, false},  // stepping only while paused
        {Left, 0, green, 1, false},
        {Home, 0, red, 1, false},
        {Wait, 150, green, 1, false},
    };
    int index = 0;
    for (const auto& step : steps) {
        const Qt::Key keys[] = {Qt::Key_Space, Qt::Key_Right, Qt::Key_Left, Qt::Key_Home};
        if (step.action == AnimeSix)
            form->Button6->click();
        else if (step.action != Wait)
            QTest::keyClick(form.get(), keys[step.action]);
        now += step.later;
        turns(1);
        EXPECT_EQ(std::tuple(shown(), form->chr->anime, form->playback->paused()), std::tuple(step.colour, step.anime, step.paused))
            << "step " << index;
        ++index;
    }
    EXPECT_TRUE(boxes->errors.empty());
}

TEST_F(PlaybackTest, KeysWorkInTheZoomedViewAndStayInTheEditBoxes)
{
    form->zoomView->showAction->trigger();
    activate(form->zoomView);
    QTest::keyClick(form->zoomView, Qt::Key_Space);
    QTest::keyClick(form->zoomView, Qt::Key_Right);
    turns(1);
    EXPECT_EQ(std::pair(form->playback->paused(), shown()), std::pair(true, sample::green));

    form->zoomView->hide();
    activate(form.get());
    for (QLineEdit* edit : {form->Edit1, form->pedit1}) {
        edit->setFocus();
        edit->setText("12");
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Home, Qt::Key_Right, Qt::Key_Space}) QTest::keyClick(edit, key);
        turns(1);
        EXPECT_EQ(std::pair(edit->text(), form->playback->paused()), std::pair(QString("1 2"), true)) << edit->objectName().toStdString();
    }
    // Space on a focused check box or button still presses it; elsewhere it is the preview's.
    form->CheckBox1->setFocus();
    QTest::keyClick(form->CheckBox1, Qt::Key_Space);
    EXPECT_EQ(std::pair(form->CheckBox1->isChecked(), form->playback->paused()), std::pair(true, true));
    form->CheckBox1->clearFocus();
    QTest::keyClick(form.get(), Qt::Key_Space);
    EXPECT_FALSE(form->playback->paused());
}

}  // namespace
