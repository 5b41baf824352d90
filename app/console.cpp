// Messages, checked standard output and the progress line of the command-line modes.
#include "app/console.h"

#include "platform/process.h"

#include <cerrno>
#include <chrono>

namespace {

// A run shorter than this shows no progress.
constexpr int64_t quietMilliseconds = 1000;

}  // namespace

std::string escapedControls(std::string_view text)
{
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned{byte});
        shown += escaped;
    }
    return shown;
}

void printMessage(std::string_view message)
{
    const std::string line = "pomelune: " + escapedControls(message) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

int writeOutput(std::string_view text)
{
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        return errno != 0 ? errno : EIO;
    return 0;
}

int closeOutput() { return std::fclose(stdout) == 0 ? 0 : errno; }

ProgressLine::ProgressLine(std::FILE* out, bool terminal, Clock clock)
        : out_(out),
          terminal_(terminal),
          clock_(std::move(clock)),
          start_(clock_())
{
}

ProgressLine ProgressLine::onStandardError()
{
    return ProgressLine(stderr, standardErrorIsTerminal(), [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    });
}

ProgressLine::~ProgressLine()
{
    if (shown_) std::fputc('\n', out_);
}

void ProgressLine::show(int32_t done, int32_t count)
{
    if (!terminal_ || clock_() - start_ <= quietMilliseconds) return;
    std::fprintf(out_, "\rframe %d of %d", static_cast<int>(done), static_cast<int>(count));
    std::fflush(out_);
    shown_ = true;
}
