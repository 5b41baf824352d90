#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Replaces the forked child with the program; never returns.
[[noreturn]] void execute(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

int millisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for the child until the deadline; true when it has ended and is reaped.
bool reap(pid_t pid, Clock::time_point deadline, int* status)
{
    while (true) {
        if (::waitpid(pid, status, WNOHANG) == pid) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::filesystem::path& log, int passFd)
{
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        if (passFd == 3)
            ::fcntl(3, F_SETFD, 0);  // keep it open across exec
        else if (passFd >= 0)
            ::dup2(passFd, 3);
        execute(argv);
    }
    ::close(out);
}

ChildProcess::~ChildProcess()
{
    if (pid_ <= 0 || ended_) return;
    int status = 0;
    ::kill(pid_, SIGTERM);
    if (!reap(pid_, Clock::now() + std::chrono::seconds(2), &status)) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
    }
}

bool ChildProcess::running()
{
    if (pid_ <= 0 || ended_) return false;
    int status = 0;
    ended_ = ::waitpid(pid_, &status, WNOHANG) == pid_;
    return !ended_;
}

CommandResult runCommand(const std::vector<std::string>& argv, std::chrono::milliseconds timeout)
{
    // timeout(1) ends the command, then kills it a second later.
    std::string command = "timeout -k 1 " + std::to_string((timeout.count() + 999) / 1000) + " ";
    for (const std::string& arg : argv) {
        command += '\'';
        for (const char c : arg) command += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += "' ";
    }
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[65536];
    for (size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, count);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string readLine(int fd, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    std::string line;
    char c = 0;
    while (true) {
        pollfd poller{fd, POLLIN, 0};
        if (::poll(&poller, 1, millisecondsLeft(deadline)) <= 0 || ::read(fd, &c, 1) != 1) return "";
        if (c == '\n') return line;
        line += c;
    }
}
