// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// The arithmetic of the report: medians of repeated samples and the goals they are held against.

// The middle sample (the mean of the two middle ones for an even count). Needs at least one.
double Median(std::vector<double> samples);

// A goal: `measured` is a ratio (Tintwell against its baseline) that should stay at or below
// `limit`.
struct Goal {
    std::string name; // one word, read by scripts: "startup", "memory", "save_1MiB"
    double measured = 0;
    double limit = 0;
};

// Whether the goal is met as its line reports it: the measured ratio rounded to the two decimals
// shown, so that "1.20 (limit 1.2)" never reads MISSED.
bool IsMet(const Goal& goal);

// "goal <name>: <measured> (limit <limit>) ok" or "... MISSED".
std::string GoalLine(const Goal& goal);

// The memory goal is "the editor within 1.1 times the bare window plus 2 MiB"; as a ratio against
// that budget it reads like the others, met at 1.0 or below.
double MemoryBudgetRatio(double editorKiB, double bareKiB);

// A number with a fixed count of decimals ("%.<decimals>f").
std::string Fixed(double value, int decimals);
