// The zoomed view: the zoom chosen for its window's size, and its pixels as the
// character view's scaled.
#include "support/form_fixture.h"

#include "app/zoom_view.h"

namespace {

constexpr QSize view(167, 271);

using ZoomViewTest = FormTest;

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

}  // namespace
