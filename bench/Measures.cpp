// SPDX-License-Identifier: GPL-3.0-or-later
#include "Measures.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string>

namespace {

constexpr double MemoryFactor = 1.1;
constexpr double MemoryAllowanceKiB = 2 * 1024;

// A limit as a reader writes it: as few decimals as it needs, but at least one ("1.2", "1.0").
std::string LimitText(double limit) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, limit).ptr;
    std::string result(text, end);
    if (result.find_first_of(".e") == std::string::npos)
        result += ".0";
    return result;
}

} // namespace

double Median(std::vector<double> samples) {
    if (samples.empty())
        throw std::invalid_argument("a median needs at least one sample");
    const std::size_t middle = samples.size() / 2;
    std::nth_element(samples.begin(), samples.begin() + middle, samples.end());
    const double upper = samples[middle];
    if (samples.size() % 2 == 1)
        return upper;
    const double lower = *std::max_element(samples.begin(), samples.begin() + middle);
    return (lower + upper) / 2;
}

// std::to_chars and std::from_chars ignore the locale, so the point is always a point.
std::string Fixed(double value, int decimals) {
    char text[64];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    return std::string(text, end);
}

bool IsMet(const Goal& goal) {
    const std::string shown = Fixed(goal.measured, 2);
    double value = 0;
    std::from_chars(shown.data(), shown.data() + shown.size(), value);
    return value <= goal.limit;
}

std::string GoalLine(const Goal& goal) {
    return "goal " + goal.name + ": " + Fixed(goal.measured, 2) + " (limit " +
           LimitText(goal.limit) + ") " + (IsMet(goal) ? "ok" : "MISSED");
}

double MemoryBudgetRatio(double editorKiB, double bareKiB) {
    return editorKiB / (bareKiB * MemoryFactor + MemoryAllowanceKiB);
}
