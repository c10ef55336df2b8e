#include "output_file.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text.h"

namespace dotlane {

int write_all(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0) return errno;
        if (wrote == 0) return ENOSPC;
        done += std::size_t(wrote);
    }
    return 0;
}

namespace {

constexpr char kTempPrefix[] = ".dotlane-save-";
constexpr std::size_t kTempSuffix = 6;

std::string because(const std::string& what, int error) {
    return what + ": " + std::strerror(error) + ".";
}

std::string folder_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Names under which the shell hands this process a descriptor. Writing the descriptor itself
// keeps an appending redirection appending, and replaces no file behind the shell's back.
std::optional<int> descriptor_named(const std::string& path) {
    if (path == "/dev/stdout") return 1;
    if (path == "/dev/stderr") return 2;
    for (const std::string prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        const std::size_t digits = path.size() - prefix.size();
        if (path.size() > prefix.size() && digits < 10 && path.starts_with(prefix) &&
            path.find_first_not_of("0123456789", prefix.size()) == std::string::npos)
            return std::stoi(path.substr(prefix.size()));
    }
    return std::nullopt;
}

// Follows the links at `path` as the system would, one by one: replacing the file where the
// last one leads, in its own folder, keeps every link a link.
std::optional<std::string> follow_links(std::string& path, const std::string& given) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (hops == 0 || errno != ENOENT) return std::nullopt; // the save gives the reason
            return "Cannot write " + quoted_name(given) + ": it is a link to " + quoted_name(path) +
                   ", which does not exist.";
        }
        if (!S_ISLNK(st.st_mode)) return std::nullopt;
        // st_size may be 0 (links in /proc) or stale, so the buffer grows until it has room.
        std::string target(std::size_t(st.st_size) + 256, '\0');
        ssize_t length;
        while ((length = ::readlink(path.c_str(), target.data(), target.size())) >= 0 &&
               std::size_t(length) == target.size())
            target.resize(target.size() * 2);
        if (length < 0) return because("Cannot write " + quoted_name(given), errno);
        target.resize(std::size_t(length));
        const auto slash = path.rfind('/');
        path = target.starts_with('/') || slash == std::string::npos
                   ? target
                   : path.substr(0, slash + 1) + target;
    }
    return because("Cannot write " + quoted_name(given), ELOOP);
}

// A pipe without a reader would block the open for ever, so it is opened without waiting,
// refused when nobody reads, and then written with ordinary waiting writes.
std::optional<std::string> write_through(const std::string& path, const std::string& shown,
                                         bool pipe, std::span<const std::uint8_t> bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ENXIO && pipe)
        return "Cannot write " + shown + ": the pipe has no reader.";
    if (fd < 0) return because("Cannot write " + shown, errno);
    // A reader that goes away must not take the window with it: SIGPIPE is held back, the
    // write fails with EPIPE instead, and the signal it left pending is taken away.
    sigset_t pipe_signal, before;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &pipe_signal, &before);
    int error = ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 ? 0 : errno;
    if (error == 0) error = write_all(fd, bytes);
    if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
    const timespec no_wait{};
    if (error == EPIPE && !sigismember(&before, SIGPIPE))
        ::sigtimedwait(&pipe_signal, nullptr, &no_wait);
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (error != 0) return because("Cannot write " + shown, error);
    return std::nullopt;
}

// While a temporary file exists, SIGINT, SIGTERM and SIGHUP remove it before the signal takes
// its course; the handler may use only what is here. SIGXFSZ is ignored meanwhile so that a
// file size limit fails the write (EFBIG) and the save cleans up like any failed write.
constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP};
char g_temp[4096 + 64];
volatile std::sig_atomic_t g_armed = 0;
struct sigaction g_previous[std::size(kCaught)];

extern "C" void remove_temp_and_reraise(int sig) {
    const int saved_errno = errno;
    if (g_armed) ::unlink(g_temp);
    g_armed = 0;
    for (std::size_t i = 0; i < std::size(kCaught); ++i)
        if (kCaught[i] == sig) ::sigaction(sig, &g_previous[i], nullptr);
    ::raise(sig); // delivered, under the earlier disposition, once this handler returns
    errno = saved_errno;
}

class TempGuard {
public:
    TempGuard() {
        struct sigaction remove {};
        remove.sa_handler = remove_temp_and_reraise;
        sigemptyset(&remove.sa_mask);
        for (std::size_t i = 0; i < std::size(kCaught); ++i) {
            ::sigaction(kCaught[i], nullptr, &g_previous[i]);
            // An ignored signal (nohup, a background job) stays ignored.
            installed_[i] = g_previous[i].sa_handler != SIG_IGN &&
                            ::sigaction(kCaught[i], &remove, nullptr) == 0;
        }
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGXFSZ, &ignore, &file_size_);
    }
    ~TempGuard() {
        g_armed = 0;
        for (std::size_t i = 0; i < std::size(kCaught); ++i)
            if (installed_[i]) ::sigaction(kCaught[i], &g_previous[i], nullptr);
        ::sigaction(SIGXFSZ, &file_size_, nullptr);
    }
    TempGuard(const TempGuard&) = delete;
    TempGuard& operator=(const TempGuard&) = delete;

    // Creates a temporary file in `folder` with the mode fopen would give a new file, and arms
    // the handlers with its name before any signal can come between.
    int create(const std::string& folder, std::string& temp) {
        static unsigned counter = 0;
        sigset_t caught, before;
        sigemptyset(&caught);
        for (const int sig : kCaught)
            sigaddset(&caught, sig);
        for (int attempt = 0; attempt < 100; ++attempt) {
            timespec now{};
            ::clock_gettime(CLOCK_REALTIME, &now);
            std::uint64_t seed = std::uint64_t(now.tv_nsec) ^ std::uint64_t(::getpid()) << 32 ^
                                 ++counter * 0x9E3779B97F4A7C15ull;
            temp = folder + "/" + kTempPrefix;
            for (std::size_t i = 0; i < kTempSuffix; ++i, seed /= 36)
                temp += "abcdefghijklmnopqrstuvwxyz0123456789"[seed % 36];
            if (temp.size() >= sizeof g_temp) {
                errno = ENAMETOOLONG;
                return -1;
            }
            ::pthread_sigmask(SIG_BLOCK, &caught, &before);
            const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            const int open_errno = errno;
            if (fd >= 0) {
                std::memcpy(g_temp, temp.c_str(), temp.size() + 1);
                g_armed = 1;
            }
            ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
            errno = open_errno;
            if (fd >= 0 || errno != EEXIST) return fd;
        }
        return -1;
    }
    void disarm() { g_armed = 0; }

private:
    bool installed_[std::size(kCaught)] = {};
    struct sigaction file_size_ {};
};

// A save killed outright (SIGKILL, a crash, a power cut) cannot remove its temporary file, so
// each save removes those of its folder that no save has written to for a minute. (O_TMPFILE
// would leave none, but many file systems lack it and a name is still needed for the rename.)
void remove_stale_temps(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const time_t stale = ::time(nullptr) - 60;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat st {};
        if (name.size() == sizeof kTempPrefix - 1 + kTempSuffix && name.starts_with(kTempPrefix) &&
            ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_mtime < stale)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

std::optional<std::string> replace(const std::string& path, const std::string& shown,
                                   const struct stat* existing,
                                   std::span<const std::uint8_t> bytes) {
    // The rename needs only the folder to be writable, so it would replace a file that was
    // made read-only to keep it. Such a file is refused whoever saves, root included. (On a
    // read-only disk creating the temporary file fails below, with that reason.)
    if (existing &&
        ((existing->st_mode & 0222) == 0 ||
         (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES)))
        return "Cannot replace " + shown + ": the file is read-only.";
    const std::string folder = folder_of(path);
    remove_stale_temps(folder);
    TempGuard guard;
    std::string temp;
    const int fd = guard.create(folder, temp);
    if (fd < 0) return because("Cannot create a file in " + quoted_name(folder), errno);
    if (existing) {
        // Keeping the owner can fail (only root may give a file away); the mode then still
        // holds, and fchmod comes second because a change of owner clears set-id bits.
        [[maybe_unused]] const int owner_kept = ::fchown(fd, existing->st_uid, existing->st_gid);
        ::fchmod(fd, existing->st_mode & 07777);
    }
    int error = write_all(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
    const bool written = error == 0;
    if (written && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
    guard.disarm();
    if (error == 0) return std::nullopt;
    ::unlink(temp.c_str());
    return because((written ? "Cannot replace " : "Cannot write ") + shown, error);
}

// Whether `path` leads to a regular file of exactly `bytes`. Only a regular file is opened
// (opening a device or a pipe may act on it), and one of another size is not read at all.
bool holds_already(const std::string& path, std::span<const std::uint8_t> bytes) {
    struct stat st {};
    if (descriptor_named(path) || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        std::uint64_t(st.st_size) != bytes.size())
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    bool same = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    std::uint8_t buffer[1 << 16];
    // One byte more than `bytes` is asked for at the end: a file that grew is not the same.
    for (std::size_t done = 0; same && done <= bytes.size();) {
        const ssize_t got = ::read(
            fd, buffer, std::min(sizeof buffer, bytes.size() - done + (done == bytes.size())));
        if (got < 0 && errno == EINTR) continue;
        if (done == bytes.size()) {
            same = got == 0;
            break;
        }
        same = got > 0 && std::memcmp(buffer, bytes.data() + done, std::size_t(got)) == 0;
        done += std::size_t(got > 0 ? got : 0);
    }
    ::close(fd);
    return same;
}

} // namespace

std::optional<std::string> write_file_unless_same(const std::string& path,
                                                  std::span<const std::uint8_t> bytes) {
    if (holds_already(path, bytes)) return std::nullopt;
    return write_file_whole(path, bytes);
}

std::optional<std::string> write_file_whole(const std::string& path,
                                            std::span<const std::uint8_t> bytes) {
    if (const auto fd = descriptor_named(path)) {
        if (const int error = write_all(*fd, bytes))
            return because("Cannot write " + quoted_name(path), error);
        return std::nullopt;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) return "Cannot write " + quoted_name(path) + ": it is a folder.";
        return write_through(path, quoted_name(path), S_ISFIFO(st.st_mode), bytes);
    }
    std::string real = path;
    if (auto refused = follow_links(real, path)) return refused;
    const std::string shown = real == path
                                  ? quoted_name(path)
                                  : quoted_name(path) + " (a link to " + quoted_name(real) + ")";
    const bool exists = ::lstat(real.c_str(), &st) == 0;
    return replace(real, shown, exists ? &st : nullptr, bytes);
}

} // namespace dotlane
