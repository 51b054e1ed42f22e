// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Failure.h"

#include <cstdint>
#include <string>
#include <string_view>

// The game's multiplayer config file as the program sees it: 8-bit text, one byte per character,
// of which only the value of the name entry (the first line that begins `seta name "`) is ever
// read or changed.

inline constexpr std::string_view NameEntryPrefix = "seta name \"";

// Where the name entry stands in the text. Positions count from 1; 0 means not found. The
// fields are named as the shared-state fields they fill.
struct NameEntry {
    std::int32_t NamePos = 0; // first character of the prefix
    std::int32_t NameEnd = 0; // the first LF after the closing quote (right after it as the game
                              // writes the file; past a comment, a CR or more lines otherwise)
    std::string RawName;      // the value between the quotes, colour codes included
};

// The whole file, byte for byte. Fails with "CFG file (<path>) could not be read." and the
// system's reason, also for a file too long for 32-bit positions.
Outcome<std::string> ReadCfgFile(const std::string& path);

// Finds the name entry in `content`: the first prefix at the start of the text or right after a
// line end (LF or CR). Its value is everything up to the next quote, which must stand on the same
// line; whatever follows that quote (a comment, blanks, a CR) is not the entry's. Fails with
// "CFG file is corrupted.\nSet of name NOT found." when there is no such prefix, when its line
// has no closing quote, or when no LF follows the quote anywhere in the text.
Outcome<NameEntry> LocateNameEntry(std::string_view content);

// Why a tag is refused that would end the value or the line early: a quote, CR, LF or NUL.
inline constexpr const char* UnsafeTagMessage =
    "The code must not contain quotes, line breaks or NUL characters.";

// `content` with `tag` in place of the entry's value: what SaveCfgFile writes. Refuses an unsafe
// tag (UnsafeTagMessage), and an entry that does not describe `content`.
Outcome<std::string> ContentWithTag(std::string_view content, const NameEntry& entry,
                                    std::string_view tag);

// Why a save is refused when the file no longer holds `content`.
inline constexpr const char* ChangedSinceRead =
    "It has changed since it was read (the game writes it when it quits). Click Cancel to read it "
    "again.";

// Puts `tag` in place of the entry's value (as ContentWithTag) and replaces the file at `path`
// with the result, atomically: on any failure the file is as it was and `content` is unchanged.
// A file that no longer holds `content` when the save begins, or that is written while the new
// one is, is left alone, so that what another program (the game, as it quits) wrote since the
// read is not lost, and so is one that can no longer be read (it may have changed all the same);
// a file that is gone holds nothing to lose and is written anew. On success `content` holds what
// was written. Every failure carries the user's message; one of the file reads "CFG file (<path>)
// could not be written." and the reason (the system's, or ChangedSinceRead).
MaybeFailure SaveCfgFile(const std::string& path, std::string& content, const NameEntry& entry,
                         std::string_view tag);
