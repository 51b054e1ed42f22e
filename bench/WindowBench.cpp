// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowBench.h"

#include "Rounds.h"
#include "Scratch.h"
#include "WindowRun.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

// Of CPU time: the wall time also counts the waits for a processor, which grow with the load of a
// busy machine and more so for the longer start. A fence, not a target: the editor starts within a
// few milliseconds of CPU of a bare window that shows text, and no change is made for this figure
// alone.
constexpr double StartupCpuLimit = 1.25;
constexpr double MemoryLimit = 1.0; // of the budget: 1.1 times the bare window plus 2 MiB

// United Offensive's key in the sample's system.reg, as the file writes it.
constexpr const char* UnitedOffensiveRegKey =
    "Software\\\\Wow6432Node\\\\Activision\\\\Call of Duty United Offensive";

// Of CPU time, against the start with ~/.wine alone: the start among launchers' prefixes, which
// are searched for the game's key, and beside a Steam installation whose prefixes are not even
// read, since none is a prefix of the game or of a non-Steam game in Steam's list.
constexpr double StartupAmongPrefixesLimit = 1.5;
constexpr double StartupBesideSteamLimit = 1.1;

// A non-Steam game's app id as Steam gives it (the high bit set), and the app ids of the Steam
// installation's prefixes: Steam's own and shortcuts' alike, and never the games' or that one.
constexpr std::uint32_t ShortcutApp = 0x80001234;
std::vector<std::uint32_t> OtherGamesApps(int count) {
    std::vector<std::uint32_t> apps;
    for (int i = 0; i < count; ++i)
        apps.push_back(static_cast<std::uint32_t>(i % 2 ? 3000000000u + i : 1000u + i));
    return apps;
}

// The sample prefix as it is (both games) and with United Offensive taken out of its registry;
// and three home folders whose ~/.wine is the latter: alone, with the bottles of Bottles beside
// it, and with a Steam installation beside it.
struct SamplePrefixes {
    fs::path bothGames;
    fs::path callOfDutyOnly;
    fs::path homeWithSample;
    fs::path homeWithBottles;
    fs::path homeWithSteam;
};

void CopyCallOfDutyOnly(const fs::path& demo, const fs::path& target) {
    CopySamplePrefix(demo, target);
    const fs::path reg = target / "system.reg";
    const std::string withoutUnitedOffensive =
        WithoutRegistryKey(FileText(reg), UnitedOffensiveRegKey);
    std::ofstream(reg, std::ios::binary | std::ios::trunc) << withoutUnitedOffensive;
}

SamplePrefixes CopySamplePrefixes(const BenchOptions& options, const fs::path& scratch) {
    SamplePrefixes prefixes{scratch / "prefix-both-games", scratch / "prefix-call-of-duty",
                            scratch / "home-with-sample", scratch / "home-with-bottles",
                            scratch / "home-with-steam"};
    CopySamplePrefix(options.samplePrefix, prefixes.bothGames);
    CopyCallOfDutyOnly(options.samplePrefix, prefixes.callOfDutyOnly);
    for (const fs::path& home :
         {prefixes.homeWithSample, prefixes.homeWithBottles, prefixes.homeWithSteam})
        CopyCallOfDutyOnly(options.samplePrefix, home / ".wine");
    MakeBottles(prefixes.homeWithBottles, options.bottles, options.bottleRegBytes);
    MakeSteamInstallation(prefixes.homeWithSteam, OtherGamesApps(options.steamPrefixes),
                          options.bottleRegBytes, ShortcutApp);
    return prefixes;
}

// Where a window process of `kind` finds the game: in the prefix $WINEPREFIX names, or, with no
// $WINEPREFIX, where the program looks in the home folder.
std::vector<std::string> SettingsFor(WindowKind kind, const SamplePrefixes& prefixes) {
    if (kind == WindowKind::EditorAfterDialog)
        return {"WINEPREFIX=" + prefixes.bothGames.string()};
    std::string home;
    if (kind == WindowKind::EditorFromHome)
        home = prefixes.homeWithSample.string();
    else if (kind == WindowKind::EditorAmongPrefixes)
        home = prefixes.homeWithBottles.string();
    else if (kind == WindowKind::EditorBesideSteam)
        home = prefixes.homeWithSteam.string();
    else
        return {"WINEPREFIX=" + prefixes.callOfDutyOnly.string()};
    return {"WINEPREFIX=", "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config",
            "XDG_DATA_HOME=" + home + "/.local/share"};
}

// Every window kind once a round, in an order that turns with the rounds.
std::map<WindowKind, std::vector<WindowRun>> RunWindowRounds(const BenchOptions& options,
                                                             const SamplePrefixes& prefixes,
                                                             const fs::path& errorLog) {
    constexpr std::size_t KindCount = std::size(AllWindowKinds);
    std::map<WindowKind, std::vector<WindowRun>> runs;
    for (int round = options.warmUp ? -1 : 0; round < options.windowRounds; ++round) {
        for (std::size_t i = 0; i < KindCount; ++i) {
            const WindowKind kind =
                AllWindowKinds[(i + static_cast<std::size_t>(round + 1)) % KindCount];
            const WindowRun run = RunWindowProcessOnce(kind, SettingsFor(kind, prefixes), errorLog);
            if (round >= 0)
                runs[kind].push_back(run);
        }
    }
    return runs;
}

Paired Pair(const std::vector<WindowRun>& tintwell, const std::vector<WindowRun>& baseline,
            double WindowRun::*measure) {
    Paired paired;
    for (std::size_t round = 0; round < tintwell.size(); ++round)
        paired.add(tintwell[round].*measure, baseline[round].*measure);
    return paired;
}

Row StartupRow(const std::string& measure, const Paired& startup) {
    return {measure, Fixed(Median(startup.tintwell), 1) + " ms",
            Fixed(Median(startup.baseline), 1) + " ms", Fixed(Median(startup.ratios), 2),
            static_cast<int>(startup.ratios.size())};
}

Row MemoryRow(const std::string& measure, const Paired& memory) {
    const double tintwellKiB = Median(memory.tintwell);
    const double baselineKiB = Median(memory.baseline);
    return {measure, Fixed(tintwellKiB / 1024, 1) + " MiB", Fixed(baselineKiB / 1024, 1) + " MiB",
            Fixed(tintwellKiB / baselineKiB, 2), static_cast<int>(memory.ratios.size())};
}

} // namespace

// The goals hold the editor (only Call of Duty installed, so the editor is the first window) to
// the bare window, and its start with the sample in ~/.wine among launchers' prefixes that do not
// hold the game to the start with ~/.wine alone. The other rows show what the game dialog adds and
// what loading a font costs.
void MeasureWindows(const BenchOptions& options, const fs::path& scratch, Report& report) {
    const SamplePrefixes prefixes = CopySamplePrefixes(options, scratch);
    auto runs = RunWindowRounds(options, prefixes, scratch / "window-stderr.txt");
    const auto& editor = runs[WindowKind::Editor];
    const auto& afterDialog = runs[WindowKind::EditorAfterDialog];
    const auto& bare = runs[WindowKind::BareWindow];
    const auto& blank = runs[WindowKind::BlankWindow];
    const auto& fromHome = runs[WindowKind::EditorFromHome];
    const auto& amongPrefixes = runs[WindowKind::EditorAmongPrefixes];
    const auto& besideSteam = runs[WindowKind::EditorBesideSteam];

    const Paired startupCpu = Pair(editor, bare, &WindowRun::cpuMs);
    const Paired amongPrefixesCpu = Pair(amongPrefixes, fromHome, &WindowRun::cpuMs);
    const Paired besideSteamCpu = Pair(besideSteam, fromHome, &WindowRun::cpuMs);
    const Paired memory = Pair(editor, bare, &WindowRun::peakKiB);
    const std::string among = "  the same, ~/.wine among " + std::to_string(options.bottles) +
                              " prefixes of " + SizeLabel(options.bottleRegBytes, " ") +
                              " vs ~/.wine alone";
    const std::string beside = "  the same, ~/.wine beside " +
                               std::to_string(options.steamPrefixes) + " Steam prefixes of " +
                               SizeLabel(options.bottleRegBytes, " ") + " vs ~/.wine alone";
    report.rows.push_back(StartupRow("start-up to window shown, editor vs bare window",
                                     Pair(editor, bare, &WindowRun::startupMs)));
    report.rows.push_back(StartupRow("  the same, game dialog answered first, vs bare window",
                                     Pair(afterDialog, bare, &WindowRun::startupMs)));
    report.rows.push_back(StartupRow("  the same, editor vs blank window (no font loaded)",
                                     Pair(editor, blank, &WindowRun::startupMs)));
    report.rows.push_back(StartupRow(among, Pair(amongPrefixes, fromHome, &WindowRun::startupMs)));
    report.rows.push_back(StartupRow(beside, Pair(besideSteam, fromHome, &WindowRun::startupMs)));
    report.rows.push_back(StartupRow("start-up CPU time, editor vs bare window", startupCpu));
    report.rows.push_back(StartupRow("  the same, game dialog answered first, vs bare window",
                                     Pair(afterDialog, bare, &WindowRun::cpuMs)));
    report.rows.push_back(StartupRow("  the same, editor vs blank window (no font loaded)",
                                     Pair(editor, blank, &WindowRun::cpuMs)));
    report.rows.push_back(StartupRow(among, amongPrefixesCpu));
    report.rows.push_back(StartupRow(beside, besideSteamCpu));
    report.rows.push_back(MemoryRow("peak resident memory, editor vs bare window", memory));
    report.rows.push_back(MemoryRow("  the same, game dialog answered first, vs bare window",
                                    Pair(afterDialog, bare, &WindowRun::peakKiB)));
    report.rows.push_back(MemoryRow("  the same, editor vs blank window (no font loaded)",
                                    Pair(editor, blank, &WindowRun::peakKiB)));
    report.goals.push_back({"startup_cpu", Median(startupCpu.ratios), StartupCpuLimit});
    report.goals.push_back(
        {"startup_prefixes", Median(amongPrefixesCpu.ratios), StartupAmongPrefixesLimit});
    report.goals.push_back(
        {"startup_steam_prefixes", Median(besideSteamCpu.ratios), StartupBesideSteamLimit});
    report.goals.push_back({"memory",
                            MemoryBudgetRatio(Median(memory.tintwell), Median(memory.baseline)),
                            MemoryLimit});
}
