// The definition check: reads a definition once and names every problem with its
// line, both what makes the load fail and what the engine takes silently although
// an author almost never means it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct LintFinding {
    enum class Severity { Error, Warning };
    int32_t line = 0;  // counted from 1; 0 for the file as a whole
    Severity severity = Severity::Warning;
    std::string message;  // UTF-8
};

// The error that stops a load: its line (as Tqpchr::loadline gives it) and the
// message the load raises.
struct LoadFailure {
    int32_t line = 0;
    std::string message;
};

struct LintReport {
    std::vector<LintFinding> findings;  // in line order
    std::optional<LoadFailure> loadFailure;
    bool hasError() const;
};

// Checks the definition as the load reads it: the same path resolution, lines and
// values, and the CG's headers (with the palette indices of an 8-bit CG).
LintReport lintDefinition(const std::string& fileName);
