#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
    CommandResult result;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return result;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        execute(argv);
    }
    ::close(pipeFds[1]);
    const auto deadline = Clock::now() + timeout;
    bool complete = false;
    char buffer[65536];
    while (pid > 0 && !complete) {
        pollfd poller{pipeFds[0], POLLIN, 0};
        if (::poll(&poller, 1, millisecondsLeft(deadline)) <= 0) break;
        const ssize_t count = ::read(pipeFds[0], buffer, sizeof buffer);
        if (count > 0)
            result.output.append(buffer, static_cast<size_t>(count));
        else
            complete = true;
    }
    ::close(pipeFds[0]);
    if (pid <= 0) return result;
    int status = 0;
    if (!complete || !reap(pid, deadline + std::chrono::milliseconds(200), &status)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return result;
    }
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
