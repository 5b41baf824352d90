// Why a CG file would not load whole: the checks the bitmap loader does not report,
// for the command-line modes, which must not pass a broken CG off as a good one.
#pragma once

#include <optional>
#include <string>

// nullopt when the bitmap loader takes the whole file; otherwise the reason it does
// not, as one short English phrase ("the file ends inside its pixel rows").
std::optional<std::string> cgLoadProblem(const std::string& path);
