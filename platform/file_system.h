// File-system services of the platform.
#pragma once

#include <string>

// The folder of the running executable, without a final "/".
std::string executableFolder();
