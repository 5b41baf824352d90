// Small helpers every archive test uses: window handles from numbers and the
// message of an EArchiver an action raises.
#pragma once

#include "archive/archiver_error.h"
#include "platform/window_host.h"

#include <cstdint>
#include <functional>
#include <string>

inline HWND window(uintptr_t number) { return reinterpret_cast<HWND>(number); }

// The message of the EArchiver the action raises; "" when it raises none.
inline std::string archiverError(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EArchiver& error) {
        return error.message();
    }
    return "";
}
