// The CG's header as the CG load reads it, why a CG file would not load whole (the
// checks the bitmap loader does not report, for the command-line modes, which must
// not pass a broken CG off as a good one), and what the loader reads otherwise than
// a paint program shows it, for the definition check.
#pragma once

#include "platform/bitmap_reader.h"

#include <optional>
#include <string>
#include <vector>

// The CG's size and depth as the engine's CG load reads them, raising its errors:
// the file-open error, the invalid-bitmap error, and a refusal of depths the bitmap
// loader cannot take and of sizes no surface can hold.
BitmapHeader readCgHeader(const std::string& path);

// nullopt when the bitmap loader takes the whole file; otherwise the reason it does
// not, as one short English phrase ("the file ends inside its pixel rows").
std::optional<std::string> cgLoadProblem(const std::string& path);

// What the definition check says of a CG whose header readCgHeader takes.
struct CgFindings {
    // Why the loader would not take the file whole, as cgLoadProblem says, for
    // every reason but the two that differences name (compressed pixels, missing rows).
    std::optional<std::string> problem;
    // Each way the loader reads the file otherwise than a paint program shows it,
    // as one short English sentence naming what the author sees; none with a problem.
    std::vector<std::string> differences;
};
CgFindings cgFindings(const std::string& path);
