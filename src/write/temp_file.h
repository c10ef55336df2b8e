#pragma once
// The temporary files a save writes beside its output before renaming them over it. While one
// exists, SIGINT, SIGTERM and SIGHUP remove it before the signal takes its course, and SIGXFSZ
// is ignored, so that a file size limit fails the write (EFBIG) and the save cleans up like
// any failed write. A command may stage a few outputs at once (a header and its source).
#include <string>

namespace dotlane::detail {

class TempFile {
public:
    TempFile();
    ~TempFile(); // removes the file unless kept
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates the file in `folder` with the mode fopen would give a new file, armed against
    // the signals before any can come between. Returns its descriptor, or -1 with errno.
    int create(const std::string& folder);
    const std::string& name() const { return name_; }
    // The file was renamed into place, or removed: nothing is left to remove.
    void keep();

private:
    std::string name_;
    int slot_ = -1;
};

// A save killed outright (SIGKILL, a crash, a power cut) cannot remove its temporary file, so
// each save removes those of its folder that no save has written to for a minute. (O_TMPFILE
// would leave none, but many file systems lack it and a name is still needed for the rename.)
void remove_stale_temps(const std::string& folder);

} // namespace dotlane::detail
