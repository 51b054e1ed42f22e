// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileHandlePosix.h"
#include "platform/HostFiles.h"
#include "platform/SaveLeftovers.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

std::int64_t Nanoseconds(const struct timespec& time) {
    return std::int64_t{time.tv_sec} * 1000000000 + time.tv_nsec;
}

FileStamp StampOf(const struct stat& info) {
    return FileStamp{static_cast<std::uint64_t>(info.st_dev),
                     static_cast<std::uint64_t>(info.st_ino),
                     static_cast<std::uintmax_t>(info.st_size), Nanoseconds(info.st_mtim),
                     Nanoseconds(info.st_ctim)};
}

// Whether the file at `target` is no longer the one `stamp` describes. A file that is gone holds
// nothing to lose; one that cannot be looked at may have changed.
bool ChangedSince(const std::string& target, const FileStamp& stamp) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0)
        return errno != ENOENT; // what cannot be looked at may have changed; what is gone has not
    return StampOf(info) != stamp;
}

// Temporary files are hidden: "." + the target's name + TempNameMark + a number, beside it.
std::string TempNamePrefix(const std::string& target) {
    return "." + NameOf(target) + TempNameMark;
}

// Removes the user's own temporary files that killed saves of the same file left in `folder`.
// Whatever cannot be removed stays; the save goes on.
void RemoveLeftovers(const std::string& folder, const std::string& prefix) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir.get())) {
        struct stat info {};
        if (IsTempName(entry->d_name, prefix) &&
            ::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            now - info.st_mtime > LeftoverAgeSeconds)
            ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
}

// Makes something under a name nobody else uses, `stem` followed by a number: `make` tries one
// name and gives 0, EEXIST for a name in use, or another error code. Gives the name.
Outcome<std::string> UnderAFreeName(const std::string& stem,
                                    const std::function<int(const std::string&)>& make) {
    static std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = stem + std::to_string(random() % 1000000000000u);
        const int error = make(candidate);
        if (error == 0)
            return candidate;
        if (error != EEXIST)
            return SystemFailure(error);
    }
    return SystemFailure(EEXIST);
}

// Where an open file can be reached by name, to give an unnamed one a name.
constexpr const char* OwnFiles = "/proc/self/fd/";

// The new file, open for writing. It has no name (`path` is empty) where the system allows that,
// so that a save killed halfway leaves nothing behind; it is named once complete.
struct NewFile {
    FileHandle handle;
    std::string path;
};

// Old kernels and file systems without unnamed files refuse them in one of these ways.
bool RefusesUnnamedFiles(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

int OpenUnnamed(const std::string& folder, mode_t mode) {
#ifdef O_TMPFILE
    if (::access(OwnFiles, X_OK) == 0)
        return OpenRetrying(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#endif
    errno = EOPNOTSUPP;
    return -1;
}

// A new, empty file in the folder of `stem`: unnamed where possible, else made with O_EXCL under
// a name that starts with `stem`.
Outcome<NewFile> CreateNewFile(const std::string& folder, const std::string& stem, mode_t mode) {
    FileHandle unnamed(OpenUnnamed(folder, mode));
    if (unnamed.valid())
        return NewFile{std::move(unnamed), ""};
    if (!RefusesUnnamedFiles(errno))
        return SystemFailure(errno);
    int fd = -1;
    Outcome<std::string> named = UnderAFreeName(stem, [&](const std::string& candidate) {
        fd = OpenRetrying(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          mode);
        return fd >= 0 ? 0 : errno;
    });
    if (!named)
        return named.failure();
    return NewFile{FileHandle(fd), std::move(named).value()};
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

// The access control list: who besides the owner, the group and the others may do what.
constexpr const char* AccessList = "system.posix_acl_access";

// The names of the file's extended attributes; none where the file system has none.
Outcome<std::vector<std::string>> AttributeNames(const std::string& path) {
    std::string list;
    for (;;) {
        const ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
        if (size < 0 && errno == ENOTSUP)
            return std::vector<std::string>{};
        if (size < 0)
            return SystemFailure(errno);
        list.resize(static_cast<std::size_t>(size));
        const ssize_t got = size == 0 ? 0 : ::listxattr(path.c_str(), list.data(), list.size());
        if (got >= 0) {
            list.resize(static_cast<std::size_t>(got));
            break;
        }
        if (errno != ERANGE) // ERANGE: more were added meanwhile
            return SystemFailure(errno);
    }
    std::vector<std::string> names;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find('\0', start), list.size());
        names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

Outcome<std::string> AttributeValue(const std::string& path, const std::string& name) {
    for (;;) {
        const ssize_t size = ::getxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (size < 0)
            return SystemFailure(errno);
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return value;
        }
        if (errno != ERANGE) // ERANGE: it grew meanwhile
            return SystemFailure(errno);
    }
}

struct Attribute {
    std::string name;
    std::string value;
};

// The extended attributes the new file takes over: the access control list, which says who may
// read and write the file and without which the new file must not take the old one's place, and
// the others (user.*, security.*) that can be read.
Outcome<std::vector<Attribute>> ExtendedAttributesOf(const std::string& path) {
    Outcome<std::vector<std::string>> names = AttributeNames(path);
    if (!names)
        return names.failure();
    std::vector<Attribute> attributes;
    for (const std::string& name : names.value()) {
        Outcome<std::string> value = AttributeValue(path, name);
        if (value)
            attributes.push_back({name, std::move(value).value()});
        else if (name == AccessList)
            return value.failure();
    }
    return attributes;
}

// Gives the new file the old one's extended attributes: the access control list without fail,
// the others where the system allows. A list the new file took from its folder's default goes
// when the old file had none.
MaybeFailure GiveExtendedAttributes(int fd, const std::vector<Attribute>& attributes) {
    bool hasAccessList = false;
    for (const Attribute& attribute : attributes) {
        const bool given = ::fsetxattr(fd, attribute.name.c_str(), attribute.value.data(),
                                       attribute.value.size(), 0) == 0;
        if (attribute.name == AccessList && !given)
            return SystemFailure(errno);
        hasAccessList = hasAccessList || attribute.name == AccessList;
    }
    if (!hasAccessList && ::fremovexattr(fd, AccessList) != 0 && errno != ENODATA &&
        errno != ENOTSUP)
        return SystemFailure(errno);
    return std::nullopt;
}

// What the new file takes over from the file it replaces.
struct OldFile {
    struct stat info;
    std::vector<Attribute> attributes;
};

// The file to be replaced; nothing when there is none (any more). A folder, or anything else that
// is not an ordinary file, is refused.
Outcome<std::optional<OldFile>> LookAtOldFile(const std::string& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0)
        return std::optional<OldFile>();
    if (S_ISDIR(info.st_mode))
        return SystemFailure(EISDIR);
    if (!S_ISREG(info.st_mode))
        return Failure{NotOrdinary};
    Outcome<std::vector<Attribute>> attributes = ExtendedAttributesOf(target);
    if (!attributes)
        return attributes.failure();
    return std::optional<OldFile>(OldFile{info, std::move(attributes).value()});
}

// Gives the new file the old one's owner and, failing that, at least its group. Gives the
// permission bits the new file may have: the old ones, less those of a group it could not keep.
mode_t TakeOverOwner(int fd, const struct stat& old) {
    // Taking over the owner needs privileges a user usually lacks; then the user owns the new
    // file, as with any file they write. The group is a separate matter: a member of the old
    // file's group may keep it, and must, or a file shared through that group (say games:games
    // 0664) would shut the others out after one save.
    // Compared with the new file itself: in a set-group-ID folder it has the folder's group, not
    // the process's.
    mode_t mode = old.st_mode & 07777;
    struct stat made {};
    if (::fstat(fd, &made) != 0 || made.st_uid != old.st_uid || made.st_gid != old.st_gid) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0)
            mode &= ~static_cast<mode_t>(S_IRWXG | S_ISGID); // they were the old group's
    }
    return mode;
}

// Fills the new file, gives it what the old file had, and flushes it. The content goes first:
// writing it, like changing the owner, may clear the set-user-ID bit and the file's capabilities.
// The permission bits go last: with an access control list, the group's bits are the list's
// mask, which the list itself would set otherwise.
MaybeFailure FillNewFile(int fd, std::string_view content, const std::optional<OldFile>& old) {
    if (const int error = WriteAll(fd, content))
        return SystemFailure(error);
    if (old) {
        const mode_t mode = TakeOverOwner(fd, old->info);
        if (MaybeFailure failure = GiveExtendedAttributes(fd, old->attributes))
            return failure;
        if (::fchmod(fd, mode) != 0)
            return SystemFailure(errno);
    }
    if (const int error = SyncToDisk(fd))
        return SystemFailure(error);
    return std::nullopt;
}

// Puts the complete new file in the target's place: names it first if it has no name yet, so that
// the rename can put it there in one step.
MaybeFailure PutInPlace(NewFile& file, const std::string& stem, const std::string& target) {
    if (file.path.empty()) {
        const std::string self = OwnFiles + std::to_string(file.handle.fd());
        Outcome<std::string> named = UnderAFreeName(stem, [&](const std::string& candidate) {
            return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(),
                            AT_SYMLINK_FOLLOW) == 0
                       ? 0
                       : errno;
        });
        if (!named)
            return named.failure();
        file.path = std::move(named).value();
    }
    if (const int error = file.handle.close())
        return SystemFailure(error);
    if (::rename(file.path.c_str(), target.c_str()) != 0)
        return SystemFailure(errno);
    return std::nullopt;
}

// An ordinary file opened for reading, with what the system said of it when it was opened.
struct OpenedFile {
    FileHandle handle;
    struct stat info;
};

// Opens an ordinary file for reading and nothing else: a folder, a pipe or a device fails at once
// instead of blocking or reading forever, as does a file longer than `maxBytes`. The file is
// still open without blocking.
Outcome<OpenedFile> OpenForReading(const std::string& path, std::size_t maxBytes) {
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
    return OpenedFile{std::move(file), info};
}

} // namespace

bool IsOrdinaryFile(const std::string& path) {
    struct stat info {};
    return !NamesNoFile(path) && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat info {};
    if (NamesNoFile(path) || ::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

bool NothingAt(const std::string& path) {
    struct stat info {};
    return NamesNoFile(path) || (::stat(path.c_str(), &info) != 0 && errno == ENOENT);
}

MaybeFailure ReadInChunks(const std::string& path, std::size_t maxBytes, const StampTaker& stamped,
                          const ChunkTaker& take) {
    Outcome<OpenedFile> opened = OpenForReading(path, maxBytes);
    if (!opened)
        return opened.failure();
    const OpenedFile& file = opened.value();
    // Reads may block again, as reads of an ordinary file do.
    if (const int flags = ::fcntl(file.handle.fd(), F_GETFL);
        flags < 0 || ::fcntl(file.handle.fd(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return SystemFailure(errno);
    if (!stamped(StampOf(file.info)))
        return std::nullopt;

    // Read up to the end of the file, which may lie past the size just seen if the file grows.
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(file.handle.fd(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return SystemFailure(errno);
        }
        if (got == 0 || !take(std::string_view(buffer, static_cast<std::size_t>(got))))
            return std::nullopt;
    }
}

MaybeFailure ReplaceWholeFile(const std::string& path, std::string_view content,
                              const std::optional<FileStamp>& unchangedSince) {
    if (NamesNoFile(path))
        return SystemFailure(ENOENT);
    Outcome<std::string> resolved = FinalTarget(path);
    if (!resolved)
        return resolved.failure();
    const std::string& target = resolved.value();

    Outcome<std::optional<OldFile>> lookedAt = LookAtOldFile(target);
    if (!lookedAt)
        return lookedAt.failure();
    const std::optional<OldFile>& old = lookedAt.value();
    if (MaybeFailure refused = CheckWritable(target))
        return refused;

    // Leftovers go first: the room they take may be what this save needs.
    const std::string folder = FolderOf(target);
    RemoveLeftovers(folder, TempNamePrefix(target));
    const std::string stem = folder + "/" + TempNamePrefix(target);

    // A new file (the old one was removed meanwhile) gets the usual 0666 less the umask.
    Outcome<NewFile> created = CreateNewFile(folder, stem, old ? 0600 : 0666);
    if (!created)
        return created.failure();
    NewFile file = std::move(created).value();

    MaybeFailure failure = FillNewFile(file.handle.fd(), content, old);
    if (!failure && unchangedSince && ChangedSince(target, *unchangedSince))
        failure = Failure{FileChangedMeanwhile};
    if (!failure)
        failure = PutInPlace(file, stem, target);
    if (failure) {
        if (!file.path.empty())
            ::unlink(file.path.c_str());
        return failure;
    }
    SyncFolder(folder);
    return std::nullopt;
}
