// SPDX-License-Identifier: GPL-3.0-or-later
// Saving is byte-exact, shown over many generated config files: after a save the file is the old
// one with exactly the value of its first name entry replaced, and the next read finds the new
// tag there; a tag that would break the line is refused and nothing changes.
//
// The run is seeded and reproducible. Every failure names the seed and the case; to replay a run
// with another seed, set TINTWELL_SAVE_SEED.

#include "gameconfig/CfgFile.h"
#include "platform/HostFiles.h"
#include "support/TestPrefix.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <set>
#include <string>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t DefaultSeed = 20241207;
constexpr int CaseCount = 120000;
// One case in this many is saved to a file with SaveCfgFile; the rest only compose the new text
// with ContentWithTag. Each save waits until its data is on the disk, except on a file system in
// memory, where ten times as many fit into the few seconds the test may take.
constexpr int SaveEveryOnDisk = 400;
constexpr int SaveEveryInMemory = 10;

const std::string Prefix(NameEntryPrefix);
const std::string UnsafeTag = UnsafeTagMessage;

std::uint64_t SeedOfThisRun() {
    const char* text = std::getenv("TINTWELL_SAVE_SEED");
    return text && *text ? std::strtoull(text, nullptr, 10) : DefaultSeed;
}

// SplitMix64: tiny, fast, and every case can be seeded on its own.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }
    bool oneIn(std::size_t n) { return below(n) == 0; }
    char byte() { return static_cast<char>(next() & 0xFF); }

private:
    std::uint64_t m_state;
};

// Where the entry stands in its file.
enum class Placement { Alone, First, Last, Middle };

// One generated file, built from its parts, so that what a save must give is known without
// asking the code under test.
struct GeneratedCase {
    std::string head;     // no line begins with the prefix; ends a line unless empty
    std::string value;    // holds no quote and no line end
    std::string lineRest; // after the closing quote: anything but LF (mostly nothing)
    std::string lineEnd;  // "\n" or "\r\n"
    std::string tail;     // anything, other name entries included
    std::string tag;
    bool tagIsSafe = true;
    bool diskRunsFull = false; // when saved to a file: the disk is full halfway through

    std::string before() const { return head + Prefix + value + '"' + lineRest + lineEnd + tail; }
    std::string after() const { return head + Prefix + tag + '"' + lineRest + lineEnd + tail; }
};

class CaseGenerator {
public:
    explicit CaseGenerator(Random& random) : m_random(random) {}

    GeneratedCase make() {
        GeneratedCase c;
        const auto placement = static_cast<Placement>(m_random.below(4));
        if (placement == Placement::First || placement == Placement::Middle)
            c.tail = text(120);
        if (placement == Placement::Last || placement == Placement::Middle)
            c.head = withoutEntry(text(120)) + (m_random.oneIn(2) ? "\n" : "\r");
        c.value = valueText();
        c.lineRest = lineRest();
        c.lineEnd = m_random.oneIn(3) ? "\r\n" : "\n";
        c.tagIsSafe = !m_random.oneIn(4);
        c.tag = c.tagIsSafe ? safeTag() : unsafeTag();
        c.diskRunsFull = m_random.oneIn(5);
        return c;
    }

private:
    // Random bytes, rich in what matters here: line ends, quotes, carets, NULs, bytes above 127,
    // whole and broken name entries.
    std::string text(std::size_t maxLength) {
        static const std::string pieces[] = {"\n",
                                             "\r\n",
                                             "\r",
                                             "\"",
                                             "^",
                                             "^1",
                                             "^^7",
                                             "\0"s,
                                             "\xff",
                                             "\x80",
                                             "\xe8\x9a",
                                             "seta name \"",
                                             "seta name \"^2Other\"\n",
                                             "SETA NAME \"",
                                             "seta  name \"",
                                             "seta name '",
                                             "\nseta name \"\"\n",
                                             "seta "};
        std::string result;
        const std::size_t length = m_random.below(maxLength + 1);
        while (result.size() < length) {
            if (m_random.oneIn(3))
                result += pieces[m_random.below(std::size(pieces))];
            else
                result += m_random.byte();
        }
        return result;
    }

    // Every prefix that begins a line loses its first byte; one inside a line stays, to be passed
    // over.
    static std::string withoutEntry(std::string text) {
        for (std::size_t at = text.find(Prefix); at != std::string::npos;
             at = text.find(Prefix, at)) {
            if (at == 0 || text[at - 1] == '\n' || text[at - 1] == '\r')
                text.erase(at, 1);
            else
                ++at;
        }
        return text;
    }

    std::string valueText() {
        if (m_random.oneIn(8))
            return "";
        const std::size_t maxLength = m_random.oneIn(200) ? 70000 : m_random.oneIn(20) ? 2000 : 40;
        std::string value = text(maxLength);
        std::erase_if(value, [](char c) { return c == '\n' || c == '\r' || c == '"'; });
        return value;
    }

    // A comment, blanks, CRs, quotes, other settings after a CR: all of it stays.
    std::string lineRest() {
        if (!m_random.oneIn(4))
            return "";
        std::string rest = text(40);
        std::erase(rest, '\n');
        return rest;
    }

    // Any byte but the quote, CR, LF and NUL: carets and digits often, bytes above 127 and control
    // characters.
    std::string safeTag() {
        const std::size_t length = m_random.oneIn(100) ? m_random.below(5000) : m_random.below(60);
        std::string tag;
        while (tag.size() < length) {
            const std::size_t kind = m_random.below(5);
            char c = kind == 0   ? '^'
                     : kind == 1 ? static_cast<char>('0' + m_random.below(10))
                     : kind == 2 ? static_cast<char>(0x80 + m_random.below(128))
                     : kind == 3 ? static_cast<char>(1 + m_random.below(31))
                                 : static_cast<char>(32 + m_random.below(96));
            if (c != '"' && c != '\r' && c != '\n')
                tag += c;
        }
        return tag;
    }

    // A safe tag with a quote, a line end or a NUL somewhere in it.
    std::string unsafeTag() {
        std::string tag = safeTag();
        const char bad = "\"\r\n"[m_random.below(4)]; // the fourth is the NUL
        tag.insert(m_random.below(tag.size() + 1), 1, bad);
        return tag;
    }

    Random& m_random;
};

// Where the saved files go: a fresh folder in /dev/shm where there is such a file system in
// memory, else a temporary folder. Removed with everything in it.
class SaveFolder {
public:
    SaveFolder() {
        std::error_code error;
        const fs::path candidate =
            fs::path("/dev/shm") / ("tintwell-save-" + std::to_string(std::random_device{}()));
        // On Windows "/dev/shm" is no full path: only a real one will do.
        if (candidate.is_absolute() && fs::create_directory(candidate, error))
            m_inMemory = candidate;
    }
    ~SaveFolder() {
        std::error_code ignored;
        if (m_inMemory)
            fs::remove_all(*m_inMemory, ignored);
    }
    SaveFolder(const SaveFolder&) = delete;
    SaveFolder& operator=(const SaveFolder&) = delete;

    fs::path path() const { return m_inMemory.value_or(m_onDisk.path()); }
    int saveEvery() const { return m_inMemory ? SaveEveryInMemory : SaveEveryOnDisk; }

private:
    TempDir m_onDisk;
    std::optional<fs::path> m_inMemory;
};

class SavePropertyTest : public testing::Test {
protected:
    fs::path cfg() const { return m_folder.path() / "config_mp.cfg"; }

    // Through SaveCfgFile and a file: the file and the caller's text change together or not at
    // all, also when the disk runs full, and no temporary file stays behind.
    void saveToFile(const GeneratedCase& c, const NameEntry& entry, const std::string& label) {
        const std::string before = c.before();
        WriteBytes(cfg(), before);
        std::string content = before;
        const std::size_t half = c.after().size() / 2; // of what the save writes
        std::optional<ScopedWriteHook> diskFull;
        if (c.diskRunsFull) {
            diskFull.emplace([half](std::size_t written, std::size_t wanted) {
                return written >= half ? WriteVerdict{0, ENOSPC}
                                       : WriteVerdict{std::min(wanted, half - written), 0};
            });
        }
        const MaybeFailure failure = SaveCfgFile(cfg().string(), content, entry, c.tag);
        diskFull.reset();

        const bool saved = c.tagIsSafe && !c.diskRunsFull;
        ASSERT_EQ(failure.has_value(), !saved) << label;
        if (!c.tagIsSafe) {
            ASSERT_EQ(failure->message, UnsafeTag) << label;
        } else if (c.diskRunsFull) {
            ASSERT_EQ(failure->message, "CFG file (" + cfg().string() +
                                            ") could not be written.\nNo space left on device")
                << label;
        }
        const std::string expected = saved ? c.after() : before;
        ASSERT_TRUE(ReadBytes(cfg()) == expected) << label;
        ASSERT_TRUE(content == expected) << label;
        ASSERT_EQ(Listing(m_folder.path()), std::set<std::string>{"config_mp.cfg"}) << label;
    }

    // Through ContentWithTag: the new text composed without a file.
    static void saveInMemory(const GeneratedCase& c, const NameEntry& entry,
                             const std::string& label) {
        const Outcome<std::string> saved = ContentWithTag(c.before(), entry, c.tag);
        ASSERT_EQ(saved.ok(), c.tagIsSafe) << label;
        if (!saved.ok()) {
            ASSERT_EQ(saved.failure().message, UnsafeTag) << label;
            return;
        }
        ASSERT_TRUE(saved.value() == c.after()) << label;
    }

    SaveFolder m_folder;
};

TEST_F(SavePropertyTest, SavesReplaceExactlyTheValue) {
    const std::uint64_t seed = SeedOfThisRun();
    int safeOnes = 0, onDisk = 0, withCrLf = 0, withLineRest = 0;
    for (int n = 0; n < CaseCount; ++n) {
        Random random(seed * 1000003u + static_cast<std::uint64_t>(n));
        const GeneratedCase c = CaseGenerator(random).make();
        const auto label = [&] {
            return "seed " + std::to_string(seed) + ", case " + std::to_string(n);
        };

        const Outcome<NameEntry> entry = LocateNameEntry(c.before());
        ASSERT_TRUE(entry.ok()) << label();
        ASSERT_EQ(entry.value().NamePos, static_cast<std::int32_t>(c.head.size() + 1)) << label();
        ASSERT_TRUE(entry.value().RawName == c.value) << label();

        if (n % m_folder.saveEvery() == 0) {
            saveToFile(c, entry.value(), label());
            ++onDisk;
        } else {
            saveInMemory(c, entry.value(), label());
        }
        if (HasFatalFailure())
            return;

        if (c.tagIsSafe) {
            const Outcome<NameEntry> again = LocateNameEntry(c.after());
            ASSERT_TRUE(again.ok()) << label();
            ASSERT_TRUE(again.value().RawName == c.tag) << label();
            ++safeOnes;
        }
        withCrLf += c.lineEnd == "\r\n";
        withLineRest += !c.lineRest.empty();
    }
    // The generator reaches what it claims to.
    EXPECT_GT(safeOnes, CaseCount / 2);
    EXPECT_GT(CaseCount - safeOnes, CaseCount / 8);
    EXPECT_GT(withCrLf, CaseCount / 4);
    EXPECT_GT(withLineRest, CaseCount / 8);
    EXPECT_GE(onDisk, CaseCount / m_folder.saveEvery());
}

} // namespace
