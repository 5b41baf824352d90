// Child processes of the end-to-end tests: background ones that end with their owner,
// and commands run to completion within a time bound.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

// A program run in the background with its output in a log file; the destructor ends it
// by its process id (SIGTERM, SIGKILL after two seconds). passFd, unless -1, becomes its
// descriptor 3.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv, const std::filesystem::path& log, int passFd = -1);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False once the program has ended (or could not start).
    bool running();

private:
    pid_t pid_ = -1;
    bool ended_ = false;
};

struct CommandResult {
    int status = -1;  // the exit status (124 after the timeout); -1 when it could not run
    std::string output;
};

// Runs a program with its standard output captured, ending it after the timeout.
CommandResult runCommand(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);
