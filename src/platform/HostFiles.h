// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Failure.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

// Whole-file access on the host, one source per platform. Failures carry the system's reason
// (e.g. "No such file or directory"); callers put it under their own first line. A path with a
// NUL byte in it names no file: it is never found and never opened. Nor, on POSIX systems, does a
// relative path: every path the program uses there is built from a Wine prefix, so a relative one
// is a Windows path that could not be mapped onto a drive, and must not name a file in the
// folder the program happened to be started from.

// True for an ordinary file (a link to one counts); false for a folder, anything else, or nothing.
bool IsOrdinaryFile(const std::string& path);

// Which file or folder `path` leads to, the same however many links lead there: its volume and its
// number there, cheaper to compare than real paths. Nothing when there is none. One source per
// platform.
struct FileIdentity {
    std::uint64_t volume = 0, file = 0;
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentityOf(const std::string& path);

// True when there is nothing at `path` (nor where its links lead): no such file or folder, as
// opposed to one that cannot be looked at. One source per platform.
bool NothingAt(const std::string& path);

// Reads the whole file as bytes; no line end is translated. Only ordinary files are read (a
// folder, a pipe or a device fails at once instead of blocking or reading forever), and a file
// longer than `maxBytes` fails with "File too large" before anything is read. The text comes
// with ReadSpareCapacity bytes of room past its end, so that a caller may lengthen it a little in
// place (the name in a config file) without the whole text being moved.
inline constexpr std::size_t ReadSpareCapacity = 4096;
Outcome<std::string> ReadWholeFile(const std::string& path,
                                   std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// What a file was when it was looked at: which file it is, its size, and the times of its last
// write and of its last change (content or attributes). A file written since, or another file
// put in its place, has another stamp. The times are the system's own numbers, only compared.
struct FileStamp {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    std::uintmax_t size = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    bool operator==(const FileStamp&) const = default;
};

// Whether the file holds exactly `content`, read chunk by chunk (nothing the size of the file is
// held twice), and the stamp of the file as it was opened. Nothing when there is no file at
// `path` (NothingAt); a failure with the system's reason when it cannot be read.
struct FileComparison {
    bool same = false;
    FileStamp stamp;
};
Outcome<std::optional<FileComparison>> CompareFileWith(const std::string& path,
                                                       std::string_view content);

// The reader under both: opens the file as ReadWholeFile does (the same refusals and reasons),
// gives `stamped` its stamp (and so its size), and unless that answers false hands `take` the
// bytes chunk by chunk, up to the end of the file or until `take` answers false. One source per
// platform.
using StampTaker = std::function<bool(const FileStamp& stamp)>;
using ChunkTaker = std::function<bool(std::string_view chunk)>;
MaybeFailure ReadInChunks(const std::string& path, std::size_t maxBytes, const StampTaker& stamped,
                          const ChunkTaker& take);

// How a file is read in chunks: ReadInChunks, or a stand-in of the tests.
using ChunkReader = std::function<MaybeFailure(const std::string& path, std::size_t maxBytes,
                                               const StampTaker& stamped, const ChunkTaker& take)>;

// ReadWholeFile, but only when `stamped` wants the file once it has seen its stamp; nothing when
// it does not. The chunks come from `read`. A file cut short while it is read gives what was read.
Outcome<std::optional<std::string>> ReadWholeFileIf(const std::string& path, std::size_t maxBytes,
                                                    const StampTaker& stamped,
                                                    const ChunkReader& read = ReadInChunks);

// Replaces the file's content, never in place: the bytes go to a new file in the same folder,
// which is flushed to disk and then renamed over the old one. A link is followed, so its target
// changes and the link stays; no permission is ever gained. A file the user may not
// write is refused as an in-place write would be. On failure the old file is untouched and no
// temporary file is left behind. Being a new file, it is no longer shared with other names a hard
// link gave the old one.
//
// On POSIX systems the new file keeps the old one's permission bits (and its owner, or at least
// its group, where the system allows), its access control list, without which it does not take
// the old one's place, and its other extended attributes where the system allows. On Windows it
// keeps the old one's attributes and creation time, and its security descriptor where the volume
// allows (ReplaceFile; not on FAT, nor on some network shares).
// Where the system allows, it has no name until it is complete, so that not even a killed program
// leaves it behind; where it must have one, what a killed save left (the user's own temporary
// files of the same file, a minute old) goes at the next save into the folder.
//
// Given `unchangedSince`, the file must still have that stamp once the new content is on disk,
// right before it takes the old one's place: a file written meanwhile is left alone, and the
// failure's reason is FileChangedMeanwhile, as it is when the file can no longer be looked at. A
// file that is gone by then holds nothing to lose.
inline constexpr const char* FileChangedMeanwhile = "The file changed while it was replaced";
MaybeFailure ReplaceWholeFile(const std::string& path, std::string_view content,
                              const std::optional<FileStamp>& unchangedSince = std::nullopt);

// The seam through which tests play a full disk or short writes. Before each low-level write of
// ReplaceWholeFile the hook gets how many bytes are already written and how many are about to
// be; it answers how many of them may really go out (fewer plays a short write) or a system
// error code (ENOSPC plays a full disk), which fails that write without writing anything.
struct WriteVerdict {
    std::size_t allowed = 0;
    int error = 0;
};
using WriteHook = std::function<WriteVerdict(std::size_t written, std::size_t wanted)>;

// The hook in force (empty: writes go out as they are). Used by each platform's file layer.
WriteHook& InstalledWriteHook();

// Installs `hook` for as long as the object lives; the previous hook comes back afterwards.
class ScopedWriteHook {
public:
    explicit ScopedWriteHook(WriteHook hook);
    ~ScopedWriteHook();
    ScopedWriteHook(const ScopedWriteHook&) = delete;
    ScopedWriteHook& operator=(const ScopedWriteHook&) = delete;

private:
    WriteHook m_previous;
};
