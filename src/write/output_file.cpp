#include "write/output_file.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shared/text.h"
#include "write/temp_file.h"

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
                                         bool pipe, const std::function<int(int)>& send) {
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
    if (error == 0) error = send(fd);
    if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
    const timespec no_wait{};
    if (error == EPIPE && !sigismember(&before, SIGPIPE))
        ::sigtimedwait(&pipe_signal, nullptr, &no_wait);
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (error != 0) return because("Cannot write " + shown, error);
    return std::nullopt;
}

// Where a save of `path` puts its file, or nullopt when it writes through.
struct Landing {
    std::string path;
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
};

std::optional<Landing> landing_of(const std::string& path) {
    if (descriptor_named(path)) return std::nullopt;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return std::nullopt;
    Landing l{path};
    follow_links(l.path, path);
    const auto slash = l.path.rfind('/');
    const std::string name = slash == std::string::npos ? l.path : l.path.substr(slash + 1);
    if (char* folder = ::realpath(folder_of(l.path).c_str(), nullptr)) {
        l.path = std::string(folder) + "/" + name;
        std::free(folder);
    }
    if (::stat(l.path.c_str(), &st) == 0) l = {l.path, true, st.st_dev, st.st_ino};
    return l;
}

// Reads until `size` bytes are in or the file ends; the count read, or -1 with errno.
ssize_t read_block(int fd, std::uint8_t* into, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, into + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += std::size_t(got);
    }
    return ssize_t(done);
}

// Whether the regular file at `path` holds exactly what the file at `written` holds. Only a
// regular file is opened (opening a device or a pipe may act on it), files of two sizes are
// not read at all, and the two are compared a block at a time, never held whole.
bool same_content(const std::string& written, const std::string& path) {
    struct stat a {};
    struct stat b {};
    if (::stat(path.c_str(), &b) != 0 || !S_ISREG(b.st_mode)) return false;
    const int fa = ::open(written.c_str(), O_RDONLY | O_CLOEXEC);
    if (fa < 0) return false;
    const int fb = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    bool same = fb >= 0 && ::fstat(fa, &a) == 0 && ::fstat(fb, &b) == 0 && S_ISREG(b.st_mode) &&
                a.st_size == b.st_size;
    constexpr std::size_t kBlock = 1 << 16;
    const auto blocks = same ? std::make_unique<std::uint8_t[]>(2 * kBlock) : nullptr;
    // Read to the end of both: a file that grew or shrank since fstat is not the same.
    while (same) {
        const ssize_t got_a = read_block(fa, blocks.get(), kBlock);
        const ssize_t got_b = read_block(fb, blocks.get() + kBlock, kBlock);
        same = got_a >= 0 && got_a == got_b &&
               std::memcmp(blocks.get(), blocks.get() + kBlock, std::size_t(got_a)) == 0;
        if (got_a == 0) break;
    }
    ::close(fa);
    if (fb >= 0) ::close(fb);
    return same;
}

} // namespace

bool same_output_file(const std::string& a, const std::string& b) {
    const auto la = landing_of(a), lb = landing_of(b);
    if (!la || !lb) return false;
    if (la->exists && lb->exists) return la->device == lb->device && la->inode == lb->inode;
    return la->path == lb->path;
}

StagedOutput::StagedOutput() = default;

StagedOutput::~StagedOutput() {
    if (fd_ >= 0) ::close(fd_);
    if (spool_) std::fclose(spool_);
}

std::optional<std::string> StagedOutput::open(const std::string& path, IfSame if_same) {
    path_ = path;
    if_same_ = if_same;
    shown_ = quoted_name(path);
    if (descriptor_named(path)) return std::nullopt;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) return "Cannot write " + shown_ + ": it is a folder.";
        pipe_ = S_ISFIFO(st.st_mode);
        return std::nullopt;
    }
    std::string real = path;
    if (auto refused = follow_links(real, path)) return refused;
    if (real != path) shown_ += " (a link to " + quoted_name(real) + ")";
    const bool exists = ::lstat(real.c_str(), &st) == 0;
    // The rename needs only the folder to be writable, so it would replace a file that was
    // made read-only to keep it. Such a file is refused whoever saves, root included. (On a
    // read-only disk creating the temporary file fails below, with that reason.)
    // One that is to be left when it comes out the same is refused only if it does not.
    if (exists && ((st.st_mode & 0222) == 0 ||
                   (::faccessat(AT_FDCWD, real.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES)))
        read_only_ = "Cannot replace " + shown_ + ": the file is read-only.";
    if (read_only_ && if_same == IfSame::replace) return read_only_;
    const std::string folder = folder_of(real);
    detail::remove_stale_temps(folder);
    temp_ = std::make_unique<detail::TempFile>();
    fd_ = temp_->create(folder);
    if (fd_ < 0) return because("Cannot create a file in " + quoted_name(folder), errno);
    if (exists) {
        // Keeping the owner can fail (only root may give a file away); the mode then still
        // holds, and fchmod comes second because a change of owner clears set-id bits.
        [[maybe_unused]] const int owner_kept = ::fchown(fd_, st.st_uid, st.st_gid);
        ::fchmod(fd_, st.st_mode & 07777);
    }
    real_ = real;
    return std::nullopt;
}

void StagedOutput::write(std::string_view text) {
    if (error_) return;
    if (fd_ >= 0) {
        error_ = write_all(fd_, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
        return;
    }
    // What waits for standard output, a device or a pipe goes to an unnamed file once it
    // grows, so that waiting costs no memory; without one it stays in memory.
    if (waiting_.size() + text.size() < (1u << 20)) {
        waiting_ += text;
        return;
    }
    if (!spool_ && !spool_failed_) spool_ = std::tmpfile();
    spool_failed_ = !spool_;
    if (!spool_) {
        waiting_ += text;
        return;
    }
    // A large piece (a picture's raw bytes) goes to the file as it is, never copied after
    // what waits.
    for (const std::string_view part : {std::string_view(waiting_), text})
        if (!error_ && std::fwrite(part.data(), 1, part.size(), spool_) != part.size())
            error_ = errno ? errno : EIO;
    waiting_.clear();
}

int StagedOutput::send(const std::function<int(std::string_view)>& sink) {
    if (error_) return error_;
    if (spool_) {
        if (std::fflush(spool_) != 0 || std::fseek(spool_, 0, SEEK_SET) != 0) return errno;
        std::string piece(1u << 16, '\0');
        while (const std::size_t got = std::fread(piece.data(), 1, piece.size(), spool_))
            if (const int error = sink({piece.data(), got})) return error;
        if (std::ferror(spool_)) return EIO;
    }
    return sink(waiting_);
}

std::optional<std::string> StagedOutput::commit() {
    if (fd_ < 0) {
        const auto to_fd = [&](int fd) {
            return send([fd](std::string_view piece) {
                return write_all(
                    fd, {reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()});
            });
        };
        if (const auto fd = descriptor_named(path_)) {
            if (const int error = to_fd(*fd)) return because("Cannot write " + shown_, error);
            return std::nullopt;
        }
        return write_through(path_, shown_, pipe_, to_fd);
    }
    int error = error_;
    if (error == 0 && if_same_ == IfSame::leave && same_content(temp_->name(), real_)) {
        ::close(fd_);
        fd_ = -1;
        temp_.reset(); // removes the temporary file
        return std::nullopt;
    }
    if (read_only_) {
        ::close(fd_);
        fd_ = -1;
        temp_.reset();
        return read_only_;
    }
    if (error == 0 && ::fsync(fd_) != 0) error = errno;
    if (::close(fd_) != 0 && error == 0 && errno != EINTR) error = errno;
    fd_ = -1;
    const bool written = error == 0;
    if (written && ::rename(temp_->name().c_str(), real_.c_str()) != 0) error = errno;
    if (error == 0) temp_->keep();
    temp_.reset();
    if (error == 0) return std::nullopt;
    return because((written ? "Cannot replace " : "Cannot write ") + shown_, error);
}

namespace {

std::optional<std::string> write_whole(const std::string& path, std::span<const std::uint8_t> bytes,
                                       StagedOutput::IfSame if_same) {
    StagedOutput output;
    if (auto refused = output.open(path, if_same)) return refused;
    output.write({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    return output.commit();
}

} // namespace

std::optional<std::string> write_file_whole(const std::string& path,
                                            std::span<const std::uint8_t> bytes) {
    return write_whole(path, bytes, StagedOutput::IfSame::replace);
}

std::optional<std::string> write_file_unless_same(const std::string& path,
                                                  std::span<const std::uint8_t> bytes) {
    return write_whole(path, bytes, StagedOutput::IfSame::leave);
}

} // namespace dotlane
