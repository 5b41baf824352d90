// Standard output and standard error of the command-line modes: messages in one
// form, checked writes and the progress line of a long run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

// The text with every control character (a NUL read from a definition among them)
// written as \xHH, so a message is shown whole and on one line.
std::string escapedControls(std::string_view text);

// "pomelune: " + the message, control characters escaped, on standard error.
void printMessage(std::string_view message);

// Writes the text to standard output and flushes it; 0, or the errno of the failure.
int writeOutput(std::string_view text);
// Closes standard output, so a failure of the last write shows; 0 or the errno.
int closeOutput();

// "frame k of n" on one line of a terminal, rewritten in place, once a run has
// taken more than a second; nothing at all when the output is no terminal.
class ProgressLine {
public:
    using Clock = std::function<int64_t()>;  // milliseconds
    ProgressLine(std::FILE* out, bool terminal, Clock clock);
    // Standard error, when it is a terminal, timed by the steady clock.
    static ProgressLine onStandardError();
    // Ends the line, when one was shown.
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(int32_t done, int32_t count);

private:
    std::FILE* out_;
    bool terminal_;
    Clock clock_;
    int64_t start_;
    bool shown_ = false;
};
