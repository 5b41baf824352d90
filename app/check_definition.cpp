// The --check mode: the definition check's findings as the lines it prints.
#include "app/check_definition.h"

#include "app/console.h"
#include "chr/lint.h"
#include "platform/text.h"

CheckOutcome checkDefinition(const std::string& file)
{
    const LintReport report = lintDefinition(file);
    CheckOutcome outcome{{}, report.hasError() ? 1 : 0};
    const std::string shownFile = displayText(file);
    for (const LintFinding& finding : report.findings) outcome.text += findingLine(finding, shownFile) + "\n";
    return outcome;
}

std::string findingLine(const LintFinding& finding, const std::string& shownFile)
{
    std::string place = shownFile;
    if (finding.line > 0) place += (place.empty() ? "" : ":") + std::to_string(finding.line);
    if (!place.empty()) place += ": ";
    const char* severity = finding.severity == LintFinding::Severity::Error ? "error" : "warning";
    // A message may quote bytes of the definition: control characters are escaped so
    // that each finding stays one line.
    return escapedControls(place + severity + ": " + finding.message);
}
