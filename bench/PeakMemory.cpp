// SPDX-License-Identifier: GPL-3.0-or-later
#include "PeakMemory.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

std::optional<long> PeakResidentKiB(std::string_view statusText) {
    constexpr std::string_view Key = "VmHWM:";
    std::size_t lineStart = 0;
    while (lineStart < statusText.size()) {
        std::size_t lineEnd = statusText.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = statusText.size();
        const std::string_view line = statusText.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.starts_with(Key))
            continue;

        // "VmHWM:\t   52340 kB"
        std::string_view rest = line.substr(Key.size());
        rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
        long kib = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), kib);
        if (error != std::errc{} || std::string_view(end, rest.data() + rest.size()) != " kB")
            return std::nullopt;
        return kib;
    }
    return std::nullopt;
}

long OwnPeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    const std::string text{std::istreambuf_iterator<char>(status),
                           std::istreambuf_iterator<char>()};
    if (const std::optional<long> kib = PeakResidentKiB(text))
        return *kib;
    throw std::runtime_error("/proc/self/status gives no VmHWM line");
}
