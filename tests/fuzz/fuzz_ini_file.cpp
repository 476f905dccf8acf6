// Fuzz target for the ini reader: any bytes must read without a fault, the rewrite of what was
// read must read back to the same text, and a value written under names taken from the input
// must read back under those names while every other entry stays as it was.
#include "classlib/ini_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    TIniFile ini;
    ini.LoadFromText(input);
    const std::string text = ini.ToText();

    TIniFile again;
    again.LoadFromText(text);
    Check(again.ToText() == text);
    for (const std::string &section : ini.ReadSections()) {
        Check(again.SectionExists(section));
        for (const TIniEntry &entry : ini.ReadSectionEntries(section))
            Check(again.ReadString(section, entry.Key) == entry.Value);
    }

    // Names and a value cut from the input itself, so they hold whatever the input holds.
    const std::size_t third = size / 3;
    const std::string section(input.substr(0, third));
    const std::string key(input.substr(third, third));
    const std::string value(input.substr(2 * third));
    again.WriteString(section, key, value);
    TIniFile written;
    written.LoadFromText(again.ToText());
    const std::string stored = again.ReadString(section, key);
    Check(written.ValueExists(section, key));
    Check(written.ReadString(section, key) == stored);

    // Every entry read at first still reads the same, unless it names the written pair.
    TIniFile writtenPair;
    writtenPair.WriteString(section, key, "");
    for (const std::string &name : ini.ReadSections())
        for (const TIniEntry &entry : ini.ReadSectionEntries(name))
            Check(writtenPair.ValueExists(name, entry.Key) || written.ReadString(name, entry.Key) == entry.Value);
    return 0;
}
