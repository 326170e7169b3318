// Writes the sample databases into the folder given as the only argument
// (tests/data in the source tree: scripts/make-test-data.sh).
#include "TestSupport.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_test_data FOLDER\n";
        return 1;
    }
    try {
        for (const auto& [name, bytes] : testing_support::makeSampleDatabases())
            testing_support::writeFile(std::filesystem::path(argv[1]) / name, bytes);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
