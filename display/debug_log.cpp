// The display's debug log: its switches, the numbered lines it writes, and
// CheckResult, which logs a failed platform call and halts when told to.
#include "display/debug_log.h"

#include "display/testing.h"
#include "platform/file_system.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool haltOnError = true;
bool logEnabled = true;
bool detailed = false;
int32_t lineCounter = 0;
std::string logPath;
bool unwritableReported = false;

const std::string& path()
{
    if (logPath.empty()) logPath = executableFolder() + "/dddd.debug";
    return logPath;
}

// The first failure to write the log is told on standard error with the system's
// reason; later ones are only skipped.
void reportUnwritable(int error) noexcept
{
    if (unwritableReported) return;
    unwritableReported = true;
    std::fprintf(stderr, "pomelune: ログファイル %s に書き込めません: %s\n", path().c_str(), std::strerror(error));
}

}  // namespace

void ApplyDebugOption(TDDDDDebugOptions options)
{
    haltOnError = options.contains(ddoHaltOnError);
    logEnabled = options.contains(ddoDebugMessage);
    detailed = options.contains(ddoDetailedLog);
}

TDDDDDebugOptions AppliedDebugOption()
{
    TDDDDDebugOptions options;
    if (haltOnError) options.include(ddoHaltOnError);
    if (logEnabled) options.include(ddoDebugMessage);
    if (detailed) options.include(ddoDetailedLog);
    return options;
}

void DebugLog(const std::string& Message) noexcept
{
    if (!logEnabled) return;
    std::FILE* file = std::fopen(path().c_str(), lineCounter == 0 ? "wb" : "ab");
    if (!file) return reportUnwritable(errno);
    const int written = std::fprintf(file, "debug#%.5d ... %s\r\n", lineCounter + 1, Message.c_str());
    const int writeError = errno;
    if (std::fclose(file) != 0 || written < 0) return reportUnwritable(written < 0 ? writeError : errno);
    ++lineCounter;
}

void DetailLog(const std::string& Message) noexcept
{
    if (detailed) DebugLog(Message);
}

int32_t CheckResult(int32_t Code, const std::string& Message) noexcept
{
    if (Code == 0) return Code;
    char code[32];
    std::snprintf(code, sizeof code, "(Error Code(%X))", static_cast<uint32_t>(Code));
    DebugLog(Message + code);
    // The halt reports failure to whoever started the program.
    if (haltOnError) std::_Exit(EXIT_FAILURE);
    return Code;
}

void setDebugLogPath(const std::string& newPath)
{
    logPath = newPath;
    lineCounter = 0;
    unwritableReported = false;
}

int32_t debugLogLineCount() { return lineCounter; }
