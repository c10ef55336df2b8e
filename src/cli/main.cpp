#include <fcntl.h>
#include <iostream>
#include <unistd.h>

#include "commands.h"
#include "support.h"

int main(int argc, char* argv[]) {
    // A standard descriptor the caller closed would go to the first file opened, and the
    // listing into that file; /dev/null holds its place, and writes to a closed standard
    // output still fail.
    const bool stdout_closed = ::fcntl(1, F_GETFD) < 0;
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0) ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    std::ios::sync_with_stdio(false);
    dotlane::cli::DescriptorOutput output(stdout_closed ? -1 : 1);
    std::streambuf* const standard = std::cout.rdbuf(&output);
    int status = dotlane::cli::run(std::vector<std::string>(argv + 1, argv + argc), std::cin,
                                   std::cout, std::cerr);
    // A failed write seen by run() has its message already.
    if (status == dotlane::cli::kOk) status = dotlane::cli::check_output(std::cout, std::cerr);
    std::cout.rdbuf(standard);
    return status;
}
