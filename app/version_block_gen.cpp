// Build tool: writes the C++ source that puts Kestrim's version block into its own ELF section
// of the kestrim executable. Usage: kestrim_version_gen VERSION OUTPUT.cpp
#include "app/version_resource.h"

#include <cstdio>
#include <fstream>
#include <iostream>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::cerr << "usage: kestrim_version_gen VERSION OUTPUT.cpp\n";
        return 2;
    }
    const auto block = BuildVersionResource(KestrimVersionContent(argv[1]));
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << "// Generated at build time by kestrim_version_gen from the project version; not edited.\n"
           "// The version block of the kestrim executable, found there by its section name.\n"
           "extern const unsigned char kestrim_version_block[];\n"
           "__attribute__((section(\"" << kVersionSectionName << "\"), used, aligned(4)))\n"
           "const unsigned char kestrim_version_block[" << block.size() << "] = {";
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (i % 16 == 0)
            out << "\n   ";
        char hex[8];
        std::snprintf(hex, sizeof hex, " 0x%02X,", block[i]);
        out << hex;
    }
    out << "\n};\n";
    out.close();
    if (!out) {
        std::cerr << "kestrim_version_gen: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
