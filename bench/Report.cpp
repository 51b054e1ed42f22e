// SPDX-License-Identifier: GPL-3.0-or-later
#include "Report.h"

#include <algorithm>

namespace {

void PrintTable(const std::vector<Row>& rows, std::ostream& out) {
    const Row header{"measure", "Tintwell", "baseline", "ratio", 0};
    std::size_t widths[4] = {header.measure.size(), header.tintwell.size(), header.baseline.size(),
                             header.ratio.size()};
    for (const Row& row : rows) {
        widths[0] = std::max(widths[0], row.measure.size());
        widths[1] = std::max(widths[1], row.tintwell.size());
        widths[2] = std::max(widths[2], row.baseline.size());
        widths[3] = std::max(widths[3], row.ratio.size());
    }
    auto print = [&](const Row& row, const std::string& rounds) {
        auto right = [](const std::string& text, std::size_t width) {
            return std::string(width - text.size(), ' ') + text;
        };
        out << row.measure << std::string(widths[0] - row.measure.size(), ' ') << "  "
            << right(row.tintwell, widths[1]) << "  " << right(row.baseline, widths[2]) << "  "
            << right(row.ratio, widths[3]) << "  " << right(rounds, 6) << '\n';
    };
    print(header, "rounds");
    for (const Row& row : rows)
        print(row, std::to_string(row.rounds));
}

} // namespace

void PrintReport(const Report& report, std::ostream& out) {
    PrintTable(report.rows, out);
    out << '\n';
    for (const Goal& goal : report.goals)
        out << GoalLine(goal) << '\n';
}
