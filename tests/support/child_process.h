// Child processes of the end-to-end test: long-running ones that end with their owner,
// and commands that run to completion within a time bound.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

// A program started in the background with its output in a log file. The destructor
// ends it by its process id: SIGTERM, then SIGKILL when it has not ended within two
// seconds.
class ChildProcess {
public:
    // passFd, when not -1, becomes the child's descriptor 3.
    ChildProcess(const std::vector<std::string>& argv, const std::filesystem::path& log, int passFd = -1);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False once the program has ended (or could not be started).
    bool running();

private:
    pid_t pid_ = -1;
    bool ended_ = false;
};

struct CommandResult {
    int status = -1;  // the exit status (124 after the timeout); -1 when it could not run
    std::string output;
};

// Runs a program with its standard output captured; ends it after the timeout.
CommandResult runCommand(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

// Reads one line from a descriptor within the timeout; empty when none arrives.
std::string readLine(int fd, std::chrono::milliseconds timeout);
