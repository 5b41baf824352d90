// The display layer's reporting: numbered lines in "dddd.debug" beside the
// executable, and the halt on a failed platform call.
#pragma once

#include "platform/enum_set.h"

#include <cstdint>
#include <string>

enum TDDDDDebugOption { ddoHaltOnError, ddoDebugMessage, ddoDetailedLog };
using TDDDDDebugOptions = EnumSet<TDDDDDebugOption>;

// Sets the three switches from a display component's DebugOption. They hold for
// the whole process: the display applied last sets them.
void ApplyDebugOption(TDDDDDebugOptions options);
// The switches as last applied.
TDDDDDebugOptions AppliedDebugOption();

// Appends "debug#NNNNN ... Message" when logging is enabled; the first line of a run
// starts the file anew. Never throws, since destructors log: a log that cannot be
// written is reported once on standard error and its lines are skipped.
void DebugLog(const std::string& Message) noexcept;
// DebugLog, only when detailed logging is on.
void DetailLog(const std::string& Message) noexcept;
// A nonzero Code is logged as Message + "(Error Code(%X))" and, with halt on error,
// ends the program. Returns Code.
int32_t CheckResult(int32_t Code, const std::string& Message) noexcept;
