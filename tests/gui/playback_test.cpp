// Pause and single steps from the menu 表示 and on Space, Left, Right and Home, and the
// edit boxes keeping the keys typed into them.
#include "support/form_fixture.h"

#include "app/playback_control.h"

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
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        turns(1);
    }
    // The colour of the frame on show: every cell covers the view's pixel (2, 2).
    uint32_t shown() { return viewPixel(2, 2); }
};

TEST_F(PlaybackTest, KeysPauseStepAndRewindWhileTheClockRunsOn)
{
    using sample::green, sample::red, sample::yellow;
    enum Action { Space, Right, Left, Home, AnimeSix, Wait };
    // later: milliseconds before the next turn.
    const struct {
        Action action;
        uint32_t later;
        uint32_t colour;
        int32_t anime;
        bool paused;
    } steps[] = {
        {Space, 0, red, 1, true},       {Wait, 1000, red, 1, true},  // the clock runs on, the engine is not stepped
        {Right, 0, green, 1, true},     {Right, 0, yellow, 1, true},
        {Right, 0, red, 1, true},  // past the end: the anime loops
        {Left, 0, red, 1, true},  // never before frame 1
        {Right, 0, green, 1, true},     {Left, 0, red, 1, true},
        {Right, 0, green, 1, true},     {Home, 0, red, 1, true},
        {AnimeSix, 0, yellow, 6, true}, {Right, 0, green, 6, true},
        {Right, 0, red, 1, true},  // the one-shot anime ran out and returned
        {Space, 0, red, 1, false},  // a whole frame time after the resume, not at once
        {Wait, 70, red, 1, false},      {Wait, 70, green, 1, false},
        {Right, 0, green, 1, false},  // stepping and rewinding only while paused
        {Left, 0, green, 1, false},     {Home, 0, green, 1, false},
        {Wait, 150, yellow, 1, false}};
    const Qt::Key keys[] = {Qt::Key_Space, Qt::Key_Right, Qt::Key_Left, Qt::Key_Home};
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << "step " << &step - steps);
        if (step.action == AnimeSix) form->Button6->click();
        if (step.action < AnimeSix) QTest::keyClick(form.get(), keys[step.action]);
        now += step.later;
        turns(1);
        EXPECT_EQ(shown(), step.colour);
        EXPECT_EQ(form->chr->anime, step.anime);
        EXPECT_EQ(form->playback->paused(), step.paused);
    }
    EXPECT_TRUE(boxes->errors.empty());
}

// Counts the key presses a control receives.
struct KeyPresses : QObject {
    explicit KeyPresses(QWidget* control) { control->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::KeyPress;
        return false;
    }
    int count = 0;
};

TEST_F(PlaybackTest, TheKeysWorkWhateverControlHasTheFocusButNotInAnEditBox)
{
    PlaybackControl& playback = *form->playback;
    EXPECT_FALSE(playback.stepForwardAction->isEnabled());  // stepping only while paused

    // Whatever other control has the focus, Space pauses and resumes; the arrows step
    // only while paused and otherwise reach the control.
    form->CheckBox1->setFocus();
    KeyPresses pressed(form->CheckBox1);
    QTest::keyClick(form->CheckBox1, Qt::Key_Space);
    EXPECT_FALSE(form->CheckBox1->isChecked());
    EXPECT_TRUE(playback.pauseAction->isChecked());
    QTest::keyClick(form->CheckBox1, Qt::Key_Right);
    EXPECT_EQ(pressed.count, 0);
    QTest::keyClick(form->CheckBox1, Qt::Key_Space);
    EXPECT_FALSE(playback.paused());
    QTest::keyClick(form->CheckBox1, Qt::Key_Right);
    QTest::keyClick(form->CheckBox1, Qt::Key_Home);
    EXPECT_EQ(pressed.count, 2);
    turns(1);
    EXPECT_EQ(shown(), sample::green);

    // An edit box keeps the keys typed into it.
    form->pedit1->setFocus();
    form->pedit1->setText("12");
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Home, Qt::Key_Right, Qt::Key_Space}) QTest::keyClick(form->pedit1, key);
    turns(1);
    EXPECT_EQ(form->pedit1->text(), "1 2");
    EXPECT_FALSE(playback.paused());
}

}  // namespace
