#include <fcntl.h>
#include <iostream>
#include <new>
#include <unistd.h>

#include "cli/commands.h"
#include "cli/support.h"

int main(int argc, char* argv[]) {
    // A standard descriptor the caller closed would go to the first file opened, and a
    // listing or a message into that file. /dev/null holds its place, opened the other way
    // round so that using it still fails as with a closed descriptor (EBADF).
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0) ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
    std::ios::sync_with_stdio(false);
    dotlane::cli::DescriptorOutput output(1);
    std::streambuf* const standard = std::cout.rdbuf(&output);
    int status;
    // Running out of memory unwinds to here, so every output staged meanwhile is discarded and
    // none is put in place.
    try {
        status = dotlane::cli::run(std::vector<std::string>(argv + 1, argv + argc), std::cin,
                                   std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "dotlane-cli: out of memory; nothing was written.\n";
        std::cout.rdbuf(standard);
        return dotlane::cli::kBadInput;
    }
    // A failed write seen by run() has its message already.
    if (status == dotlane::cli::kOk) status = dotlane::cli::check_output(std::cout, std::cerr);
    std::cout.rdbuf(standard);
    return status;
}
