// Hooks for tests of the display component: where its debug log goes and how many
// lines it holds. Production code never calls these.
#pragma once

#include <cstdint>
#include <string>

// Logs to another file from now on, starting a new log: the counter back to 0, an
// unwritable log reported again.
void setDebugLogPath(const std::string& path);
int32_t debugLogLineCount();
