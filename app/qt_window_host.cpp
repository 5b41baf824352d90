// The display component's window on Qt: frame buffer, view widget and the
// translation of Qt's window events to Windows messages.
#include "app/qt_window_host.h"

#include "app/changed_rows.h"

#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QWindowStateChangeEvent>

namespace {

constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uintptr_t WA_INACTIVE = 0;
constexpr uintptr_t WA_ACTIVE = 1;
constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;
constexpr uintptr_t SIZE_MAXIMIZED = 2;

// Two signed 16-bit halves in one parameter, low first.
intptr_t makeLParam(int low, int high)
{
    return static_cast<intptr_t>((static_cast<uint32_t>(low) & 0xFFFFu) |
                                 ((static_cast<uint32_t>(high) & 0xFFFFu) << 16));
}

// Shows its part of the client area's frame buffer. It paints every pixel of
// what it is asked to repaint, so nothing behind it is painted first.
class ViewWidget : public QWidget {
public:
    ViewWidget(QWidget* client, const QImage& frame, const QRect& area) : QWidget(client), frame_(frame), area_(area)
    {
        setObjectName("view");
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(area);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        const QRect part = event->rect();
        painter.drawImage(part, frame_, part.translated(area_.topLeft()));
    }

private:
    const QImage& frame_;
    QRect area_;
};

}  // namespace

QtWindowHost::QtWindowHost(QWidget* window, QWidget* client, const QRect& view)
        : window_(window),
          client_(client),
          viewArea_(view),
          frame_(static_cast<size_t>(client->width()) * client->height(), 0),
          shown_(frame_),
          image_(reinterpret_cast<const uchar*>(frame_.data()), client->width(), client->height(),
                 client->width() * static_cast<int>(sizeof(uint32_t)), QImage::Format_RGB32)
{
    view_ = new ViewWidget(client, image_, view);
    registerWindowHandle(handle(), this);
    window_->installEventFilter(this);
    client_->installEventFilter(this);
}

QtWindowHost::~QtWindowHost() { unregisterWindowHandle(handle()); }

void QtWindowHost::create()
{
    if (createHandler_) createHandler_(window_);
}

void QtWindowHost::menuLoop(bool entered) { deliver(entered ? WM_ENTERMENULOOP : WM_EXITMENULOOP, 0, 0); }

void QtWindowHost::followMenu(const QMenu& menu)
{
    connect(&menu, &QMenu::aboutToShow, this, [this] { menuLoop(true); });
    connect(&menu, &QMenu::aboutToHide, this, [this] { menuLoop(false); });
}

HWND QtWindowHost::handle() { return reinterpret_cast<HWND>(this); }

POINT QtWindowHost::clientOrigin() const
{
    const QPoint origin = client_->mapToGlobal(QPoint(0, 0));
    return {origin.x(), origin.y()};
}

int32_t QtWindowHost::clientWidth() const { return client_->width(); }
int32_t QtWindowHost::clientHeight() const { return client_->height(); }
uint32_t* QtWindowHost::frameBuffer() { return frame_.data(); }

// Only rows whose pixels differ from what the view widget last showed are repainted.
void QtWindowHost::frameBufferChanged(const Rect& area)
{
    const QRect changed = QRect(area.left, area.top, area.width(), area.height()).intersected(viewArea_);
    if (changed.isEmpty()) return;
    const size_t stride = static_cast<size_t>(client_->width());
    const size_t at = static_cast<size_t>(changed.top()) * stride + static_cast<size_t>(changed.left());
    const RowBand band = copyChangedRows(&frame_[at], stride, &shown_[at], stride, static_cast<size_t>(changed.width()),
                                         changed.height(), false, [](int) {});
    if (!band.empty())
        view_->update(QRect(changed.left(), changed.top() + band.first, changed.width(), band.count())
                          .translated(-viewArea_.topLeft()));
}

void QtWindowHost::show() { window_->show(); }

void QtWindowHost::bringToFront()
{
    window_->raise();
    window_->activateWindow();
}

void QtWindowHost::bringToTop() { window_->raise(); }

WindowBounds QtWindowHost::bounds() const
{
    const QRect frame = window_->frameGeometry();
    return {frame.left(), frame.top(), frame.width(), frame.height()};
}

// The window has a fixed size: only its place changes.
void QtWindowHost::setBounds(const WindowBounds& bounds) { window_->move(bounds.left, bounds.top); }

bool QtWindowHost::maximized() const { return window_->isMaximized(); }
void QtWindowHost::setNormalState() { window_->showNormal(); }
void QtWindowHost::drawMenuBar() { window_->update(); }
void QtWindowHost::redrawFrame() { window_->update(); }

void QtWindowHost::showWarning(const std::string& title, const std::string& text)
{
    QMessageBox::warning(window_, QString::fromStdString(title), QString::fromStdString(text));
}

int32_t QtWindowHost::screenWidth() const { return window_->screen()->geometry().width(); }
int32_t QtWindowHost::screenHeight() const { return window_->screen()->geometry().height(); }
bool QtWindowHost::isActiveWindow() const { return window_->isActiveWindow(); }

intptr_t QtWindowHost::deliver(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    return procedure_ ? procedure_(message, wParam, lParam) : 0;
}

void QtWindowHost::sendSize()
{
    const uintptr_t kind = window_->isMinimized()   ? SIZE_MINIMIZED
                           : window_->isMaximized() ? SIZE_MAXIMIZED
                                                    : SIZE_RESTORED;
    deliver(WM_SIZE, kind, makeLParam(client_->width(), client_->height()));
}

bool QtWindowHost::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Paint) {
        deliver(WM_PAINT, 0, 0);
        if (paintHandler_) paintHandler_(window_);
        return false;
    }
    if (watched != window_) return false;
    switch (event->type()) {
    case QEvent::Move: {
        const POINT origin = clientOrigin();
        deliver(WM_MOVE, 0, makeLParam(origin.x, origin.y));
        break;
    }
    case QEvent::Resize:
    case QEvent::WindowStateChange: sendSize(); break;
    case QEvent::WindowActivate:
        deliver(WM_ACTIVATE, WA_ACTIVE, 0);
        deliver(WM_QUERYNEWPALETTE, 0, 0);
        break;
    case QEvent::WindowDeactivate: deliver(WM_ACTIVATE, WA_INACTIVE, 0); break;
    default: break;
    }
    return false;
}
