// A window in memory for tests, its client area the whole window: it records what it is
// asked to do and delivers messages through the procedure in place; its own procedure
// records the messages it receives and answers 0.
#pragma once

#include "platform/screen.h"
#include "platform/window_host.h"

#include <string>
#include <vector>

class FakeWindowHost : public WindowHost {
public:
    explicit FakeWindowHost(const WindowBounds& bounds = {100, 80, 320, 240})
            : bounds_(bounds),
              frame_(static_cast<size_t>(bounds.width) * bounds.height)
    {
        registerWindowHandle(handle_, this);
    }
    ~FakeWindowHost() override { unregisterWindowHandle(handle_); }
    FakeWindowHost(const FakeWindowHost&) = delete;
    FakeWindowHost& operator=(const FakeWindowHost&) = delete;

    // Sends a message through the current procedure and returns its result.
    intptr_t deliver(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0)
    {
        return procedure_(message, wParam, lParam);
    }
    void create()
    {
        if (createHandler_) createHandler_(this);
    }
    void paint()
    {
        if (paintHandler_) paintHandler_(this);
    }
    // A pixel of the client area, 0x00RRGGBB.
    uint32_t pixel(int32_t x, int32_t y) const { return frame_[static_cast<size_t>(y) * bounds_.width + x]; }

    HWND handle() override { return handle_; }
    POINT clientOrigin() const override { return {bounds_.left, bounds_.top}; }
    int32_t clientWidth() const override { return bounds_.width; }
    int32_t clientHeight() const override { return bounds_.height; }
    uint32_t* frameBuffer() override { return frame_.data(); }
    void frameBufferChanged(const Rect& area) override { changedAreas.push_back(area); }

    void show() override { calls.push_back("show"); }
    void bringToFront() override { calls.push_back("bringToFront"); }
    void bringToTop() override { calls.push_back("bringToTop"); }
    WindowBounds bounds() const override { return bounds_; }
    void setBounds(const WindowBounds& b) override
    {
        calls.push_back("setBounds " + std::to_string(b.left) + " " + std::to_string(b.top) + " " +
                        std::to_string(b.width) + " " + std::to_string(b.height));
        bounds_ = b;
        frame_.assign(static_cast<size_t>(b.width) * b.height, 0);
    }
    bool maximized() const override { return isMaximized; }
    void setNormalState() override
    {
        calls.push_back("setNormalState");
        isMaximized = false;
    }
    void drawMenuBar() override { calls.push_back("drawMenuBar"); }
    void redrawFrame() override { calls.push_back("redrawFrame"); }
    void showWarning(const std::string& title, const std::string& text) override
    {
        calls.push_back("warning " + title + " " + text);
    }

    int32_t screenWidth() const override { return Screen::width(); }
    int32_t screenHeight() const override { return Screen::height(); }
    bool isActiveWindow() const override { return isActive; }

    WindowProcedure windowProcedure() const override { return procedure_; }
    void setWindowProcedure(WindowProcedure procedure) override { procedure_ = std::move(procedure); }
    WindowHandler createHandler() const override { return createHandler_; }
    void setCreateHandler(WindowHandler handler) override { createHandler_ = std::move(handler); }
    WindowHandler paintHandler() const override { return paintHandler_; }
    void setPaintHandler(WindowHandler handler) override { paintHandler_ = std::move(handler); }

    std::vector<std::string> calls;
    std::vector<Rect> changedAreas;  // in client coordinates
    std::vector<uint32_t> ownMessages;
    bool isActive = true, isMaximized = false;

private:
    static inline uintptr_t lastHandle = 0x10000;

    const HWND handle_ = reinterpret_cast<HWND>(lastHandle += 0x10);
    WindowBounds bounds_;
    std::vector<uint32_t> frame_;
    WindowProcedure procedure_ = [this](uint32_t message, uintptr_t, intptr_t) {
        ownMessages.push_back(message);
        return intptr_t{0};
    };
    WindowHandler createHandler_, paintHandler_;
};
