// Child processes of the end-to-end tests: fork and exec with a log, and commands
// through timeout(1).
#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

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
        std::vector<char*> args;
        for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::close(out);
}

ChildProcess::~ChildProcess()
{
    if (pid_ <= 0 || ended_) return;
    ::kill(pid_, SIGTERM);
    for (int waited = 0; ::waitpid(pid_, nullptr, WNOHANG) != pid_; waited += 10) {
        if (waited >= 2000) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool ChildProcess::running()
{
    if (pid_ > 0 && !ended_) ended_ = ::waitpid(pid_, nullptr, WNOHANG) == pid_;
    return pid_ > 0 && !ended_;
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
