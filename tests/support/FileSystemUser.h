// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Permission tests as root: root may write whatever the permission bits say, so a read-only file
// stops nobody. While a FileSystemUser lives, the calling thread's file accesses are checked as
// the "nobody" user's would be: Linux checks files against the file-system user ID, and root
// loses its power to override permissions when that ID is not 0. The rest of the process keeps
// its rights, and everything is as before when the object goes. For an ordinary user nothing
// changes: the permission bits already apply. On Windows it changes nothing (see below).

#include <string>

#if defined(_WIN32)

// Windows holds every user to a read-only file, administrators included: nothing to change.
class FileSystemUser {
public:
    const std::string& whyNot() const { return m_whyNot; }

private:
    std::string m_whyNot;
};

#else

#include <sys/fsuid.h>
#include <unistd.h>

class FileSystemUser {
public:
    // The "nobody" user and group of Debian and most other systems.
    static constexpr uid_t Nobody = 65534;

    FileSystemUser() {
        if (::geteuid() != 0)
            return;
        m_oldGroup = static_cast<gid_t>(::setfsgid(Nobody));
        m_oldUser = static_cast<uid_t>(::setfsuid(Nobody));
        m_active = true;
        // setfsuid answers with the ID in force before the call, so ask again to be sure.
        if (static_cast<uid_t>(::setfsuid(static_cast<uid_t>(-1))) != Nobody)
            m_whyNot = "the file-system user ID could not be changed";
    }
    ~FileSystemUser() {
        if (m_active) {
            ::setfsuid(m_oldUser);
            ::setfsgid(m_oldGroup);
        }
    }
    FileSystemUser(const FileSystemUser&) = delete;
    FileSystemUser& operator=(const FileSystemUser&) = delete;

    // Empty when permissions now apply to this thread.
    const std::string& whyNot() const { return m_whyNot; }

private:
    bool m_active = false;
    uid_t m_oldUser = 0;
    gid_t m_oldGroup = 0;
    std::string m_whyNot;
};

#endif
