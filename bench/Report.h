// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Measures.h"

#include <ostream>
#include <string>
#include <vector>

// The table the benchmark prints and the goals under it.

struct Row {
    std::string measure;
    std::string tintwell;
    std::string baseline; // "-" where there is none
    std::string ratio;
    int rounds = 0;
};

struct Report {
    std::vector<Row> rows;
    std::vector<Goal> goals;
};

// The rows as a table with a header line, columns aligned, then one goal line each.
void PrintReport(const Report& report, std::ostream& out);
