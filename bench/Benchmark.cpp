// SPDX-License-Identifier: GPL-3.0-or-later
#include "Benchmark.h"

#include "CodecBench.h"
#include "FileBench.h"
#include "Report.h"
#include "Scratch.h"
#include "WindowBench.h"
#include "support/TestPrefix.h"

#include <fstream>
#include <string>

namespace {

// The system's load average over the last minute, as /proc/loadavg gives it ("1.52").
std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string oneMinute;
    return in >> oneMinute ? oneMinute : std::string("unknown");
}

} // namespace

BenchOptions QuickOptions() {
    BenchOptions options;
    options.windowRounds = 1;
    options.bottles = 3;
    options.steamPrefixes = 3;
    options.bottleRegBytes = 64 << 10;
    options.files = {{4 << 10, 1}, {64 << 10, 1}};
    options.sampleNames = 50;
    options.codecPasses = 1;
    options.codecRounds = 1;
    return options;
}

std::string SizeLabel(std::size_t bytes, std::string_view separator) {
    const std::string gap(separator);
    if (bytes >= (1 << 20) && bytes % (1 << 20) == 0)
        return std::to_string(bytes >> 20) + gap + "MiB";
    if (bytes >= (1 << 10) && bytes % (1 << 10) == 0)
        return std::to_string(bytes >> 10) + gap + "KiB";
    return std::to_string(bytes) + gap + "B";
}

void RunBenchmark(const BenchOptions& options, std::ostream& out, std::ostream& progress) {
    const TempDir scratch;
    Report report;
    const std::string loadBefore = LoadAverage();
    progress << "Start-up and memory: " << options.windowRounds << " rounds...\n";
    MeasureWindows(options, scratch.path(), report);
    for (const FileCase& file : options.files) {
        progress << "Saving " << SizeLabel(file.bytes) << ": " << file.rounds << " rounds...\n";
        MeasureSave(file, options.warmUp, scratch.path(), report);
    }
    progress << "Colour codes...\n";
    MeasureCodec(options, report);

    out << "Tintwell benchmark: medians of interleaved rounds; a ratio is the median of the rounds'"
           " ratios.\nFiles in "
        << scratch.path().parent_path().string() << " (" << FileSystemOf(scratch.path())
        << "); windows on Qt's offscreen platform; load average " << loadBefore << " before, "
        << LoadAverage() << " after.\n\n";
    PrintReport(report, out);
}
