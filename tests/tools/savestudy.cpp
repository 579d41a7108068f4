// Saves study files over TARGET the way Save does, for the tests that kill a
// save half-way: savestudy TARGET COUNT FILE... writes each FILE's bytes in
// turn, COUNT times over, and prints "listo" when all the saves returned.
#include "cli/atomicfile.h"
#include "stats/errors.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::cerr << "uso: savestudy DESTINO VECES ARCHIVO...\n";
        return 64;
    }
    std::vector<std::string> contents;
    for (int i = 3; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const int count = std::stoi(argv[2]);
    try {
        for (int round = 0; round < count; ++round)
            for (const std::string &bytes : contents)
                cli::WriteFileAtomically(argv[1], bytes);
    } catch (const stats::CommandError &e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    std::cout << "listo\n";
    return 0;
}
