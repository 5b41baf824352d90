// A bare Qt window presenting a 167 x 271 image of changing colour at 60 Hz: the peer
// whose processor share bench/window_bench.py prints beside the viewer's.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int ViewWidth = 167;
constexpr int ViewHeight = 271;
constexpr int RefreshMilliseconds = 16;

// Each tick fills the image with the next colour and repaints it, as the viewer's
// frame cycle presents its view once per refresh.
class BareWindow : public QWidget {
public:
    BareWindow() : image_(ViewWidth, ViewHeight, QImage::Format_RGB32)
    {
        setWindowTitle("bare_window");
        setFixedSize(ViewWidth, ViewHeight);
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(RefreshMilliseconds);
        connect(&timer_, &QTimer::timeout, this, &BareWindow::tick);
        timer_.start();
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, image_); }

private:
    void tick()
    {
        ++frame_;
        image_.fill(QColor::fromHsv(frame_ * 7 % 360, 255, 255));
        repaint();
    }

    QImage image_;
    QTimer timer_;
    int frame_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    BareWindow window;
    window.show();
    return app.exec();
}
