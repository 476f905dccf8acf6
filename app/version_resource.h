// Builds a version-information block laid out as the version resource of a Windows program
// file: VS_VERSIONINFO with its fixed file information, a StringFileInfo table per language and
// code page, and VarFileInfo\Translation. The build puts the block made here into the kestrim
// executable (see version_block_gen.cpp), where TVerInfo finds and reads it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TVersionResourceContent {
    std::array<std::uint16_t, 4> FileVersion{};
    std::array<std::uint16_t, 4> ProductVersion{};
    std::uint16_t Language = 0x0411;  // Japanese
    std::uint16_t CodePage = 0x03A4;  // 932
    // Key and value of each string of the table, in UTF-8.
    std::vector<std::pair<std::string, std::string>> Strings;
};

// The whole block, little-endian, its length a multiple of 4.
std::vector<std::uint8_t> BuildVersionResource(const TVersionResourceContent &content);

// Name of the ELF section of the kestrim executable that holds the block.
inline constexpr const char *kVersionSectionName = ".kestrim_version";

// Kestrim's own version block: FileVersion and ProductVersion as given ("0.2.6.0"), the product
// name and the other identity strings.
TVersionResourceContent KestrimVersionContent(const std::string &version);
