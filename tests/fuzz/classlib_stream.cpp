// Random bytes into the component stream readers: the binary reader (into an object with every
// kind of property, and into text), and the text parser. None may crash or read outside its
// input; whatever the parser accepts must survive a trip through the binary and text forms.
#include "tests/classlib/sample_objects.h"

#include "classlib/component_stream.h"
#include "classlib/errors.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void ReadBinary(const std::string &input)
{
    try {
        TSample sample;
        new TTiny(&sample);  // a child for child components to land in
        sample.children().back()->setObjectName("child");
        ReadComponentBinary(input, sample);
    } catch (const Exception &) {
    }
    try {
        ObjectBinaryToText(input);
    } catch (const Exception &) {
    }
}

void ReadText(const std::string &input)
{
    std::string binary;
    try {
        binary = ObjectTextToBinary(input);
    } catch (const Exception &) {
        return;
    }
    // Accepted text: its binary form must convert to text and back unchanged.
    const std::string text = ObjectBinaryToText(binary);
    if (ObjectTextToBinary(text) != binary)
        std::abort();
    ReadBinary(binary);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    ReadBinary(input);
    // Most random inputs fail at the signature; try them behind a valid one too.
    ReadBinary("TPF0" + input);
    ReadText(input);
    return 0;
}
