// The CG sheet's picture: the CG at a whole zoom, its colour key as a checkerboard, the
// outlines and numbers of its cells with the frame's cells marked, and the rubber band
// a drag draws, reported in whole CG pixels.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class CgSheetView : public QWidget {
public:
    static constexpr int MaxZoom = 8;

    // A defined cell: its number and its area in CG pixels.
    struct Cell {
        int number;
        QRect area;
    };
    // The cells of the frame on show, -1 for none.
    struct Marks {
        int pattern = -1;
        int layer = -1;
        bool operator==(const Marks&) const = default;
    };

    explicit CgSheetView(QWidget* parent);

    // The CG's pixels, opaque, the key's transparent, and its cells.
    void setPicture(QImage picture, std::vector<Cell> cells);
    // Repaints the cells whose mark changes, nothing when none does.
    void setMarks(Marks marks);
    // From 1 to MaxZoom; the widget takes the picture's size at that zoom.
    void setZoom(int zoom);
    int zoom() const { return zoom_; }
    const QImage& picture() const { return picture_; }

    // The CG pixel under the mouse, nullopt once it leaves the CG.
    std::function<void(std::optional<QPoint>)> onHover;
    // A press and release on the same CG pixel.
    std::function<void(QPoint)> onClick;
    // A drag with the left button: the pixels from the press to the release, both in it.
    std::function<void(QRect)> onBand;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The CG pixel at a place of the widget, clipped to the CG.
    QPoint pixelAt(QPointF place) const;
    // An area of CG pixels in the widget's pixels.
    QRect scaled(const QRect& area) const;
    QRect bandTo(QPoint pixel) const;
    void updateCell(int number);

    QImage picture_;
    std::vector<Cell> cells_;
    Marks marks_;
    int zoom_ = 1;
    std::optional<QPoint> pressed_;  // the pixel a left press fell on
    QRect band_;  // in CG pixels; empty while no drag runs
};
