#include "display/debug_log.h"

#include "platform/exception.h"
#include "platform/file_system.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool haltOnError = true;
bool logEnabled = true;
bool detailed = false;
int32_t lineCounter = 0;
std::string logPath;

const std::string& path()
{
    if (logPath.empty()) logPath = executableFolder() + "/dddd.debug";
    return logPath;
}

}  // namespace

void ApplyDebugOption(TDDDDDebugOptions options)
{
    haltOnError = options.contains(ddoHaltOnError);
    logEnabled = options.contains(ddoDebugMessage);
    detailed = options.contains(ddoDetailedLog);
}

void DebugLog(const std::string& Message)
{
    if (!logEnabled) return;
    std::FILE* file = std::fopen(path().c_str(), lineCounter == 0 ? "wb" : "ab");
    if (!file) throw Exception("ログファイル " + path() + " に書き込めません");
    ++lineCounter;
    const int written = std::fprintf(file, "debug#%.5d ... %s\r\n", lineCounter, Message.c_str());
    if (std::fclose(file) != 0 || written < 0) throw Exception("ログファイル " + path() + " に書き込めません");
}

void DetailLog(const std::string& Message)
{
    if (detailed) DebugLog(Message);
}

int32_t CheckResult(int32_t Code, const std::string& Message)
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
}

int32_t debugLogLineCount() { return lineCounter; }
