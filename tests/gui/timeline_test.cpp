// The timeline: each frame's entries, picture and loop mark up to the engine's end,
// the highlight, a click putting a frame on show paused, and when the strip is built.
#include "support/form_fixture.h"

#include "app/playback_control.h"
#include "app/timeline_view.h"

#include <QPointer>
#include <QTest>

namespace {

class TimelineTest : public FormTest {
protected:
    // Anime 1 plays red, green, yellow; anime 2 has destinations, layers and a loop frame.
    void SetUp() override
    {
        FormTest::SetUp();
        open({writeSampleDefinition(
            {"#PATERN 01 020304", "#PATERN 02 0203 0101", "#LAYER 02 020304 010203", "#LOOP 02 2"})});
        form->show();  // the keys of the menu work while the window is shown
        turns(1);
        EXPECT_TRUE(frames().empty()) << "built while hidden";
        form->timelineView->showAction->trigger();
        turns(1);
    }
    QList<QWidget*> frames() { return form->timelineView->findChildren<QWidget*>("timelineFrame"); }
    QString header() { return form->timelineView->findChild<QLabel*>("timelineHeader")->text(); }
};

TEST_F(TimelineTest, FramesShowTheirEntriesAndPicturesUpToTheEnginesEnd)
{
    form->Button2Click();
    turns(1);
    EXPECT_EQ(form->timelineView->windowTitle(), "タイムライン — 02-通常２");
    EXPECT_EQ(header(), "frame 1 / 3 — 300 ms");
    // colour: the picture's pixel (1, 1), the view's (2, 2).
    const struct {
        const char* description;
        uint32_t colour;
    } cases[] = {{"パ 02/01 レ 02/01", sample::red},
                 {"パ 03/01 レ 03/02 #LOOP", sample::green},
                 {"パ --/-- レ 04/03", sample::blue}};
    ASSERT_EQ(frames().size(), std::size(cases));
    for (int k = 0; k < frames().size(); ++k) {
        SCOPED_TRACE(k + 1);
        QWidget* frame = frames()[k];
        EXPECT_EQ(frame->accessibleName(), QString("frame %1").arg(k + 1));
        EXPECT_EQ(frame->accessibleDescription(), cases[k].description);
        const QImage shown = frame->grab().toImage();
        EXPECT_EQ(shown.pixel((frame->width() - sample::viewWidth / 2) / 2 + 1, 5) & 0xFFFFFFu, cases[k].colour);
    }
    // Frame 2 emptied: the anime ends after frame 1, though frame 3 still has a layer.
    form->chr->patsrc[2][2] = form->chr->laysrc[2][2] = -1;
    turns(1);
    EXPECT_EQ(frames().size(), 1);
    EXPECT_EQ(header(), "frame 1 / 1 — 100 ms");
}

TEST_F(TimelineTest, AClickShowsTheFramePausedAndSpaceGoesOnFromIt)
{
    TimelineView& timeline = *form->timelineView;
    const QPointer<QWidget> first = frames().front();
    const struct {
        int click;  // the frame clicked, 0 for Space
        uint32_t later;  // milliseconds before the next turn
        uint32_t colour;
        int32_t highlighted;
        bool paused;
    } steps[] = {{0, 101, sample::green, 2, false}, {3, 0, sample::yellow, 3, true}, {0, 1000, sample::yellow, 3, true},
                 {1, 0, sample::red, 1, true},      {-1, 0, sample::red, 1, false},  {0, 100, sample::red, 1, false},
                 {0, 1, sample::green, 2, false}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        const auto& step = steps[i];
        if (step.click > 0) QTest::mouseClick(frames()[step.click - 1], Qt::LeftButton);
        if (step.click < 0) {
            timeline.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&timeline));
            QTest::keyClick(&timeline, Qt::Key_Space);
        }
        now += step.later;
        turns(1);
        EXPECT_EQ(viewPixel(2, 2), step.colour);
        EXPECT_EQ(timeline.highlighted(), step.highlighted);
        EXPECT_EQ(form->playback->paused(), step.paused);
    }
    EXPECT_EQ(first, frames().front()) << "built again while the anime stayed";
}

}  // namespace
