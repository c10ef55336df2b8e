#include "write/temp_file.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dotlane::detail {

namespace {

constexpr char kTempPrefix[] = ".dotlane-save-";
constexpr std::size_t kTempSuffix = 6;

// The handler may use only what is here: one slot a temporary file.
constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t kSlots = 8;
char g_temp[kSlots][4096 + 64];
volatile std::sig_atomic_t g_armed[kSlots] = {};
struct sigaction g_previous[std::size(kCaught)];
bool g_installed[std::size(kCaught)] = {};
struct sigaction g_file_size {};
int g_live = 0; // TempFile objects; the handlers stay while any lives

extern "C" void remove_temp_and_reraise(int sig) {
    const int saved_errno = errno;
    for (std::size_t slot = 0; slot < kSlots; ++slot) {
        if (g_armed[slot]) ::unlink(g_temp[slot]);
        g_armed[slot] = 0;
    }
    for (std::size_t i = 0; i < std::size(kCaught); ++i)
        if (kCaught[i] == sig) ::sigaction(sig, &g_previous[i], nullptr);
    ::raise(sig); // delivered, under the earlier disposition, once this handler returns
    errno = saved_errno;
}

} // namespace

TempFile::TempFile() {
    if (g_live++ > 0) return;
    struct sigaction remove {};
    remove.sa_handler = remove_temp_and_reraise;
    sigemptyset(&remove.sa_mask);
    for (std::size_t i = 0; i < std::size(kCaught); ++i) {
        ::sigaction(kCaught[i], nullptr, &g_previous[i]);
        // An ignored signal (nohup, a background job) stays ignored.
        g_installed[i] =
            g_previous[i].sa_handler != SIG_IGN && ::sigaction(kCaught[i], &remove, nullptr) == 0;
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &g_file_size);
}

TempFile::~TempFile() {
    if (slot_ >= 0) ::unlink(name_.c_str());
    keep();
    if (--g_live > 0) return;
    for (std::size_t i = 0; i < std::size(kCaught); ++i)
        if (g_installed[i]) ::sigaction(kCaught[i], &g_previous[i], nullptr);
    ::sigaction(SIGXFSZ, &g_file_size, nullptr);
}

void TempFile::keep() {
    if (slot_ >= 0) g_armed[slot_] = 0;
    slot_ = -1;
}

int TempFile::create(const std::string& folder) {
    static unsigned counter = 0;
    sigset_t caught, before;
    sigemptyset(&caught);
    for (const int sig : kCaught)
        sigaddset(&caught, sig);
    std::size_t slot = 0;
    while (slot < kSlots && g_armed[slot])
        ++slot;
    for (int attempt = 0; attempt < 100; ++attempt) {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        std::uint64_t seed = std::uint64_t(now.tv_nsec) ^ std::uint64_t(::getpid()) << 32 ^
                             ++counter * 0x9E3779B97F4A7C15ull;
        name_ = folder + "/" + kTempPrefix;
        for (std::size_t i = 0; i < kTempSuffix; ++i, seed /= 36)
            name_ += "abcdefghijklmnopqrstuvwxyz0123456789"[seed % 36];
        if (slot == kSlots || name_.size() >= sizeof g_temp[0]) {
            errno = slot == kSlots ? EMFILE : ENAMETOOLONG;
            return -1;
        }
        ::pthread_sigmask(SIG_BLOCK, &caught, &before);
        const int fd = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        const int open_errno = errno;
        if (fd >= 0) {
            std::memcpy(g_temp[slot], name_.c_str(), name_.size() + 1);
            g_armed[slot] = 1;
            slot_ = int(slot);
        }
        ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
        errno = open_errno;
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

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

} // namespace dotlane::detail
