// The --check mode: the definition check's findings as lines that editors and
// terminals turn into links, and the mode's exit status.
#pragma once

#include <string>

struct LintFinding;

struct CheckOutcome {
    // One line per finding, "FILE:LINE: error: ..." or "FILE:LINE: warning: ..." in
    // line order ("FILE: error: ..." for the file as a whole).
    std::string text;
    int status = 0;  // 1 when there is an error, else 0
};

// Checks the definition; file is the path as the user gave it.
CheckOutcome checkDefinition(const std::string& file);

// One finding as one line without its end: "FILE:LINE: warning: ...", or "LINE:
// warning: ..." when shownFile is empty; the line number is left out for the file as
// a whole. Control characters a message quotes are escaped.
std::string findingLine(const LintFinding& finding, const std::string& shownFile);
