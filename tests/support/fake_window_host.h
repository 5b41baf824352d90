// A window in memory for tests: its client area is the whole window (no frame), so
// the client origin is the window's top-left corner. It records what it is asked to
// do, in order, lets a test set its active and maximised state, and delivers
// messages through whatever procedure is in place. Its own procedure records the
// messages it receives and answers ownResult.
#pragma once

#include "platform/screen.h"
#include "platform/window_host.h"

#include <string>
#include <vector>

class FakeWindowHost : public WindowHost {
public:
    struct Message {
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
    };

    explicit FakeWindowHost(const WindowBounds& bounds = {100, 80, 320, 240})
        : bounds_(bounds), frame_(static_cast<size_t>(bounds.width) * bounds.height)
    {
        registerWindowHandle(handle_, this);
    }
    ~FakeWindowHost() override { unregisterWindowHandle(handle_); }
    FakeWindowHost(const FakeWindowHost&) = delete;
    FakeWindowHost& operator=(const FakeWindowHost&) = delete;

    // Sends a message through the current procedure and returns its result.
    intptr_t deliver(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) { return procedure_(message, wParam, lParam); }
    void create() { if (createHandler_) createHandler_(this); }
    void paint() { if (paintHandler_) paintHandler_(this); }
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
    void setBounds(const WindowBounds& bounds) override
    {
        calls.push_back("setBounds " + std::to_string(bounds.left) + " " + std::to_string(bounds.top) + " " +
                        std::to_string(bounds.width) + " " + std::to_string(bounds.height));
        bounds_ = bounds;
        frame_.assign(static_cast<size_t>(bounds.width) * bounds.height, 0);
    }
    bool maximized() const override { return isMaximized; }
    void setNormalState() override { calls.push_back("setNormalState"); isMaximized = false; }
    void drawMenuBar() override { calls.push_back("drawMenuBar"); }
    void redrawFrame() override { calls.push_back("redrawFrame"); }

    void showWarning(const std::string& title, const std::string& text) override { calls.push_back("warning " + title + " " + text); }

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
    std::vector<Message> ownMessages;
    intptr_t ownResult = 0;
    bool isActive = true;
    bool isMaximized = false;

private:
    static inline uintptr_t lastHandle = 0x10000;

    const HWND handle_ = reinterpret_cast<HWND>(lastHandle += 0x10);
    WindowBounds bounds_;
    std::vector<uint32_t> frame_;
    WindowProcedure procedure_ = [this](uint32_t message, uintptr_t wParam, intptr_t lParam) {
        ownMessages.push_back({message, wParam, lParam});
        return ownResult;
    };
    WindowHandler createHandler_;
    WindowHandler paintHandler_;
};
