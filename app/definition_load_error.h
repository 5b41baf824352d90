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
    // The load's own reason, when it gave one, ends the details.
    EDefinitionLoad(const Exception& error, const std::string& chpfile, int32_t line)
            : Exception(error.message(), "ファイル: " + displayText(chpfile) +
                                             (line > 0 ? "\n行: " + std::to_string(line) : "") +
                                             (error.reason().empty() ? "" : "\n理由: " + error.reason()))
    {
    }
};
