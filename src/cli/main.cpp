#include <iostream>
#include <vector>

#include "base/Platform.h"
#include "cli/Cli.h"

int main(int argc, char** argv) {
    vb::useUtf8Console();
    const std::vector<std::string> args = vb::utf8Arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const auto& arg : args) pointers.push_back(arg.c_str());
    return vb::cli::run(static_cast<int>(pointers.size()), pointers.data(), std::cout, std::cerr);
}
