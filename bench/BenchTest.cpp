// SPDX-License-Identifier: GPL-3.0-or-later
#include "Benchmark.h"
#include "CodecBench.h"
#include "FileBench.h"
#include "Measures.h"
#include "PeakMemory.h"
#include "Rounds.h"
#include "Scratch.h"
#include "WindowChild.h"
#include "WindowRun.h"
#include "gameconfig/CfgFile.h"
#include "support/TestPrefix.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A goal line as a script reads it: "goal <name>: <d.dd> (limit <d.d...>) ok|MISSED".
struct ReadGoal {
    std::string name;
    double measured = 0;
    double limit = 0;
    bool met = false;
};

// Takes a number off the front of `text`: digits, a point and `minDecimals` to `maxDecimals`
// digits.
std::optional<double> TakeNumber(std::string_view& text, std::size_t minDecimals,
                                 std::size_t maxDecimals) {
    constexpr std::string_view Digits = "0123456789";
    const std::size_t point = text.find_first_not_of(Digits);
    if (point == 0 || point == std::string_view::npos || text[point] != '.')
        return std::nullopt;
    const std::size_t end = std::min(text.find_first_not_of(Digits, point + 1), text.size());
    const std::size_t decimals = end - point - 1;
    if (decimals < minDecimals || decimals > maxDecimals)
        return std::nullopt;
    const double value = std::stod(std::string(text.substr(0, end)));
    text.remove_prefix(end);
    return value;
}

bool Take(std::string_view& text, std::string_view expected) {
    if (!text.starts_with(expected))
        return false;
    text.remove_prefix(expected.size());
    return true;
}

std::optional<ReadGoal> ReadGoalLine(std::string_view text) {
    constexpr std::string_view NameCharacters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
    ReadGoal goal;
    if (!Take(text, "goal "))
        return std::nullopt;
    const std::size_t nameEnd = text.find_first_not_of(NameCharacters);
    if (nameEnd == 0 || nameEnd == std::string_view::npos)
        return std::nullopt;
    goal.name = std::string(text.substr(0, nameEnd));
    text.remove_prefix(nameEnd);
    if (!Take(text, ": "))
        return std::nullopt;
    const std::optional<double> measured = TakeNumber(text, 2, 2);
    if (!measured || !Take(text, " (limit "))
        return std::nullopt;
    const std::optional<double> limit = TakeNumber(text, 1, 6);
    if (!limit || !Take(text, ") ") || (text != "ok" && text != "MISSED"))
        return std::nullopt;
    goal.measured = *measured;
    goal.limit = *limit;
    goal.met = text == "ok";
    return goal;
}

} // namespace

TEST(Measures, MedianTakesTheMiddleOrTheMeanOfTheTwoMiddleSamples) {
    struct Case {
        std::vector<double> samples;
        double median;
    };
    const std::vector<Case> cases = {
        {{5}, 5},
        {{3, 1, 2}, 2},
        {{4, 1, 3, 2}, 2.5},
        {{10, 1, 1, 1, 10}, 1},
        {{9, 7, 100, 8}, 8.5},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(Median(c.samples), c.median) << ::testing::PrintToString(c.samples);
    EXPECT_THROW(Median({}), std::invalid_argument);
}

TEST(Measures, GoalLinesReadAsScriptsExpectAndAgreeWithWhatTheyShow) {
    struct Case {
        Goal goal;
        const char* line;
    };
    const std::vector<Case> cases = {
        {{"startup", 1.08, 1.2}, "goal startup: 1.08 (limit 1.2) ok"},
        {{"startup", 1.2, 1.2}, "goal startup: 1.20 (limit 1.2) ok"},
        {{"startup", 1.2049, 1.2}, "goal startup: 1.20 (limit 1.2) ok"},
        {{"startup", 1.2051, 1.2}, "goal startup: 1.21 (limit 1.2) MISSED"},
        {{"save_64MiB", 0.97, 1.5}, "goal save_64MiB: 0.97 (limit 1.5) ok"},
        {{"save_1MiB", 2.345, 1.5}, "goal save_1MiB: 2.35 (limit 1.5) MISSED"},
        {{"memory", 0.8, 1.0}, "goal memory: 0.80 (limit 1.0) ok"},
        {{"memory", 1.001, 1.0}, "goal memory: 1.00 (limit 1.0) ok"},
        {{"memory", 1.01, 1.0}, "goal memory: 1.01 (limit 1.0) MISSED"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GoalLine(c.goal), c.line);
}

TEST(Measures, GoalLinesReadBackAsTheyWereWritten) {
    for (const Goal& goal :
         {Goal{"startup", 1.084, 1.2}, Goal{"save_64MiB", 2.5, 1.5}, Goal{"memory", 0.999, 1.0}}) {
        const std::optional<ReadGoal> read = ReadGoalLine(GoalLine(goal));
        ASSERT_TRUE(read) << GoalLine(goal);
        EXPECT_EQ(read->name, goal.name);
        EXPECT_NEAR(read->measured, goal.measured, 0.005);
        EXPECT_DOUBLE_EQ(read->limit, goal.limit);
        EXPECT_EQ(read->met, IsMet(goal));
    }
    for (const char* malformed : {
             "goal startup: 1.1 (limit 1.2) ok",
             "goal startup: 1.084 (limit 1.2) ok",
             "goal start up: 1.08 (limit 1.2) ok",
             "goal startup 1.08 (limit 1.2) ok",
             "goal startup: 1.08 (limit 1) ok",
             "goal startup: 1.08 (limit 1.2) fine",
             "goal startup: 1.08 (limit 1.2) ok ",
             "goal : 1.08 (limit 1.2) ok",
             "Goal startup: 1.08 (limit 1.2) ok",
             "goal startup: inf (limit 1.2) MISSED",
         })
        EXPECT_FALSE(ReadGoalLine(malformed)) << malformed;
}

TEST(Measures, MemoryBudgetIsATenthMoreThanTheBareWindowPlusTwoMebibytes) {
    EXPECT_DOUBLE_EQ(MemoryBudgetRatio(40000 * 1.1 + 2048, 40000), 1.0);
    EXPECT_DOUBLE_EQ(MemoryBudgetRatio(2048, 0), 1.0);
    EXPECT_GT(MemoryBudgetRatio(40000 * 1.1 + 2049, 40000), 1.0);
    EXPECT_LT(MemoryBudgetRatio(44000, 40000), 1.0); // 1.1 times alone is within
}

TEST(Measures, SizeLabelsNameWholeUnits) {
    EXPECT_EQ(SizeLabel(1 << 20), "1MiB");
    EXPECT_EQ(SizeLabel(64 << 20), "64MiB");
    EXPECT_EQ(SizeLabel(4 << 10), "4KiB");
    EXPECT_EQ(SizeLabel((1 << 20) + (1 << 10)), "1025KiB");
    EXPECT_EQ(SizeLabel(1000), "1000B");
    EXPECT_EQ(SizeLabel(1 << 20, " "), "1 MiB");
    EXPECT_EQ(SizeLabel(1000, " "), "1000 B");
}

TEST(PeakMemory, ReadsTheHighWaterMarkOfAStatusText) {
    struct Case {
        const char* text;
        std::optional<long> kib;
    };
    const std::vector<Case> cases = {
        {"Name:\tx\nVmPeak:\t  900 kB\nVmHWM:\t   52340 kB\nVmRSS:\t 100 kB\n", 52340},
        {"VmHWM: 7 kB", 7},
        {"VmRSS:\t 100 kB\n", std::nullopt},
        {"VmHWM:\t lots kB\n", std::nullopt},
        {"VmHWM:\t 12 MB\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PeakResidentKiB(c.text), c.kib) << c.text;
    EXPECT_GT(OwnPeakResidentKiB(), 0);
}

TEST(WindowReport, TakesTheValuesAndTheErrorOfAWindowProcess) {
    const WindowReport good = ParseWindowReport("shown_ns 123456789\npeak_kib 40960\n");
    EXPECT_EQ(good.shownNs, 123456789);
    EXPECT_EQ(good.peakKiB, 40960);
    EXPECT_FALSE(good.error);

    const WindowReport failed = ParseWindowReport("error the editor did not open: x y\n");
    EXPECT_FALSE(failed.shownNs);
    EXPECT_EQ(failed.error, "the editor did not open: x y");

    const WindowReport garbled = ParseWindowReport("shown_ns 12ab\npeak_kib\nnoise\n");
    EXPECT_FALSE(garbled.shownNs);
    EXPECT_FALSE(garbled.peakKiB);

    EXPECT_EQ(WindowKindNamed("editor"), WindowKind::Editor);
    EXPECT_EQ(WindowKindNamed("bare"), WindowKind::BareWindow);
    EXPECT_FALSE(WindowKindNamed("Editor"));
}

// The system counts the child's own CPU time: some for a child that computes, next to none for
// one that sleeps (not its wall time, nor that of the children before it), never more than it ran.
TEST(WindowRun, CpuTimeIsTheChildsOwn) {
    const TempDir scratch;
    auto cpuMs = [&scratch](const char* script) {
        FinishedProcess child;
        const double wallMs = Milliseconds([&] {
            child = RunProcess({"/bin/sh", "-c", script}, {}, scratch.path() / "stderr.txt");
        });
        EXPECT_TRUE(WIFEXITED(child.status) && WEXITSTATUS(child.status) == 0) << script;
        EXPECT_LE(child.cpuMs, wallMs + 1) << script;
        return child.cpuMs;
    };
    EXPECT_GT(cpuMs("i=0; while [ $i -lt 100000 ]; do i=$((i+1)); done"), 20);
    EXPECT_LT(cpuMs("sleep 0.3"), 50);
}

TEST(SamplePrefix, AKeyGoesWithItsValuesAndNothingElse) {
    const std::string reg = "WINE REGISTRY Version 2\n\n"
                            "[Software\\\\A] 1\n\"v\"=\"1\"\n\n"
                            "[Software\\\\A\\\\B] 2\n#time=3\n\"w\"=\"[x]\"\n\n"
                            "[Software\\\\C] 4\n\"v\"=\"2\"\n";
    EXPECT_EQ(WithoutRegistryKey(reg, "Software\\\\A\\\\B"), "WINE REGISTRY Version 2\n\n"
                                                             "[Software\\\\A] 1\n\"v\"=\"1\"\n\n"
                                                             "[Software\\\\C] 4\n\"v\"=\"2\"\n");
    EXPECT_EQ(WithoutRegistryKey(reg, "Software\\\\C"),
              "WINE REGISTRY Version 2\n\n"
              "[Software\\\\A] 1\n\"v\"=\"1\"\n\n"
              "[Software\\\\A\\\\B] 2\n#time=3\n\"w\"=\"[x]\"\n\n");
    EXPECT_EQ(WithoutRegistryKey("[K] 1\n\"v\"=\"1\"\n[L] 2\n", "K"), "[L] 2\n");
    EXPECT_THROW(WithoutRegistryKey(reg, "Software\\\\B"), std::runtime_error);
}

TEST(FileBench, ConfigTextsHaveTheExactSizeAndOneNameEntryHalfWay) {
    for (const std::size_t size : {128u, 129u, 147u, 200u, 1000u, 4096u, 65537u, 1u << 20}) {
        const std::string text = MakeConfigText(size, "^1Ro^7ok");
        ASSERT_EQ(text.size(), size);
        EXPECT_EQ(text.back(), '\n');
        const Outcome<NameEntry> entry = LocateNameEntry(text);
        ASSERT_TRUE(entry) << size;
        EXPECT_EQ(entry.value().RawName, "^1Ro^7ok");
        EXPECT_EQ(text.find("seta name \"", static_cast<std::size_t>(entry.value().NamePos)),
                  std::string::npos);
        if (size >= 4096) {
            const double where = static_cast<double>(entry.value().NamePos) / size;
            EXPECT_NEAR(where, 0.5, 0.05) << size;
        }
    }
    EXPECT_THROW(MakeConfigText(127, "x"), std::invalid_argument);
    EXPECT_THROW(MakeConfigText(130, std::string(80, 'x')), std::invalid_argument);
}

TEST(FileBench, TheSaveChangesOnlyTheNameAndTheCopyNothing) {
    const TempDir scratch;
    const fs::path saved = scratch.path() / "config_mp.cfg";
    const fs::path copied = scratch.path() / "copy_mp.cfg";
    const std::string original = MakeConfigText(100000, "^1Ro^7ok");
    std::ofstream(saved, std::ios::binary) << original;
    std::ofstream(copied, std::ios::binary) << original;

    ReadLocateSave(saved, "^2Ro^7ok");
    PlainCopy(copied);

    EXPECT_EQ(FileText(saved), MakeConfigText(100000, "^2Ro^7ok"));
    EXPECT_EQ(FileText(copied), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator()), 2)
        << "a temporary file was left behind";
}

TEST(FileBench, FailuresStopTheMeasurementWithTheirReason) {
    const TempDir scratch;
    const fs::path noName = scratch.path() / "config_mp.cfg";
    std::ofstream(noName, std::ios::binary) << "seta cg_fov \"80\"\n";
    EXPECT_THROW(ReadLocateSave(noName, "x"), std::runtime_error);
    EXPECT_THROW(ReadLocateSave(scratch.path() / "missing.cfg", "x"), std::runtime_error);
    EXPECT_THROW(PlainCopy(scratch.path() / "missing.cfg"), std::runtime_error);
}

TEST(CodecBench, SampleNamesAreFullLengthAndDecodeToThemselves) {
    const std::vector<SampleName> names = MakeSampleNames(200);
    ASSERT_EQ(names.size(), 200u);
    std::set<std::string> distinct;
    for (const SampleName& name : names) {
        ASSERT_EQ(name.visible.size(), static_cast<std::size_t>(MaxNameLength));
        EXPECT_EQ(name.visible.find('^'), std::string::npos);
        NameColorTable decoded{};
        EXPECT_EQ(DecodeName(name.coded, decoded), name.visible);
        for (int i = 1; i <= MaxNameLength; ++i)
            EXPECT_EQ(decoded[i], name.colors[i]) << name.coded << " slot " << i;
        distinct.insert(name.coded);
    }
    EXPECT_EQ(distinct.size(), names.size());
    EXPECT_EQ(MakeSampleNames(3)[2].coded, MakeSampleNames(3)[2].coded) << "not repeatable";

    const CodecTimes times = TimeCodec(names, 1, 1);
    EXPECT_GT(times.decodeNs, 0);
    EXPECT_GT(times.encodeNs, 0);
}

// The whole program in its quick mode: the report must come out whole, whatever it measured.
TEST(BenchSmoke, QuickRunPrintsTheTableAndOneWellFormedLinePerGoal) {
    FILE* pipe = ::popen(TINTWELL_BENCH_PROGRAM " --quick", "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, got);
    const int status = ::pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;

    const std::vector<std::string> lines = Lines(output);
    const auto tableStart = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with("measure ");
    });
    ASSERT_NE(tableStart, lines.end()) << output;
    const auto firstGoal = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with("goal ");
    });
    ASSERT_GT(firstGoal, tableStart) << "the goals come after the table\n" << output;
    for (const char* row :
         {"start-up to window shown", "start-up CPU time", "  the same, ~/.wine among 3",
          "  the same, ~/.wine beside 3 Steam prefixes", "peak resident memory",
          "read, locate, save 4 KiB", "read, locate, save 64 KiB", "decode", "encode"}) {
        EXPECT_TRUE(std::any_of(tableStart, firstGoal,
                                [row](const std::string& line) { return line.starts_with(row); }))
            << row << "\n"
            << output;
    }

    std::set<std::string> names;
    for (auto line = firstGoal; line != lines.end(); ++line) {
        const std::optional<ReadGoal> goal = ReadGoalLine(*line);
        ASSERT_TRUE(goal) << "not a goal line: " << *line;
        names.insert(goal->name);
        EXPECT_EQ(goal->met, goal->measured <= goal->limit) << *line;
    }
    EXPECT_EQ(names,
              (std::set<std::string>{"startup_cpu", "startup_prefixes", "startup_steam_prefixes",
                                     "memory", "save_4KiB", "save_64KiB"}));
}
