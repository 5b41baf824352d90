// The CG sheet's picture widget: painting at a whole zoom, cell outlines and marks,
// and the mouse in CG pixels.
#include "app/cg_sheet_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace {

// Light enough that no author takes it for a colour of the CG.
const QColor CheckerLight(0xFF, 0xFF, 0xFF);
const QColor CheckerDark(0xD8, 0xD8, 0xD8);
constexpr int CheckerSquare = 4;  // in the widget's pixels, whatever the zoom

const QColor CellOutline(0x30, 0x90, 0xFF);
const QColor PatternMark(0xFF, 0x20, 0x80);
const QColor LayerMark(0xFF, 0x99, 0x00);
const QColor NumberText(Qt::white);
constexpr int NumberPixels = 9;

QBrush checkerboard()
{
    QImage tile(2 * CheckerSquare, 2 * CheckerSquare, QImage::Format_RGB32);
    tile.fill(CheckerLight);
    QPainter painter(&tile);
    painter.fillRect(CheckerSquare, 0, CheckerSquare, CheckerSquare, CheckerDark);
    painter.fillRect(0, CheckerSquare, CheckerSquare, CheckerSquare, CheckerDark);
    return QBrush(tile);
}

}  // namespace

CgSheetView::CgSheetView(QWidget* parent) : QWidget(parent)
{
    setObjectName("cgSheetView");
    setAccessibleName("CG");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void CgSheetView::setPicture(QImage picture, std::vector<Cell> cells)
{
    picture_ = std::move(picture);
    cells_ = std::move(cells);
    band_ = {};
    pressed_.reset();
    setFixedSize(picture_.size() * zoom_);
    update();
}

void CgSheetView::setMarks(Marks marks)
{
    if (marks == marks_) return;
    const Marks before = std::exchange(marks_, marks);
    for (const int number : {before.pattern, before.layer, marks.pattern, marks.layer}) updateCell(number);
}

void CgSheetView::setZoom(int zoom)
{
    zoom = std::clamp(zoom, 1, MaxZoom);
    if (zoom == zoom_) return;
    zoom_ = zoom;
    setFixedSize(picture_.size() * zoom_);
    update();
}

QPoint CgSheetView::pixelAt(QPointF place) const
{
    const auto clip = [](double at, int size) { return std::clamp(static_cast<int>(std::floor(at)), 0, size - 1); };
    return {clip(place.x() / zoom_, picture_.width()), clip(place.y() / zoom_, picture_.height())};
}

QRect CgSheetView::scaled(const QRect& area) const
{
    return {area.x() * zoom_, area.y() * zoom_, area.width() * zoom_, area.height() * zoom_};
}

// Both corners inside, whichever way the drag went.
QRect CgSheetView::bandTo(QPoint pixel) const
{
    const QPoint from = *pressed_;
    return QRect(QPoint(std::min(from.x(), pixel.x()), std::min(from.y(), pixel.y())),
                 QPoint(std::max(from.x(), pixel.x()), std::max(from.y(), pixel.y())));
}

void CgSheetView::updateCell(int number)
{
    for (const Cell& cell : cells_)
        if (cell.number == number) update(scaled(cell.area));
}

void CgSheetView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    // Made once: a repaint follows every frame change while the sheet is open.
    static const QBrush board = checkerboard();
    painter.fillRect(exposed, board);
    // Only the CG pixels the exposed area touches are scaled, each to a whole square.
    const QRect source(exposed.x() / zoom_, exposed.y() / zoom_, exposed.width() / zoom_ + 2,
                       exposed.height() / zoom_ + 2);
    const QRect pixels = source.intersected(picture_.rect());
    painter.drawImage(scaled(pixels), picture_, pixels);

    QFont font = painter.font();
    font.setPixelSize(NumberPixels);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const auto outline = [&](const Cell& cell, const QColor& colour) {
        const QRect area = scaled(cell.area);
        if (!area.intersects(exposed)) return;
        painter.setPen(colour);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        // The number's tag stays inside the outline, cut where the cell is smaller.
        const QString number = QString("%1").arg(cell.number, 2, 16, QChar('0')).toUpper();
        const QRect inside = area.adjusted(1, 1, -1, -1);
        const QRect tag =
            QRect(inside.topLeft(), QSize(metrics.horizontalAdvance(number) + 2, metrics.height())).intersected(inside);
        painter.fillRect(tag, colour);
        painter.setPen(NumberText);
        painter.drawText(tag, Qt::AlignCenter, number);
    };
    for (const Cell& cell : cells_)
        if (cell.number != marks_.pattern && cell.number != marks_.layer) outline(cell, CellOutline);
    // The marks come last, so that they stay whole where cells overlap.
    for (const Cell& cell : cells_) {
        if (cell.number == marks_.layer) outline(cell, LayerMark);
        if (cell.number == marks_.pattern) outline(cell, PatternMark);
    }

    if (!band_.isEmpty()) {
        const QRect band = scaled(band_).adjusted(0, 0, -1, -1);
        painter.setPen(Qt::white);
        painter.drawRect(band);
        painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
        painter.drawRect(band);
    }
}

void CgSheetView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || picture_.isNull()) return QWidget::mousePressEvent(event);
    pressed_ = pixelAt(event->position());
}

void CgSheetView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF place = event->position();
    const bool inside = !picture_.isNull() && rect().contains(place.toPoint());
    if (onHover) onHover(inside ? std::optional(pixelAt(place)) : std::nullopt);
    if (!pressed_) return;
    const QRect band = bandTo(pixelAt(place));
    if (band == band_) return;
    update(scaled(band_.united(band)));
    band_ = band;
}

void CgSheetView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressed_) return QWidget::mouseReleaseEvent(event);
    const QPoint released = pixelAt(event->position());
    const QRect band = bandTo(released);
    const QPoint pressed = *pressed_;
    pressed_.reset();
    update(scaled(band_));
    band_ = {};
    if (released == pressed) {
        if (onClick) onClick(pressed);
    } else if (onBand) {
        onBand(band);
    }
}

void CgSheetView::wheelEvent(QWheelEvent* event)
{
    // Without Ctrl the wheel scrolls the sheet.
    if (!(event->modifiers() & Qt::ControlModifier)) return event->ignore();
    const int turn = event->angleDelta().y();
    if (turn != 0) setZoom(zoom_ + (turn > 0 ? 1 : -1));
    event->accept();
}

void CgSheetView::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (onHover) onHover(std::nullopt);
}
