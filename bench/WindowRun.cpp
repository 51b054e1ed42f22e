// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowRun.h"

#include "Scratch.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::runtime_error SystemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

// This program's environment with `settings` ("NAME=value") in place of any earlier values.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& settings) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view text = *entry;
        bool overridden = false;
        for (const std::string& setting : settings) {
            const std::string_view name =
                std::string_view(setting).substr(0, setting.find('=') + 1);
            overridden = overridden || text.starts_with(name);
        }
        if (!overridden)
            result.emplace_back(text);
    }
    result.insert(result.end(), settings.begin(), settings.end());
    return result;
}

std::vector<char*> PointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

struct Spawned {
    pid_t pid = -1;
    int output = -1; // read end of the child's standard output
};

Spawned Spawn(std::vector<std::string> arguments, std::vector<std::string> environment,
              const fs::path& errorLog) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw SystemError("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorLog.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);

    std::vector<char*> argv = PointersTo(arguments);
    std::vector<char*> envp = PointersTo(environment);
    Spawned child;
    const int error =
        ::posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (error != 0) {
        ::close(pipeEnds[0]);
        errno = error;
        throw SystemError("cannot start " + arguments[0]);
    }
    child.output = pipeEnds[0];
    return child;
}

double Milliseconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
}

// Waits for the child's end and takes its status and CPU time from the same call, which counts
// that child alone (and any children it waited for), however many ran before it.
FinishedProcess WaitFor(pid_t pid) {
    FinishedProcess finished;
    rusage usage{};
    while (::wait4(pid, &finished.status, 0, &usage) < 0) {
        if (errno != EINTR)
            throw SystemError("wait4");
    }
    finished.cpuMs = Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime);
    return finished;
}

} // namespace

FinishedProcess RunProcess(std::vector<std::string> arguments, std::vector<std::string> environment,
                           const fs::path& errorLog) {
    const Spawned child = Spawn(std::move(arguments), std::move(environment), errorLog);
    std::string output = ReadAll(child.output);
    ::close(child.output);
    FinishedProcess finished = WaitFor(child.pid);
    finished.output = std::move(output);
    return finished;
}

WindowRun RunWindowProcessOnce(WindowKind kind, const std::vector<std::string>& settings,
                               const fs::path& errorLog) {
    const std::string program = fs::read_symlink("/proc/self/exe").string();
    const std::string kindName(WindowKindName(kind));
    std::vector<std::string> arguments = {program, std::string(WindowSwitch), kindName};
    std::vector<std::string> withPlatform = settings;
    withPlatform.emplace_back("QT_QPA_PLATFORM=offscreen");
    std::vector<std::string> environment = EnvironmentWith(withPlatform);

    const auto started = std::chrono::steady_clock::now();
    const FinishedProcess child =
        RunProcess(std::move(arguments), std::move(environment), errorLog);

    const WindowReport report = ParseWindowReport(child.output);
    const int status = child.status;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !report.shownNs || !report.peakKiB) {
        std::string why = "the " + kindName + " window process failed";
        if (report.error)
            why += ": " + *report.error;
        throw std::runtime_error(why + "\n" + FileText(errorLog));
    }
    const auto startNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(started.time_since_epoch()).count();
    return WindowRun{static_cast<double>(*report.shownNs - startNs) / 1e6, child.cpuMs,
                     static_cast<double>(*report.peakKiB)};
}
