#include <iostream>

#include "commands.h"

int main(int argc, char* argv[]) {
    std::ios::sync_with_stdio(false);
    return dotlane::cli::run(std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout,
                             std::cerr);
}
