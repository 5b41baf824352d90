// The files the exports and --render write: each one whole, under a temporary name
// beside it and then renamed into place, or an error that names it.
#pragma once

#include <filesystem>
#include <string_view>

// Raises «ファイル X に書き込めません», followed by ": " and the system's text for
// error when that is not 0.
[[noreturn]] void failWriting(const std::filesystem::path& path, int error = 0);

// Writes the bytes to path, replacing whatever had its name. Raises as failWriting.
void writeOutputFile(const std::filesystem::path& path, std::string_view bytes);
