// A definition that failed to load in the window: the load's message unchanged for
// the error box, and the file and line where the load stopped for its details.
#pragma once

#include "platform/exception.h"
#include "platform/text.h"

#include <cstdint>
#include <string>

class EDefinitionLoad : public Exception {
public:
    // line as Tqpchr::loadline gives it; 0 when the file itself could not be read.
    EDefinitionLoad(const std::string& message, const std::string& chpfile, int32_t line)
        : Exception(message), details_("ファイル: " + displayText(chpfile) + (line > 0 ? "\n行: " + std::to_string(line) : ""))
    {
    }
    const std::string& details() const { return details_; }

private:
    std::string details_;
};
