// Runs FindText on a random text, pattern, selection and options word and compares the answer
// with a slow direct reading of the search rules; checks that a hit lies inside the text and
// begins and ends on character boundaries.
//
// Input layout: 2 option bytes, a start byte, a length byte, a pattern-length byte, then the
// pattern, then the text.
#include "editor/find_text.h"
#include "tests/editor/find_text_reference.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsCharStart(std::string_view text, std::int64_t pos)
{
    std::int64_t i = 0;
    while (i < pos)
        i += editor::search::ReadChar(reinterpret_cast<const unsigned char *>(text.data()), text.size(),
                                      static_cast<std::size_t>(i), false).Size;
    return i == pos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 5)
        return 0;
    const unsigned options = (data[0] | data[1] << 8) & (soDown | soMatchCase | soWholeWord | soNoMatchZenkaku |
                                                         soIgnoreLineBreaks | soIgnoreBlanks);
    const std::int64_t start = static_cast<std::int8_t>(data[2]);
    const std::int64_t length = static_cast<std::int8_t>(data[3]);
    std::string_view rest(reinterpret_cast<const char *>(data + 5), size - 5);
    const std::size_t patternLength = std::min<std::size_t>(data[4] % 16, rest.size());
    const std::string_view pattern = rest.substr(0, patternLength);
    const std::string_view text = rest.substr(patternLength);

    TFindPosition actual{start, length};
    TFindPosition expected{start, length};
    const bool found = FindText(text, actual, pattern, options);
    Check(found == find_text_test::ReferenceFind(text, expected, pattern, options));
    Check(actual.Start == expected.Start && actual.Length == expected.Length);
    if (found) {
        Check(actual.Start >= 0 && actual.Length > 0);
        Check(actual.Start + actual.Length <= static_cast<std::int64_t>(text.size()));
        Check(IsCharStart(text, actual.Start) && IsCharStart(text, actual.Start + actual.Length));
    }
    return 0;
}
