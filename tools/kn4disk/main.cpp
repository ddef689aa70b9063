#include "diskcommand.h"

#include <iostream>

int main(int argc, char *argv[])
{
    return kn4::disk::DiskCommand::run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
