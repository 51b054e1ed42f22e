// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A really full disk for tests: a small tmpfs mounted in a mount namespace private to the test
// process, so that no other process sees it and it goes away with the process at the latest.
// Needs root (CAP_SYS_ADMIN) on a system that allows mount namespaces; otherwise whyNot() says
// what is missing, for the test to skip with that reason. Linux only; elsewhere it says so.

#if defined(_WIN32)

#include <cstddef>
#include <filesystem>
#include <string>

// Windows has no mount namespaces: the tests that need a small disk say so and skip.
inline std::string EnterPrivateMountNamespace() {
    return "";
}

class SmallDisk {
public:
    SmallDisk(const std::filesystem::path&, std::size_t) {}
    bool mounted() const { return false; }
    const std::string& whyNot() const { return m_whyNot; }
    static std::size_t roomForOneAndAHalf(std::size_t) { return 0; }

private:
    std::string m_whyNot = "a small disk of its own is made on Linux only";
};

#else

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

// Moves this process into a mount namespace of its own, once; mounts made afterwards stay in it.
// Gives "" on success, else the reason. Must run while the process has a single thread (a Qt
// test calls it before it creates the application).
inline std::string EnterPrivateMountNamespace() {
    static const std::string whyNot = []() -> std::string {
        if (::geteuid() != 0)
            return "mounting a small disk needs root";
        if (::unshare(CLONE_NEWNS) != 0)
            return std::string("no mount namespace of our own: ") + std::strerror(errno);
        // Mounts must not travel back into the namespace we came from.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return std::string("cannot make the mounts private: ") + std::strerror(errno);
        return "";
    }();
    return whyNot;
}

// A tmpfs of `bytes` (rounded up to whole pages) at `folder`, which is created when missing and
// must not hold anything the test still needs (the mount hides it). Unmounted when the object goes.
class SmallDisk {
public:
    SmallDisk(const std::filesystem::path& folder, std::size_t bytes) {
        m_whyNot = EnterPrivateMountNamespace();
        if (!m_whyNot.empty())
            return;
        std::filesystem::create_directories(folder);
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
        if (::mount("tintwell-test", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.c_str()) != 0) {
            m_whyNot = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
            return;
        }
        m_folder = folder;
    }
    ~SmallDisk() {
        if (!m_folder.empty())
            ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return !m_folder.empty(); }
    const std::string& whyNot() const { return m_whyNot; }

    // The size the disk needs to hold a file of `bytes` and then only about half of a second
    // one, so that rewriting the file beside itself runs out of space halfway.
    static std::size_t roomForOneAndAHalf(std::size_t bytes) {
        const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        const auto pages = [page](std::size_t n) { return (n + page - 1) / page * page; };
        return pages(bytes) + pages(bytes / 2);
    }

private:
    std::filesystem::path m_folder;
    std::string m_whyNot;
};

#endif
