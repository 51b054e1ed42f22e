// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodecBench.h"

#include "Measures.h"

#include <chrono>
#include <random>
#include <string_view>

namespace {

constexpr std::string_view NameCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789[]{}()<>|!?.:-_=+*#@$%&~";

// Keeps the compiler from dropping work whose result nobody reads.
volatile std::size_t Sink = 0;

template <class Work> double NanosecondsPerName(std::size_t names, int passes, Work work) {
    const auto start = std::chrono::steady_clock::now();
    std::size_t total = 0;
    for (int pass = 0; pass < passes; ++pass)
        total += work();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    Sink = Sink + total;
    return std::chrono::duration<double, std::nano>(elapsed).count() /
           static_cast<double>(names * static_cast<std::size_t>(passes));
}

} // namespace

std::vector<SampleName> MakeSampleNames(std::size_t count) {
    std::mt19937 random(20240607); // fixed: every run times the same names
    std::uniform_int_distribution<std::size_t> character(0, NameCharacters.size() - 1);
    std::uniform_int_distribution<int> color(0, 7);
    std::bernoulli_distribution colorChanges(0.3);

    std::vector<SampleName> names(count);
    for (SampleName& name : names) {
        std::uint8_t current = static_cast<std::uint8_t>(color(random));
        for (int i = 1; i <= MaxNameLength; ++i) {
            name.visible += NameCharacters[character(random)];
            if (colorChanges(random))
                current = static_cast<std::uint8_t>(color(random));
            name.colors[i] = current;
        }
        NameColorTable scratch = name.colors;
        name.coded = EncodeTag(name.visible, MaxNameLength, scratch);
    }
    return names;
}

CodecTimes TimeCodec(const std::vector<SampleName>& names, int passes, int rounds) {
    std::vector<double> decodeSamples;
    std::vector<double> encodeSamples;
    NameColorTable colors{};
    for (int round = 0; round < rounds; ++round) {
        decodeSamples.push_back(NanosecondsPerName(names.size(), passes, [&] {
            std::size_t visible = 0;
            for (const SampleName& name : names)
                visible += DecodeName(name.coded, colors).size();
            return visible;
        }));
        encodeSamples.push_back(NanosecondsPerName(names.size(), passes, [&] {
            std::size_t coded = 0;
            for (const SampleName& name : names) {
                colors = name.colors;
                coded += EncodeTag(name.visible, MaxNameLength, colors).size();
            }
            return coded;
        }));
    }
    return CodecTimes{Median(decodeSamples), Median(encodeSamples)};
}

void MeasureCodec(const BenchOptions& options, Report& report) {
    const std::vector<SampleName> names = MakeSampleNames(options.sampleNames);
    const CodecTimes times = TimeCodec(names, options.codecPasses, options.codecRounds);
    report.rows.push_back({"decode a 30-character name", Fixed(times.decodeNs, 0) + " ns", "-", "-",
                           options.codecRounds});
    report.rows.push_back({"encode a 30-character name", Fixed(times.encodeNs, 0) + " ns", "-", "-",
                           options.codecRounds});
}
