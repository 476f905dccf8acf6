// Fuzz target for the code page 932 unit on arbitrary bytes: stepping forward and back visits
// the same character boundaries, trail bytes are exactly the non-boundaries, columns and bytes
// convert back, conversion gives valid UTF-8 and its offsets map back.
#include "classlib/cp932.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    std::vector<std::size_t> forward;
    for (std::size_t i = 0; i < text.size(); i = cp932::NextCharPos(text, i)) forward.push_back(i);
    std::vector<std::size_t> back;
    for (std::size_t i = text.size(); i > 0;) {
        i = cp932::PrevCharPos(text, i);
        back.insert(back.begin(), i);
    }
    Check(back == forward);
    std::size_t next = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool boundary = next < forward.size() && forward[next] == i;
        if (boundary) ++next;
        Check(cp932::IsTrailByteAt(text, i) == !boundary);
        Check(cp932::ColumnToByte(text, cp932::ByteToColumn(text, cp932::CharStart(text, i))) ==
              cp932::CharStart(text, i));
    }

    const std::string utf8 = cp932::Cp932ToUtf8(text);
    Check(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toStdString() == utf8);
    for (std::size_t start : forward)
        Check(cp932::Utf8OffsetToCp932Offset(text, cp932::Cp932OffsetToUtf8Offset(text, start)) == start);
    // Unicode back to code page 932 and once more gives the same bytes (invalid ones became "?").
    const std::string once = cp932::FromUnicode(cp932::ToUnicode(text));
    Check(cp932::FromUnicode(cp932::ToUnicode(once)) == once);
    Check(cp932::UpperCase(text).size() == text.size());
    return 0;
}
