// The zoomed view: the zoom chosen for a window size and screen ratio, its
// pixels as the character view's scaled, and its title.
#include "support/form_fixture.h"

#include "app/playback_control.h"
#include "app/zoom_view.h"

namespace {

constexpr QSize view(167, 271);

using ZoomViewTest = FormTest;

TEST(ZoomFor, FollowsTheWindowSizeAndTheScreenRatioFrom1To8)
{
    const struct {
        QSize window;
        qreal ratio;
        int zoom;
    } cases[] = {{{334, 542}, 1, 2}, {{333, 542}, 1, 1},   {{334, 541}, 1, 1},    {{0, 0}, 1, 1},
                 {{334, 542}, 2, 4}, {{300, 500}, 1.5, 2}, {{167, 271}, 1.25, 1}, {{4000, 4000}, 1, 8}};
    for (const auto& c : cases)
        EXPECT_EQ(ZoomView::zoomFor(view, c.window, c.ratio), c.zoom)
            << c.window.width() << "x" << c.window.height() << " at " << c.ratio;
}

TEST_F(ZoomViewTest, ShowsTheViewScaledOnlyWhenOpen)
{
    open({writeSampleDefinition({"#PATERN 01 0203"})});
    turns(3);
    ZoomView& zoom = *form->zoomView;
    EXPECT_FALSE(zoom.isVisible());
    EXPECT_EQ(zoom.zoom(), 0);
    zoom.showAction->trigger();
    EXPECT_TRUE(zoom.isVisible());
    EXPECT_EQ(zoom.zoom(), 2);

    // Its pixels are the view's scaled and centred.
    // the window beyond the picture, shared by both sides
    const struct {
        int zoom;
        QSize slack;
    } cases[] = {{3, {10, 7}}, {1, {50, 0}}, {2, {0, 0}}};
    for (const auto& c : cases) {
        zoom.resize(view * c.zoom + c.slack);
        turns(1);
        ASSERT_EQ(zoom.zoom(), c.zoom);
        const QImage shown = zoom.grab().toImage();
        ASSERT_EQ(shown.size(), view * c.zoom + c.slack);
        const QPoint origin(c.slack.width() / 2, c.slack.height() / 2);
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QPoint at = QPoint(x, y) - origin;
                const bool inside = QRect(QPoint(0, 0), view * c.zoom).contains(at);
                const uint32_t expected = inside ? viewPixel(at.x() / c.zoom, at.y() / c.zoom) : 0;
                ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFFu, expected) << "zoom " << c.zoom << " at " << x << "," << y;
            }
    }
    // The next frame reaches the open window on the next cycle.
    EXPECT_EQ(zoom.grab().toImage().pixel(4, 4) & 0xFFFFFFu, sample::red);
    now += 200;
    turns(1);
    EXPECT_EQ(zoom.grab().toImage().pixel(4, 4) & 0xFFFFFFu, sample::green);
}

TEST_F(ZoomViewTest, TitleNamesTheAnimeAndItsFrame)
{
    open({writeSampleDefinition({"#PATERN 01 020304", "#PATERN 02 02", "#LAYER 02 020304020304"})});
    turns(1);
    form->zoomView->showAction->trigger();
    Tqpchr& chr = *form->chr;
    const struct {
        int32_t anime, frame;
        bool pause;
        const char* title;
    } cases[] = {
        {1, 3, false, "01-通常１ — frame 3 / 3"},
        {2, 5, false, "02-通常２ — frame 5 / 6"},  // the longer of the two lists
        {1, 2, true, "01-通常１ — frame 2 / 3 — paused"},
        {9, 1, false, "anime 9 — frame 1 / 0"},
    };
    for (const auto& c : cases) {
        if (c.pause != form->playback->paused()) form->playback->togglePause();
        chr.anime = c.anime;
        chr.frame = c.frame;
        form->zoomView->refresh();
        EXPECT_EQ(form->zoomView->windowTitle().toStdString(), c.title);
    }
}

}  // namespace
