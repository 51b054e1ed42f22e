#include "gameconfig/HostFiles.h"

#include <cstring>
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

bool HasNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

// An open file handle, closed when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() {
        if (valid())
            CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

    // Closes now; gives 0 or the error code.
    DWORD close() {
        const BOOL closed = CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE));
        return closed ? 0 : GetLastError();
    }

private:
    HANDLE m_handle;
};

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens what `path` finally names (links followed) without asking for any access.
HANDLE OpenForInfo(const std::string& path) {
    return CreateFileA(path.c_str(), 0, ShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The file a write to `path` really changes: a link's final target, so that the link stays.
// A path that does not exist (yet) is its own target.
Outcome<std::string> FinalTarget(const std::string& path) {
    FileHandle file(OpenForInfo(path));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return path;
        return SystemFailure(error);
    }
    std::string target(MAX_PATH, '\0');
    DWORD length =
        GetFinalPathNameByHandleA(file.get(), target.data(), static_cast<DWORD>(target.size()), 0);
    if (length >= target.size()) {
        target.resize(length + 1);
        length = GetFinalPathNameByHandleA(file.get(), target.data(),
                                           static_cast<DWORD>(target.size()), 0);
    }
    if (length == 0 || length >= target.size())
        return path; // the system cannot say: write where the caller pointed
    target.resize(length);
    return target;
}

// Refuses to replace a file the user may not write, as writing it in place would.
MaybeFailure CheckWritable(const std::string& target) {
    FileHandle probe(CreateFileA(target.c_str(), GENERIC_WRITE, ShareAll, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (probe.valid())
        return std::nullopt;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND)
        return std::nullopt;
    return SystemFailure(error);
}

struct TempFile {
    std::string path;
    HANDLE handle = INVALID_HANDLE_VALUE;
};

Outcome<TempFile> CreateTempFileBeside(const std::string& target) {
    static std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate =
            target + ".tintwell-" + std::to_string(random() % 1000000000000u);
        const HANDLE handle = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            return TempFile{candidate, handle};
        if (GetLastError() != ERROR_FILE_EXISTS)
            return SystemFailure(GetLastError());
    }
    return SystemFailure(ERROR_FILE_EXISTS);
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

MaybeFailure FillTempFile(TempFile& temp, std::string_view content) {
    FileHandle file(std::exchange(temp.handle, INVALID_HANDLE_VALUE));
    if (MaybeFailure failure = WriteAll(file.get(), content))
        return failure;
    if (!FlushFileBuffers(file.get()))
        return SystemFailure(GetLastError());
    if (const DWORD error = file.close())
        return SystemFailure(error);
    return std::nullopt;
}

// Puts the temporary file in the target's place. ReplaceFile keeps the old file's attributes and
// security; where it cannot be used (no old file, or a file system without it), a plain rename
// that replaces and is written through.
MaybeFailure MoveIntoPlace(const std::string& temp, const std::string& target, bool exists) {
    if (exists && ReplaceFileA(target.c_str(), temp.c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return std::nullopt;
    if (MoveFileExA(temp.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return std::nullopt;
    return SystemFailure(GetLastError());
}

} // namespace

bool IsOrdinaryFile(const std::string& path) {
    if (HasNul(path))
        return false;
    FileHandle file(OpenForInfo(path));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info))
        return false;
    // Like a search for ordinary files: folders, hidden and system files are not found.
    constexpr DWORD notOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (info.dwFileAttributes & notOrdinary) == 0;
}

Outcome<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    if (HasNul(path))
        return SystemFailure(ERROR_FILE_NOT_FOUND);
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid())
        return SystemFailure(GetLastError());
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return Failure{"Not an ordinary file"};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return SystemFailure(GetLastError());
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return SystemFailure(ERROR_FILE_TOO_LARGE);

    std::string content;
    content.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            return SystemFailure(GetLastError());
        if (got == 0)
            break;
        if (content.size() + got > maxBytes)
            return SystemFailure(ERROR_FILE_TOO_LARGE);
        content.append(buffer, got);
    }
    return content;
}

MaybeFailure ReplaceWholeFile(const std::string& path, std::string_view content) {
    if (HasNul(path))
        return SystemFailure(ERROR_FILE_NOT_FOUND);
    Outcome<std::string> resolved = FinalTarget(path);
    if (!resolved)
        return resolved.failure();
    const std::string& target = resolved.value();

    const DWORD attributes = GetFileAttributesA(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return SystemFailure(ERROR_ACCESS_DENIED);
    if (MaybeFailure refused = CheckWritable(target))
        return refused;

    Outcome<TempFile> created = CreateTempFileBeside(target);
    if (!created)
        return created.failure();
    TempFile temp = std::move(created).value();

    MaybeFailure failure = FillTempFile(temp, content);
    if (!failure)
        failure = MoveIntoPlace(temp.path, target, exists);
    if (failure)
        DeleteFileA(temp.path.c_str());
    return failure;
}
