#pragma once

// What the tests and benchmarks need of the POSIX system, kept here so that
// no other test or benchmark includes a POSIX header.
#ifndef _WIN32

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pwd.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vesk::posix {

inline bool makeFifo(const std::string &path)
{
    return mkfifo(path.c_str(), 0600) == 0;
}

// The mask of new files' permission bits; the one in force before.
inline unsigned setFileCreationMask(unsigned mask)
{
    return static_cast<unsigned>(umask(static_cast<mode_t>(mask)));
}

// Everything written so far goes to the disk.
inline void syncAll()
{
    sync();
}

inline bool runningAsRoot()
{
    return geteuid() == 0;
}

// The peak resident memory of this program so far, in KiB: since it was
// started (VmHWM), not the larger figure getrusage reports for a program
// started by a bigger one.
inline long peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "VmHWM:") == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Becomes the unprivileged user "nobody", as a player without rights would
// be. False when that is not possible.
inline bool becomeNobody()
{
    const passwd *nobody = getpwnam("nobody");
    return nobody && setgid(nobody->pw_gid) == 0 && setuid(nobody->pw_uid) == 0;
}

// Limits the size of files this process may write; past it, writes fail
// with EFBIG instead of raising a signal.
inline void limitFileSize(unsigned long bytes)
{
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}

// Runs `body` in a child process and gives its exit code, or 128 when it
// did not exit normally.
template<typename Body>
int inChild(Body body)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// Starts `program` in `directory` with one environment setting; the child's
// process id, or -1.
inline pid_t startProgram(const std::string &program, const std::string &directory, const char *name, const char *value)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(directory.c_str()) != 0)
            _exit(127);
        setenv(name, value, 1);
        execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    return pid;
}

// Waits up to `milliseconds` for input on `fd`.
inline void waitForInput(int fd, int milliseconds)
{
    pollfd watch{fd, POLLIN, 0};
    poll(&watch, 1, milliseconds);
}

inline bool hasEnded(pid_t pid)
{
    return waitpid(pid, nullptr, WNOHANG) == pid;
}

inline void endProgram(pid_t pid)
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// A small file system of its own (tmpfs) mounted on `folder`, for tests of a
// full disk. Root mounts it directly; anyone else inside a user and mount
// namespace of this process's own. `reason` says why it could not be had.
class TinyFileSystem
{
public:
    TinyFileSystem(const std::string &folder, const std::string &size) : m_folder(folder)
    {
        if (geteuid() != 0 && !enterOwnNamespaces()) {
            m_reason = "neither root nor allowed a user namespace to mount a small file system";
            return;
        }
        m_mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
        if (!m_mounted)
            m_reason = "cannot mount a small file system on " + folder;
    }
    ~TinyFileSystem()
    {
        if (m_mounted)
            ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    TinyFileSystem(const TinyFileSystem &) = delete;
    TinyFileSystem &operator=(const TinyFileSystem &) = delete;

    bool mounted() const { return m_mounted; }
    const std::string &reason() const { return m_reason; }

private:
    static bool writeFile(const char *path, const std::string &text)
    {
        const int fd = ::open(path, O_WRONLY);
        const bool written = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        if (fd >= 0)
            ::close(fd);
        return written;
    }
    static bool enterOwnNamespaces()
    {
        const std::string uid = std::to_string(geteuid()), gid = std::to_string(getegid());
        return ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && writeFile("/proc/self/setgroups", "deny")
               && writeFile("/proc/self/uid_map", "0 " + uid + " 1")
               && writeFile("/proc/self/gid_map", "0 " + gid + " 1");
    }

    std::string m_folder;
    bool m_mounted = false;
    std::string m_reason;
};

} // namespace vesk::posix

#endif
