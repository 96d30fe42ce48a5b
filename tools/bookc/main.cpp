#include <iostream>
#include <string>
#include <vector>

#include "tools/bookc/bookc.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return bookc::RunBookc(args, std::cout, std::cerr);
}
