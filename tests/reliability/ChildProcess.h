#pragma once
// A helper program run beside the test: started with posix_spawn, its output read line by line, killed at
// will.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace palinor::test {

class ChildProcess {
public:
    // Runs program with args; its standard output comes to this object when captured, else to the test's.
    ChildProcess(const std::string& program, const std::vector<std::string>& args, bool captureOutput)
    {
        int pipeEnds[2] = {-1, -1};
        if (captureOutput && ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe2 failed");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (captureOutput) {
            posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (captureOutput) {
            ::close(pipeEnds[1]);
            output_ = pipeEnds[0];
        }
        if (spawned != 0) {
            pid_ = -1;
            throw std::runtime_error("cannot start " + program);
        }
    }
    ~ChildProcess()
    {
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            reap(true);
        }
        if (output_ >= 0) {
            ::close(output_);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next whole line of output, or nothing when none came within the limit or the output ended.
    std::optional<std::string> readLine(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            if (const auto end = buffer_.find('\n'); end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !fill(static_cast<int>(left.count()))) {
                return std::nullopt;
            }
        }
    }

    // Every whole line still to read; call once the process is dead, so that the output has ended.
    std::vector<std::string> remainingLines()
    {
        while (fill(-1)) {
        }
        std::vector<std::string> lines;
        while (auto line = readLine(std::chrono::milliseconds(0))) {
            lines.push_back(*line);
        }
        return lines;
    }

    // SIGKILL, then the exit status.
    int kill()
    {
        if (!status_) {
            ::kill(pid_, SIGKILL);
            reap(true);
        }
        return *status_;
    }

    // The exit status, or nothing when still running after the limit.
    std::optional<int> wait(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!reap(false) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return status_;
    }

private:
    bool reap(bool block)
    {
        if (status_) {
            return true;
        }
        int status = 0;
        pid_t done;
        do {
            done = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
        } while (done < 0 && errno == EINTR);
        if (done == pid_) {
            status_ = status;
        }
        return status_.has_value();
    }

    // Reads what is there into the buffer; false at the end of the output or when nothing came in time.
    bool fill(int timeoutMs)
    {
        if (output_ < 0) {
            return false;
        }
        pollfd ready{output_, POLLIN, 0};
        if (::poll(&ready, 1, timeoutMs) <= 0) {
            return false;
        }
        char chunk[4096];
        const ssize_t got = ::read(output_, chunk, sizeof chunk);
        if (got <= 0) {
            return false;
        }
        buffer_.append(chunk, static_cast<std::size_t>(got));
        return true;
    }

    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffer_;
    std::optional<int> status_;
};

} // namespace palinor::test
