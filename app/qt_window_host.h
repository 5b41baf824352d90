// The main window as the display component sees it: a WindowHost on a Qt window.
// The client area's pixels live in a frame buffer; a view widget shows the part of
// it where the character view lies. Moves, sizes, activation, menu loops and paints
// that Qt reports reach the message procedure under their Windows numbers.
#pragma once

#include "platform/window_host.h"

#include <QImage>
#include <QObject>
#include <QRect>

#include <vector>

class QMenu;
class QWidget;

class QtWindowHost : public QObject, public WindowHost {
public:
    // window is the top-level window, client its client area (fixed size); view is
    // the area of the client whose pixels the view widget shows.
    QtWindowHost(QWidget* window, QWidget* client, const QRect& view);
    ~QtWindowHost() override;
    QtWindowHost(const QtWindowHost&) = delete;
    QtWindowHost& operator=(const QtWindowHost&) = delete;

    // Runs the create handler: the window now exists.
    void create();
    // The menu has been opened (true) or closed (false).
    void menuLoop(bool entered);
    // Reports each opening and closing of the window's menu as menuLoop does.
    void followMenu(const QMenu& menu);
    // The widget that shows the character view.
    QWidget* viewWidget() const { return view_; }

    HWND handle() override;
    POINT clientOrigin() const override;
    int32_t clientWidth() const override;
    int32_t clientHeight() const override;
    uint32_t* frameBuffer() override;
    void frameBufferChanged(const Rect& area) override;

    void show() override;
    void bringToFront() override;
    void bringToTop() override;
    WindowBounds bounds() const override;
    void setBounds(const WindowBounds& bounds) override;
    bool maximized() const override;
    void setNormalState() override;
    void drawMenuBar() override;
    void redrawFrame() override;
    void showWarning(const std::string& title, const std::string& text) override;
    int32_t screenWidth() const override;
    int32_t screenHeight() const override;
    bool isActiveWindow() const override;

    WindowProcedure windowProcedure() const override { return procedure_; }
    void setWindowProcedure(WindowProcedure procedure) override { procedure_ = std::move(procedure); }
    WindowHandler createHandler() const override { return createHandler_; }
    void setCreateHandler(WindowHandler handler) override { createHandler_ = std::move(handler); }
    WindowHandler paintHandler() const override { return paintHandler_; }
    void setPaintHandler(WindowHandler handler) override { paintHandler_ = std::move(handler); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    intptr_t deliver(uint32_t message, uintptr_t wParam, intptr_t lParam);
    void sendSize();

    QWidget* window_;
    QWidget* client_;
    QRect viewArea_;
    std::vector<uint32_t> frame_;
    std::vector<uint32_t> shown_;  // the view's pixels as last repainted
    QImage image_;  // over frame_, so the view widget paints without a copy
    QWidget* view_ = nullptr;
    WindowProcedure procedure_ = [](uint32_t, uintptr_t, intptr_t) -> intptr_t { return 0; };
    WindowHandler createHandler_;
    WindowHandler paintHandler_;
};
