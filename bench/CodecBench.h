// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Benchmark.h"
#include "Report.h"
#include "namecode/NameCode.h"

#include <cstddef>
#include <string>
#include <vector>

// What the colour code codec costs per name of the longest kind: 30 visible characters.

struct SampleName {
    std::string visible; // 30 characters, none of them a caret
    NameColorTable colors{};
    std::string coded; // the tag the encoder builds for them
};

// `count` different names, the same for every run: letters, digits and signs in runs of colours.
std::vector<SampleName> MakeSampleNames(std::size_t count);

struct CodecTimes {
    double decodeNs = 0; // per name
    double encodeNs = 0;
};

// Times decoding and encoding of every name, `passes` times over the whole set, in `rounds`
// interleaved rounds; gives the median time per name.
CodecTimes TimeCodec(const std::vector<SampleName>& names, int passes, int rounds);

// Times the codec as the options say and adds its two rows (no goal) to `report`.
void MeasureCodec(const BenchOptions& options, Report& report);
