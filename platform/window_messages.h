// Window messages between the program and the archiver libraries it loads: registered
// message numbers and hidden message windows. Everything runs on the thread that owns
// the windows; a message is delivered synchronously.
//
// This layer is a shared library of its own, linked by the program and by the
// archiver libraries, so that a library's sendMessage reaches the program's windows.
#pragma once

#include "platform/window_host.h"

#include <cstdint>
#include <string>

// The number of a registered message, which depends only on its name, so a library
// and the program agree on it without sharing anything: 0xC000 + (the 32-bit FNV-1a
// hash of the name with its ASCII letters in lower case) mod 0x4000. Names compare
// without regard to letter case; two names may share a number.
uint32_t registerWindowMessage(const std::string& name);

// A hidden window that only receives messages, each through handler. Its handle is
// distinct from every other window's while it exists.
HWND createMessageWindow(WindowProcedure handler);
void destroyMessageWindow(HWND window);

// Delivers the message to the message window's handler and returns its reply; 0 for
// a handle that is no message window.
intptr_t sendMessage(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam);
