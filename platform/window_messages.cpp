// Registered window messages and message-only windows, with sending to them.
#include "platform/window_messages.h"

#include <map>
#include <memory>

namespace {

// The message windows by handle; a handle is the address of its window's handler.
std::map<HWND, std::unique_ptr<WindowProcedure>>& messageWindows()
{
    static std::map<HWND, std::unique_ptr<WindowProcedure>> windows;
    return windows;
}

}  // namespace

uint32_t registerWindowMessage(const std::string& name)
{
    uint32_t hash = 2166136261u;
    for (char c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
    }
    return 0xC000 + hash % 0x4000;
}

HWND createMessageWindow(WindowProcedure handler)
{
    auto procedure = std::make_unique<WindowProcedure>(std::move(handler));
    const auto window = reinterpret_cast<HWND>(procedure.get());
    messageWindows().emplace(window, std::move(procedure));
    return window;
}

void destroyMessageWindow(HWND window) { messageWindows().erase(window); }

intptr_t sendMessage(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    const auto found = messageWindows().find(window);
    if (found == messageWindows().end()) return 0;
    // A copy, so that the handler may destroy its own window.
    const WindowProcedure handler = *found->second;
    return handler ? handler(message, wParam, lParam) : 0;
}
