// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RunningPrograms.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool IsProcessFolder(const fs::path& name) {
    const std::string text = name.string();
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The file's bytes, or nothing when it cannot be read to its end (the process has gone, say).
std::string ReadAll(const fs::path& file) {
    const int descriptor = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return {};
    std::string bytes;
    char chunk[4096];
    for (;;) {
        const ssize_t count = read(descriptor, chunk, sizeof chunk);
        if (count > 0) {
            bytes.append(chunk, static_cast<std::size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            bytes.clear();
        break;
    }
    close(descriptor);
    return bytes;
}

// Each argument ends in a NUL. Wine writes the Windows program's arguments over the room its own
// took and fills the rest with NULs, which read as empty arguments: they name nothing and are
// dropped.
CommandLine ArgumentsOf(const std::string& bytes) {
    CommandLine arguments;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        if (end > start)
            arguments.emplace_back(bytes, start, end - start);
        start = end + 1;
    }
    return arguments;
}

} // namespace

std::vector<CommandLine> SystemCommandLines(const std::string& procRoot) {
    std::vector<CommandLine> processes;
    std::error_code error;
    fs::directory_iterator entry(procRoot, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        if (!IsProcessFolder(entry->path().filename()))
            continue;
        CommandLine arguments = ArgumentsOf(ReadAll(entry->path() / "cmdline"));
        if (!arguments.empty())
            processes.push_back(std::move(arguments));
    }
    return processes;
}
