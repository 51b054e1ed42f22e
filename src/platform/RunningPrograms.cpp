// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RunningPrograms.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

bool NamesProgram(std::string_view argument, std::string_view program) {
    if (argument.size() < program.size())
        return false;
    const std::size_t nameStart = argument.size() - program.size();
    return SameIgnoringAsciiCase(argument.substr(nameStart), program) &&
           (nameStart == 0 || IsSeparator(argument[nameStart - 1]));
}

// The words of the command line: its arguments, split at blanks too, since a launcher may pass
// the game's options on as one argument ("+set dedicated 2").
std::vector<std::string_view> WordsOf(const CommandLine& commandLine) {
    std::vector<std::string_view> words;
    for (const std::string& argument : commandLine) {
        std::string_view rest = argument;
        while (!rest.empty()) {
            const std::size_t start = rest.find_first_not_of(" \t");
            if (start == std::string_view::npos)
                break;
            rest.remove_prefix(start);
            const std::size_t end = std::min(rest.find_first_of(" \t"), rest.size());
            words.push_back(rest.substr(0, end));
            rest.remove_prefix(end);
        }
    }
    return words;
}

// The game reads "+set dedicated N" as a number, as C's strtol does, and the last setting holds.
bool IsDedicatedServer(const CommandLine& commandLine) {
    const std::vector<std::string_view> words = WordsOf(commandLine);
    bool dedicated = false;
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        if (SameIgnoringAsciiCase(words[i], "+set") &&
            SameIgnoringAsciiCase(words[i + 1], "dedicated")) {
            const std::string value = i + 2 < words.size() ? std::string(words[i + 2]) : "";
            dedicated = std::strtol(value.c_str(), nullptr, 10) != 0;
        }
    }
    return dedicated;
}

bool RunsProgram(const CommandLine& commandLine, std::string_view program) {
    for (const std::string& argument : commandLine) {
        if (NamesProgram(argument, program))
            return !IsDedicatedServer(commandLine);
    }
    return false;
}

std::optional<std::vector<CommandLine>>& CommandLinesForTests() {
    static std::optional<std::vector<CommandLine>> processes;
    return processes;
}

} // namespace

bool RunsProgram(const std::vector<CommandLine>& processes, std::string_view program) {
    for (const CommandLine& commandLine : processes) {
        if (RunsProgram(commandLine, program))
            return true;
    }
    return false;
}

std::vector<CommandLine> RunningCommandLines() {
    if (const auto& processes = CommandLinesForTests())
        return *processes;
    return SystemCommandLines();
}

ScopedRunningCommandLines::ScopedRunningCommandLines(std::vector<CommandLine> processes)
    : m_previous(std::exchange(CommandLinesForTests(), std::move(processes))) {}

ScopedRunningCommandLines::~ScopedRunningCommandLines() {
    CommandLinesForTests() = std::move(m_previous);
}
