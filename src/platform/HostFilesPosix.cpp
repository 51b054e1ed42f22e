// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Links are followed at most this many times, as the system itself does (Linux: 40).
constexpr int MaxLinkHops = 40;

// The reason given for a pipe, a device or the like where a file is expected.
constexpr const char* NotOrdinary = "Not an ordinary file";

std::string Reason(int error) {
    return std::strerror(error);
}

Failure SystemFailure(int error) {
    return Failure{Reason(error)};
}

// A NUL would cut the path short on its way to the system. A relative path is a Windows path
// that could not be mapped into the prefix (a network share, an unknown drive): taken as it
// stands it would name a file in whatever folder the program was started from.
bool NamesNoFile(const std::string& path) {
    return path.find('\0') != std::string::npos || !path.starts_with('/');
}

// An open file descriptor, closed when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    int fd() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

    // Closes now and reports what the close said (0 or an error code).
    int close() {
        const int result = ::close(std::exchange(m_fd, -1));
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a write to `path` really changes: links are followed to their final target, so that
// the link itself stays. A path that does not exist (yet) is its own target.
Outcome<std::string> FinalTarget(const std::string& path) {
    std::string target = path;
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0) {
            if (errno == ENOENT)
                return target;
            return SystemFailure(errno);
        }
        if (!S_ISLNK(info.st_mode))
            return target;

        // Some links report no size; give those room for the longest path.
        const auto reported = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
        std::string link(std::max<std::size_t>(reported, 4096) + 1, '\0');
        const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
        if (length < 0)
            return SystemFailure(errno);
        if (static_cast<std::size_t>(length) >= link.size())
            continue; // the link changed while we looked; read it again
        link.resize(static_cast<std::size_t>(length));
        target = link.starts_with('/') ? link : FolderOf(target) + "/" + link;
    }
    return SystemFailure(ELOOP);
}

// Refuses to replace a file the user may not write, as writing it in place would: replacing it
// needs only the right to write its folder.
MaybeFailure CheckWritable(const std::string& target) {
    FileHandle probe(OpenRetrying(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (probe.valid() || errno == ENOENT)
        return std::nullopt;
    return SystemFailure(errno);
}

// A new, empty file next to `target`, made with O_EXCL under a name nobody else uses.
struct TempFile {
    std::string path;
    int fd = -1;
};

Outcome<TempFile> CreateTempFileBeside(const std::string& target, mode_t mode) {
    static std::mt19937_64 random{std::random_device{}()};
    const std::string stem = FolderOf(target) + "/." + NameOf(target) + ".tintwell-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = stem + std::to_string(random() % 1000000000000u);
        const int fd = OpenRetrying(candidate.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0)
            return TempFile{candidate, fd};
        if (errno != EEXIST)
            return SystemFailure(errno);
    }
    return SystemFailure(EEXIST);
}

// One low-level write, as the test seam lets it happen. Gives the bytes written, or -1 and errno.
ssize_t WriteSome(int fd, std::string_view rest, std::size_t alreadyWritten) {
    std::size_t wanted = rest.size();
    if (const WriteHook& hook = InstalledWriteHook()) {
        const WriteVerdict verdict = hook(alreadyWritten, wanted);
        if (verdict.error != 0) {
            errno = verdict.error;
            return -1;
        }
        wanted = std::min(wanted, verdict.allowed);
    }
    return ::write(fd, rest.data(), wanted);
}

// Writes every byte, going on after short writes and interruptions. Gives 0 or an error code.
int WriteAll(int fd, std::string_view content) {
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t result = WriteSome(fd, content.substr(written), written);
        if (result < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (result == 0)
            return EIO; // no progress and no reason: stop rather than spin
        written += static_cast<std::size_t>(result);
    }
    return 0;
}

int SyncToDisk(int fd) {
    int result;
    do {
        result = ::fsync(fd);
    } while (result != 0 && errno == EINTR);
    return result == 0 ? 0 : errno;
}

// Makes the rename itself durable. Some file systems cannot sync a folder; by then the new
// content is already in place, so that is no reason to report a failure.
void SyncFolder(const std::string& folder) {
    FileHandle dir(OpenRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        SyncToDisk(dir.fd());
}

// Fills the temporary file, gives it the old file's owner and permission bits, and flushes it.
// Gives 0 or an error code.
int FillTempFile(TempFile& temp, std::string_view content, const struct stat* old) {
    FileHandle file(std::exchange(temp.fd, -1));
    if (old) {
        // Taking over the owner needs privileges a user usually lacks; then the user owns the
        // new file, as with any file they write. The group is a separate matter: a member of the
        // old file's group may keep it, and must, or a file shared through that group (say
        // games:games 0664) would shut the others out after one save. The owner goes first:
        // changing it clears the set-user-ID and set-group-ID bits that the mode then restores.
        mode_t mode = old->st_mode & 07777;
        if (old->st_uid != ::geteuid() || old->st_gid != ::getegid()) {
            if (::fchown(file.fd(), old->st_uid, old->st_gid) != 0 &&
                ::fchown(file.fd(), static_cast<uid_t>(-1), old->st_gid) != 0)
                mode &= ~static_cast<mode_t>(S_IRWXG | S_ISGID); // they were the old group's
        }
        if (::fchmod(file.fd(), mode) != 0)
            return errno;
    }
    if (const int error = WriteAll(file.fd(), content))
        return error;
    if (const int error = SyncToDisk(file.fd()))
        return error;
    return file.close();
}

} // namespace

bool IsOrdinaryFile(const std::string& path) {
    struct stat info {};
    return !NamesNoFile(path) && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

MaybeFailure ReadInChunks(const std::string& path, std::size_t maxBytes, const SizeTaker& sized,
                          const ChunkTaker& take) {
    if (NamesNoFile(path))
        return SystemFailure(ENOENT);
    // Not blocking on open keeps a pipe from stopping the program before the type test below.
    FileHandle file(OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.valid())
        return SystemFailure(errno);

    struct stat info {};
    if (::fstat(file.fd(), &info) != 0)
        return SystemFailure(errno);
    if (S_ISDIR(info.st_mode))
        return SystemFailure(EISDIR);
    if (!S_ISREG(info.st_mode))
        return Failure{NotOrdinary};
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        return SystemFailure(EFBIG);
    if (const int flags = ::fcntl(file.fd(), F_GETFL);
        flags < 0 || ::fcntl(file.fd(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return SystemFailure(errno);
    if (!sized(static_cast<std::uintmax_t>(info.st_size)))
        return std::nullopt;

    // Read up to the end of the file, which may lie past the size just seen if the file grows.
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(file.fd(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return SystemFailure(errno);
        }
        if (got == 0 || !take(std::string_view(buffer, static_cast<std::size_t>(got))))
            return std::nullopt;
    }
}

MaybeFailure ReplaceWholeFile(const std::string& path, std::string_view content) {
    if (NamesNoFile(path))
        return SystemFailure(ENOENT);
    Outcome<std::string> resolved = FinalTarget(path);
    if (!resolved)
        return resolved.failure();
    const std::string& target = resolved.value();

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return SystemFailure(EISDIR);
    if (exists && !S_ISREG(old.st_mode))
        return Failure{NotOrdinary};
    if (MaybeFailure refused = CheckWritable(target))
        return refused;

    // A new file (the old one was removed meanwhile) gets the usual 0666 less the umask.
    Outcome<TempFile> created = CreateTempFileBeside(target, exists ? 0600 : 0666);
    if (!created)
        return created.failure();
    TempFile temp = std::move(created).value();

    int error = FillTempFile(temp, content, exists ? &old : nullptr);
    if (error == 0 && ::rename(temp.path.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.path.c_str());
        return SystemFailure(error);
    }
    SyncFolder(FolderOf(target));
    return std::nullopt;
}
