// The zoomed view's window: its menu item, title, zoom and nearest-neighbour scaling.
#include "app/zoom_view.h"

#include "app/anime_status.h"
#include "app/changed_rows.h"
#include "app/qt_window_host.h"
#include "app/window_item.h"
#include "chr/qpchr.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int OpeningZoom = 2;
const QColor Margin(Qt::black);

}  // namespace

ZoomView::ZoomView(QWidget& parent, QMenuBar& menuBar, QtWindowHost& host, std::function<const Tqpchr&()> engine,
                   std::function<bool()> paused)
        : QWidget(&parent, Qt::Window),
          host_(host),
          engine_(std::move(engine)),
          paused_(std::move(paused))
{
    setObjectName("zoomView");
    setAttribute(Qt::WA_OpaquePaintEvent);
    const QSize view = host_.viewWidget()->size();
    resize(view * OpeningZoom);

    menu = menuBar.addMenu("表示");
    menu->setObjectName("viewMenu");
    showAction = addWindowItem(*menu, "拡大表示", "zoomAction", *this);
}

int ZoomView::zoomFor(QSize view, QSize window, qreal ratio)
{
    if (view.isEmpty()) return 1;
    const double across = std::floor(window.width() * ratio / view.width());
    const double down = std::floor(window.height() * ratio / view.height());
    return static_cast<int>(std::clamp(std::min(across, down), 1.0, static_cast<double>(MaxZoom)));
}

void ZoomView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    zoom_ = 0;
    refresh();
}

void ZoomView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    refresh();
}

// The view's rows are compared with those last scaled, so a picture that stays (most
// frame cycles show the same frame again) costs one comparison of its pixels.
void ZoomView::refresh()
{
    if (!isVisible()) return;
    updateTitle();
    const QRect area = host_.viewWidget()->geometry();
    const qreal ratio = devicePixelRatioF();
    const int zoom = zoomFor(area.size(), size(), ratio);
    const bool remake = zoom != zoom_ || ratio != scaled_.devicePixelRatio();
    if (remake) {
        zoom_ = zoom;
        scaled_ = QImage(area.size() * zoom, QImage::Format_RGB32);
        scaled_.setDevicePixelRatio(ratio);
        shown_.assign(static_cast<size_t>(area.width()) * area.height(), 0);
    }

    const auto width = static_cast<size_t>(area.width());
    const size_t stride = static_cast<size_t>(host_.clientWidth());
    const uint32_t* view =
        host_.frameBuffer() + static_cast<size_t>(area.top()) * stride + static_cast<size_t>(area.left());
    const RowBand band = copyChangedRows(view, stride, shown_.data(), width, width, area.height(), remake, [&](int y) {
        const uint32_t* row = view + static_cast<size_t>(y) * stride;
        auto* scaledRow = reinterpret_cast<uint32_t*>(scaled_.scanLine(y * zoom));
        for (size_t x = 0; x < width; ++x) std::fill_n(scaledRow + x * static_cast<size_t>(zoom), zoom, row[x]);
        for (int copy = 1; copy < zoom; ++copy)
            std::memcpy(scaled_.scanLine(y * zoom + copy), scaledRow, width * zoom * sizeof(uint32_t));
    });
    if (remake)
        update();
    else if (!band.empty()) {
        const QRectF picture = pictureArea();
        const qreal rowHeight = zoom / ratio;
        update(QRectF(picture.left(), picture.top() + band.first * rowHeight, picture.width(), band.count() * rowHeight)
                   .toAlignedRect());
    }
}

// Centred on whole device pixels, so that every pixel of the view stays a sharp square.
QRectF ZoomView::pictureArea() const
{
    const qreal ratio = scaled_.devicePixelRatio();
    const auto left = std::floor((width() * ratio - scaled_.width()) / 2);
    const auto top = std::floor((height() * ratio - scaled_.height()) / 2);
    return {left / ratio, top / ratio, scaled_.width() / ratio, scaled_.height() / ratio};
}

void ZoomView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Margin);
    painter.drawImage(pictureArea().topLeft(), scaled_);
}

void ZoomView::updateTitle()
{
    const Tqpchr& chr = engine_();
    const Title now{chr.anime, chr.frame, chr.animeFrames(chr.anime), paused_()};
    if (now == title_) return;
    title_ = now;
    const QString& status = animeStatusText(now.anime);
    QString title = status.isEmpty() ? QString("anime %1").arg(now.anime) : status;
    title += QString(" — frame %1 / %2").arg(now.frame).arg(now.frames);
    if (now.paused) title += " — paused";
    setWindowTitle(title);
}
