// The zoomed view: a second, resizable window that mirrors the main window's
// character view at a whole zoom of 1 to 8 device pixels per pixel, titled with the
// running anime and its frame; opened from the menu "表示".
#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QtWindowHost;
class Tqpchr;

class ZoomView : public QWidget {
public:
    static constexpr int MaxZoom = 8;

    // Adds the menu "表示" with "拡大表示" to the menu bar. The window, owned by parent,
    // shows host's character view and stays hidden until the item is chosen; its title
    // tells the anime of engine and whether paused() holds.
    ZoomView(QWidget& parent, QMenuBar& menuBar, QtWindowHost& host, std::function<const Tqpchr&()> engine,
             std::function<bool()> paused);

    // One frame cycle: nothing while hidden; else the title follows the anime and the
    // picture is scaled and repainted where the view changed.
    void refresh();

    // The whole zoom at which a view fits a window of that size in logical pixels on
    // a screen with that ratio of device pixels to logical ones, from 1 to MaxZoom.
    static int zoomFor(QSize view, QSize window, qreal ratio);

    int zoom() const { return zoom_; }

    QMenu* menu = nullptr;
    QAction* showAction = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void updateTitle();
    // The scaled picture's place in the window, in logical pixels.
    QRectF pictureArea() const;

    QtWindowHost& host_;
    std::function<const Tqpchr&()> engine_;
    std::function<bool()> paused_;
    std::vector<uint32_t> shown_;  // the view's pixels in scaled_
    QImage scaled_;
    int zoom_ = 0;  // 0: scaled_ is to be made again
    struct Title {
        int32_t anime, frame;
        int frames;
        bool paused;
        bool operator==(const Title&) const = default;
    } title_{-1, -1, -1, false};
};
