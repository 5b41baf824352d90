// The windows known by handle, so a handle's messages reach its window host.
#include "platform/window_host.h"

#include <map>

namespace {

std::map<HWND, WindowHost*>& windows()
{
    static std::map<HWND, WindowHost*> registered;
    return registered;
}

}  // namespace

void registerWindowHandle(HWND handle, WindowHost* window) { windows()[handle] = window; }

void unregisterWindowHandle(HWND handle) { windows().erase(handle); }

WindowHost* windowFromHandle(HWND handle)
{
    const auto found = windows().find(handle);
    return found == windows().end() ? nullptr : found->second;
}
