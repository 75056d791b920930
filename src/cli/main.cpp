#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
    return vb::cli::run(argc, argv, std::cout, std::cerr);
}
