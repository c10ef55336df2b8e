/* Preloaded into dotlane-cli by a writing test: a SIGTERM arrives while a save is under way,
 * at the same moment on every run. */
#include <signal.h>

int fsync(int fd) {
    (void)fd;
    return raise(SIGTERM);
}
