// The archive formats the archive component tells apart, in their stored order.
#pragma once

#include <cstdint>

enum TArchiverType : uint8_t { atLha, atZip, atCab, atArj, atTar, atTgz, atBZ2, atRar, atNone, atAutoDetect };
