// SPDX-License-Identifier: GPL-3.0-or-later
#include "Benchmark.h"
#include "WindowChild.h"
#include "WindowRun.h"

#include <iostream>
#include <string_view>

namespace {

constexpr const char* Usage =
    "usage: tintwell_bench [--quick]\n"
    "Measures Tintwell's start-up, memory, saves and colour codes against baselines and prints\n"
    "one table and one line per goal. --quick runs tiny sizes once, to check the report only.\n"
    "Files are written under $TMPDIR (else /tmp).\n";

} // namespace

int main(int argc, char* argv[]) {
    // The benchmark starts itself again to measure a window: tintwell_bench --window <kind>.
    if (argc == 3 && argv[1] == WindowSwitch) {
        if (const std::optional<WindowKind> kind = WindowKindNamed(argv[2]))
            return RunWindowProcess(*kind, argc, argv);
        std::cerr << "tintwell_bench: unknown window kind " << argv[2] << '\n';
        return 2;
    }

    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--quick") {
            quick = true;
        } else if (argument == "--help" || argument == "-h") {
            std::cout << Usage;
            return 0;
        } else {
            std::cerr << "tintwell_bench: unknown argument " << argument << '\n' << Usage;
            return 2;
        }
    }

    BenchOptions options = quick ? QuickOptions() : BenchOptions();
    options.samplePrefix = TINTWELL_SAMPLE_PREFIX;
    try {
        RunBenchmark(options, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "tintwell_bench: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
