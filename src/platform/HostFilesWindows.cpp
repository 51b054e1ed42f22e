// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AsciiText.h"
#include "platform/HostFiles.h"
#include "platform/SaveLeftovers.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
#include <utility>
#include <windows.h>

namespace {

std::string SystemReason(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason =
        length > 0 ? std::string(text, length) : "System error " + std::to_string(error);
    LocalFree(text);
    while (!reason.empty() &&
           (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    return reason;
}

Failure SystemFailure(DWORD error) {
    return Failure{SystemReason(error)};
}

// A NUL would cut the path short on its way to the system. A path that is not fully qualified
// ("Games\x.cfg", "\Games\x.cfg", "C:x.cfg") hangs on the folder or the drive the program was
// started from: it comes from a registry value that names no install folder, and must not name
// a file there. Fully qualified are "C:\..." and shares ("\\server\share\...").
bool NamesNoFile(const std::string& path) {
    if (path.find('\0') != std::string::npos)
        return true;
    const bool onDrive =
        path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
    const bool onShare = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    return !onDrive && !onShare;
}

// An open file handle, closed when it goes out of scope (the POSIX build's FileHandle, with the
// same contract).
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    FileHandle(FileHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)) {}
    ~FileHandle() {
        if (valid())
            CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

    // Closes now: 0, or the error the system gave. A handle that is not open gives 0.
    DWORD close() {
        if (!valid())
            return 0;
        return CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE)) ? 0 : GetLastError();
    }

private:
    HANDLE m_handle;
};

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The reasons given where a file is expected and something else is there.
constexpr const char* IsAFolder = "It is a folder, not a file";
constexpr const char* NotOrdinary = "Not an ordinary file";
// Beyond the reader's own limit (Windows has no words of its own for that).
constexpr const char* TooLarge = "File too large";

// Opens what `path` finally names (links followed) without asking for any access.
HANDLE OpenForInfo(const std::string& path) {
    return CreateFileA(path.c_str(), 0, ShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The file's stamp, or nothing when the system cannot say.
std::optional<FileStamp> StampOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (!GetFileInformationByHandle(file, &info) ||
        !GetFileInformationByHandleEx(file, FileBasicInfo, &times, sizeof times))
        return std::nullopt;
    return FileStamp{info.dwVolumeSerialNumber,
                     (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
                     (std::uintmax_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
                     times.LastWriteTime.QuadPart, times.ChangeTime.QuadPart};
}

// Whether the file at `target` is no longer the one `stamp` describes. A file that is gone holds
// nothing to lose; one that cannot be looked at may have changed.
bool ChangedSince(const std::string& target, const FileStamp& stamp) {
    FileHandle file(OpenForInfo(target));
    if (!file.valid())
        return !NothingAt(target);
    const std::optional<FileStamp> now = StampOf(file.get());
    return !now || *now != stamp;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Windows refuses to open a folder as a file with "Access is denied"; say what it really is.
Failure OpenFailure(const std::string& path, DWORD error) {
    if (error == ERROR_ACCESS_DENIED && IsFolder(path))
        return Failure{IsAFolder};
    return SystemFailure(error);
}

// The file a write to `path` really changes: for a link (a reparse point) its final target, so
// that the link stays; otherwise the path itself, also when nothing is there (yet).
Outcome<std::string> FinalTarget(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str()); // of the link, not its target
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    FileHandle file(OpenForInfo(path));
    if (!file.valid())
        return SystemFailure(GetLastError()); // a link to nowhere: replacing it would lose it
    std::string target(MAX_PATH, '\0');
    DWORD length =
        GetFinalPathNameByHandleA(file.get(), target.data(), static_cast<DWORD>(target.size()), 0);
    if (length >= target.size()) { // too small: `length` is the size needed
        target.resize(length);
        length = GetFinalPathNameByHandleA(file.get(), target.data(),
                                           static_cast<DWORD>(target.size()), 0);
    }
    if (length == 0)
        return SystemFailure(GetLastError());
    if (length >= target.size())
        return SystemFailure(ERROR_FILENAME_EXCED_RANGE); // the link changed while we looked
    target.resize(length);
    return target;
}

// Refuses to replace a file the user may not write, as writing it in place would, a device ("NUL",
// "COM1") that only looks like a file, and a file that another program holds open without letting
// it be renamed (as the game may hold its config file): refused here, before a temporary file is
// made, since ReplaceFile may leave one of its own behind when it fails (Wine's does).
MaybeFailure CheckWritable(const std::string& target) {
    FileHandle probe(CreateFileA(target.c_str(), GENERIC_WRITE, ShareAll, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return std::nullopt;
        return SystemFailure(error);
    }
    if (GetFileType(probe.get()) != FILE_TYPE_DISK)
        return Failure{NotOrdinary};
    FileHandle renamable(CreateFileA(target.c_str(), DELETE, ShareAll, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!renamable.valid())
        return SystemFailure(GetLastError());
    return std::nullopt;
}

struct TempFile {
    std::string path;
    HANDLE handle = INVALID_HANDLE_VALUE;
};

// A new, empty file next to `target` under a name nobody else uses, with the given attributes.
Outcome<TempFile> CreateTempFileBeside(const std::string& target, DWORD attributes) {
    static std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate =
            target + TempNameMark + std::to_string(random() % 1000000000000u);
        const HANDLE handle = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          attributes, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            return TempFile{candidate, handle};
        if (GetLastError() != ERROR_FILE_EXISTS)
            return SystemFailure(GetLastError());
    }
    return SystemFailure(ERROR_FILE_EXISTS);
}

// How long ago `then` was, in seconds.
ULONGLONG SecondsSince(const FILETIME& then) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) { // 100-nanosecond ticks
        return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    };
    return ticks(now) > ticks(then) ? (ticks(now) - ticks(then)) / 10'000'000 : 0;
}

// Removes the temporary files that killed saves of `target` left beside it. Whatever cannot be
// removed (another user's, or one in use) stays; the save goes on.
void RemoveLeftovers(const std::string& target) {
    const std::size_t nameStart =
        std::find_if(target.rbegin(), target.rend(), IsSeparator).base() - target.begin();
    const std::string folder = target.substr(0, nameStart);
    const std::string prefix = target.substr(nameStart) + TempNameMark;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((folder + prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        // The pattern also matches short (8.3) names: the long name is judged again here.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsTempName(found.cFileName, prefix) &&
            SecondsSince(found.ftLastWriteTime) > LeftoverAgeSeconds)
            DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// One low-level write, as the test seam lets it happen. Hook errors are C error numbers.
MaybeFailure WriteSome(HANDLE file, std::string_view rest, std::size_t alreadyWritten,
                       DWORD& written) {
    std::size_t wanted = std::min<std::size_t>(rest.size(), 1u << 30);
    if (const WriteHook& hook = InstalledWriteHook()) {
        const WriteVerdict verdict = hook(alreadyWritten, wanted);
        if (verdict.error != 0)
            return Failure{std::strerror(verdict.error)};
        wanted = std::min(wanted, verdict.allowed);
    }
    if (!WriteFile(file, rest.data(), static_cast<DWORD>(wanted), &written, nullptr))
        return SystemFailure(GetLastError());
    return std::nullopt;
}

MaybeFailure WriteAll(HANDLE file, std::string_view content) {
    std::size_t written = 0;
    while (written < content.size()) {
        DWORD now = 0;
        if (MaybeFailure failure = WriteSome(file, content.substr(written), written, now))
            return failure;
        if (now == 0)
            return SystemFailure(ERROR_WRITE_FAULT); // no progress: stop rather than spin
        written += now;
    }
    return std::nullopt;
}

// Writes the content, gives the file the old one's creation time (when there was one), and
// flushes it.
MaybeFailure FillTempFile(TempFile& temp, std::string_view content,
                          const std::optional<FILETIME>& created) {
    FileHandle file(std::exchange(temp.handle, INVALID_HANDLE_VALUE));
    if (MaybeFailure failure = WriteAll(file.get(), content))
        return failure;
    if (created && !SetFileTime(file.get(), &*created, nullptr, nullptr))
        return SystemFailure(GetLastError());
    if (!FlushFileBuffers(file.get()))
        return SystemFailure(GetLastError());
    if (const DWORD error = file.close())
        return SystemFailure(error);
    return std::nullopt;
}

// Puts the temporary file in the target's place. ReplaceFile keeps the old file's security
// descriptor (its owner and access list), its attributes and its creation time. Where it is
// refused (FAT volumes, some network shares, a target that is gone meanwhile), the temporary
// file, which keeps its own name when ReplaceFile fails, is renamed into place in one step,
// written through to the disk. A file that another program holds open without allowing either
// stays as it is.
MaybeFailure MoveIntoPlace(const std::string& temp, const std::string& target) {
    if (ReplaceFileA(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr))
        return std::nullopt;
    if (MoveFileExA(temp.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return std::nullopt;
    return SystemFailure(GetLastError());
}

} // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    if (NamesNoFile(path))
        return std::nullopt;
    FileHandle file(OpenForInfo(path));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

bool NothingAt(const std::string& path) {
    if (NamesNoFile(path))
        return true;
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool IsOrdinaryFile(const std::string& path) {
    if (NamesNoFile(path))
        return false;
    FileHandle file(OpenForInfo(path));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(file.get(), &info))
        return false;
    // Whatever else its attributes say (hidden, system, read-only): the game's file may be marked
    // so, and is still there to be read.
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

MaybeFailure ReadInChunks(const std::string& path, std::size_t maxBytes, const StampTaker& stamped,
                          const ChunkTaker& take) {
    if (NamesNoFile(path))
        return SystemFailure(ERROR_FILE_NOT_FOUND);
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid())
        return OpenFailure(path, GetLastError());
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return Failure{NotOrdinary};
    const std::optional<FileStamp> stamp = StampOf(file.get());
    if (!stamp)
        return SystemFailure(GetLastError());
    if (stamp->size > maxBytes)
        return Failure{TooLarge};
    if (!stamped(*stamp))
        return std::nullopt;

    char buffer[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            return SystemFailure(GetLastError());
        if (got == 0 || !take(std::string_view(buffer, got)))
            return std::nullopt;
    }
}

MaybeFailure ReplaceWholeFile(const std::string& path, std::string_view content,
                              const std::optional<FileStamp>& unchangedSince) {
    if (NamesNoFile(path))
        return SystemFailure(ERROR_FILE_NOT_FOUND);
    Outcome<std::string> resolved = FinalTarget(path);
    if (!resolved)
        return resolved.failure();
    const std::string& target = resolved.value();

    WIN32_FILE_ATTRIBUTE_DATA old{};
    const bool exists = GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &old);
    const DWORD attributes = old.dwFileAttributes;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Failure{IsAFolder};
    // Windows refuses to change a read-only file whoever asks, so Tintwell does too, also where
    // the probe below would pass (an administrator under Wine).
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        return SystemFailure(ERROR_ACCESS_DENIED);
    if (MaybeFailure refused = CheckWritable(target))
        return refused;

    // The new file keeps what the old one's attributes say about it, and when it was made, also
    // where ReplaceFile cannot keep them.
    constexpr DWORD kept = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD newAttributes =
        exists && (attributes & kept) ? attributes & kept : FILE_ATTRIBUTE_NORMAL;
    // Leftovers go first: the room they take may be what this save needs.
    RemoveLeftovers(target);
    Outcome<TempFile> created = CreateTempFileBeside(target, newAttributes);
    if (!created)
        return created.failure();
    TempFile temp = std::move(created).value();

    MaybeFailure failure =
        FillTempFile(temp, content, exists ? std::optional(old.ftCreationTime) : std::nullopt);
    if (!failure && unchangedSince && ChangedSince(target, *unchangedSince))
        failure = Failure{FileChangedMeanwhile};
    if (!failure)
        failure = MoveIntoPlace(temp.path, target);
    if (failure)
        DeleteFileA(temp.path.c_str());
    return failure;
}
