// Loading a whole text into the row store: the text is read into one block and the rows point
// into it, so that a large file costs its own size plus one item per row.
#include "editor/screen_strings.h"

#include "classlib/errors.h"

#include <QFile>

#include <climits>
#include <cstring>

namespace {

// How the line breaks of a text look, decided by a first fast pass.
enum class TBreakStyle { None, Lf, CrLf, Mixed };

struct TBreakCount {
    std::size_t Breaks = 0;
    TBreakStyle Style = TBreakStyle::None;
};

std::size_t CountByte(const char *p, std::size_t size, char c)
{
    std::size_t n = 0;
    const char *end = p + size;
    while (p < end) {
        const void *hit = std::memchr(p, c, static_cast<std::size_t>(end - p));
        if (!hit)
            break;
        ++n;
        p = static_cast<const char *>(hit) + 1;
    }
    return n;
}

TBreakCount CountBreaks(const char *text, std::size_t size)
{
    const std::size_t lf = CountByte(text, size, '\n');
    const std::size_t cr = CountByte(text, size, '\r');
    if (cr == 0)
        return {lf, lf ? TBreakStyle::Lf : TBreakStyle::None};
    std::size_t pairs = 0;
    const char *end = text + size;
    for (const char *p = text; p < end;) {
        const void *hit = std::memchr(p, '\r', static_cast<std::size_t>(end - p));
        if (!hit)
            break;
        p = static_cast<const char *>(hit) + 1;
        if (p < end && *p == '\n')
            ++pairs;
    }
    // A CR LF counts once; lone CRs and LFs count one each.
    const std::size_t breaks = lf + cr - pairs;
    return {breaks, pairs == cr && pairs == lf ? TBreakStyle::CrLf : TBreakStyle::Mixed};
}

} // namespace

void TEditorScreenStrings::FillRowsFromBlock(const char *text, std::size_t size)
{
    if (size > static_cast<std::size_t>(INT_MAX))
        throw EReadError("テキストが大きすぎます");
    const TBreakCount count = CountBreaks(text, size);
    const char *end = text + size;
    const bool endsWithBreak = size > 0 && (end[-1] == '\n' || end[-1] == '\r');
    const std::size_t rows = count.Breaks + (size > 0 && !endsWithBreak ? 1 : 0);
    if (rows > static_cast<std::size_t>(INT_MAX / 2))
        throw EReadError("テキストの行が多すぎます");

    SetCapacity(static_cast<int>(rows));
    InsertRows(0, static_cast<int>(rows));
    int row = 0;
    const char *p = text;
    auto put = [&](const char *from, const char *to) {
        PutSlice(row++, from, static_cast<std::uint32_t>(to - from));
    };
    if (count.Style == TBreakStyle::Lf || count.Style == TBreakStyle::CrLf) {
        const bool crlf = count.Style == TBreakStyle::CrLf;
        while (p < end) {
            const char *lf = static_cast<const char *>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            if (!lf)
                break;
            put(p, crlf ? lf - 1 : lf);
            p = lf + 1;
        }
    } else if (count.Style == TBreakStyle::Mixed) {
        const char *start = p;
        while (p < end) {
            const char c = *p;
            if (c != '\r' && c != '\n') {
                ++p;
                continue;
            }
            put(start, p);
            p += (c == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
            start = p;
        }
        p = start;
    }
    if (p < end)
        put(p, end);
    if (rows > 0 && !endsWithBreak)
        SetRowAttribute(static_cast<int>(rows) - 1, raEof);
    if (FWordWrap)
        RewrapAll();
    ReparseAll();
    FExtent.WholeText = true;
}

void TEditorScreenStrings::LoadFromFile(const QString &fileName)
{
    TUpdateScope scope(*this);
    Clear();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError::CannotOpen(fileName, file.errorString());

    std::size_t size = 0;
    char *block = nullptr;
    if (file.isSequential() || file.size() == 0) {
        // Devices and pipes have no size: read what they give.
        const QByteArray data = file.readAll();
        size = static_cast<std::size_t>(data.size());
        block = NewTextBlock(size);
        std::memcpy(block, data.constData(), size);
    } else {
        size = static_cast<std::size_t>(file.size());
        block = NewTextBlock(size);
        std::size_t done = 0;
        while (done < size) {
            const qint64 n = file.read(block + done, static_cast<qint64>(size - done));
            if (n < 0)
                throw EReadError(file.errorString().toStdString());
            if (n == 0)
                break;  // the file shrank while being read
            done += static_cast<std::size_t>(n);
        }
        size = done;
    }
    // The end-of-file character ends the text.
    if (const void *eof = std::memchr(block, 0x1A, size))
        size = static_cast<std::size_t>(static_cast<const char *>(eof) - block);
    FillRowsFromBlock(block, size);
}
