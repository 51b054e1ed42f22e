// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <vector>

// Measuring in rounds: Tintwell and its baseline once each per round, moments apart, so that a
// machine getting busier or quieter shifts both alike.

// Per round the Tintwell sample, the baseline sample and their ratio.
struct Paired {
    std::vector<double> tintwell;
    std::vector<double> baseline;
    std::vector<double> ratios;

    void add(double tintwellSample, double baselineSample) {
        tintwell.push_back(tintwellSample);
        baseline.push_back(baselineSample);
        ratios.push_back(tintwellSample / baselineSample);
    }
};

template <class Work> double Milliseconds(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Runs `first` and `second` once each, the order turning with every round.
template <class First, class Second> void InTurn(int round, First first, Second second) {
    if (round % 2 == 0) {
        first();
        second();
    } else {
        second();
        first();
    }
}
