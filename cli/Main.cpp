#include <iostream>

#include "cli/Command.h"

int main(int argc, char** argv) { return cli::RunHamper(argc, argv, std::cout, std::cerr); }
