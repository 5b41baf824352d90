// The errors the archive subsystem detects itself, with their fixed texts.
#pragma once

#include "platform/exception.h"

class EArchiver : public Exception {
public:
    using Exception::Exception;
};
