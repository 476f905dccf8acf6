// Font mapping and text output on the editor's cell grid (see editor_font.h).
#include "editor/editor_font.h"

#include "classlib/cp932.h"
#include "editor/attribute_string.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>

#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

namespace editor {

namespace {

const QString FixedFamily = QStringLiteral("IPAGothic");

// Names of the original desktop's fonts and the installed families that take their place.
const QHash<QString, QString> &FontNameMap()
{
    static const QHash<QString, QString> map = {
        {QStringLiteral("ＭＳ ゴシック"), FixedFamily},
        {QStringLiteral("MS Gothic"), FixedFamily},
        {QStringLiteral("FixedSys"), FixedFamily},
        {QStringLiteral("Terminal"), FixedFamily},
        {QStringLiteral("Courier"), FixedFamily},
        {QStringLiteral("Courier New"), FixedFamily},
        {QStringLiteral("Monospace"), FixedFamily},
        {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")},
        {QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic")},
        {QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho")},
        {QStringLiteral("MS Mincho"), QStringLiteral("IPAMincho")},
        {QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho")},
        {QStringLiteral("MS PMincho"), QStringLiteral("IPAPMincho")},
    };
    return map;
}

} // namespace

QString MappedFontFamily(const QString &name)
{
    for (auto it = FontNameMap().begin(); it != FontNameMap().end(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return QFontDatabase::hasFamily(name) ? name : FixedFamily;
}

QFont EditorQFont(const TFont &font)
{
    QFont q(MappedFontFamily(font.Name()));
    q.setPixelSize(std::max(6, std::abs(font.Height())));
    q.setBold(font.Style().testFlag(fsBold));
    q.setItalic(font.Style().testFlag(fsItalic));
    q.setUnderline(font.Style().testFlag(fsUnderline));
    q.setStrikeOut(font.Style().testFlag(fsStrikeOut));
    q.setStyleHint(QFont::TypeWriter);
    return q;
}

QChar CellChar(unsigned char lead, unsigned char trail)
{
    // One table of the single bytes and one per lead byte, each filled on first use.
    static std::once_flag singleOnce;
    static std::array<QChar, 256> single;
    static std::array<std::unique_ptr<std::array<QChar, 256>>, 256> doubles;
    static std::mutex doublesMutex;
    if (!cp932::IsLeadByte(lead)) {
        std::call_once(singleOnce, [] {
            for (int b = 0; b < 256; ++b) {
                const char c = static_cast<char>(b);
                const QString u = cp932::ToUnicode(std::string_view(&c, 1));
                single[static_cast<std::size_t>(b)] = u.size() == 1 ? u[0] : QChar(0xFFFD);
            }
        });
        return single[lead];
    }
    std::lock_guard lock(doublesMutex);
    auto &table = doubles[lead];
    if (!table) {
        table = std::make_unique<std::array<QChar, 256>>();
        for (int t = 0; t < 256; ++t) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(t)};
            const QString u = cp932::ToUnicode(std::string_view(pair, 2));
            (*table)[static_cast<std::size_t>(t)] = u.size() == 1 ? u[0] : QChar(0xFFFD);
        }
    }
    return (*table)[trail];
}

void TCellPainter::SetFont(const QFont &font, int extraCharWidth)
{
    FFont = font;
    FRawMade.fill(false);
    const QFontMetrics metrics(font);
    const QRawFont &raw = Raw({});
    // A cell is as wide as the font's half-width digit, rounded up, so full-width characters fit
    // two cells.
    double advance = metrics.horizontalAdvance(QLatin1Char('0'));
    if (raw.isValid()) {
        const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("0"));
        if (!glyphs.isEmpty())
            advance = raw.advancesForGlyphIndexes(glyphs).value(0).x();
    }
    FCharWidth = std::max(1, static_cast<int>(std::ceil(advance - 0.01))) + extraCharWidth;
    FAscent = metrics.ascent();
    FFontHeight = metrics.height() + std::max(0, metrics.leading());
}

QRawFont &TCellPainter::Raw(TFontStyles style)
{
    const std::size_t index = (style.testFlag(fsBold) ? 1 : 0) + (style.testFlag(fsItalic) ? 2 : 0);
    if (!FRawMade[index]) {
        QFont font = FFont;
        font.setBold(FFont.bold() || style.testFlag(fsBold));
        font.setItalic(FFont.italic() || style.testFlag(fsItalic));
        FRaw[index] = QRawFont::fromFont(font);
        FRawMade[index] = true;
    }
    return FRaw[index];
}

void TCellPainter::Draw(QPainter &painter, int x, int top, std::string_view text, TFontStyles style, const QColor &color)
{
    if (text.empty())
        return;
    const QRawFont &raw = Raw(style);
    const int baseline = top + FAscent;
    QString chars;
    chars.reserve(static_cast<qsizetype>(text.size()));
    std::vector<int> cells;
    std::vector<int> widths;
    int cell = 0;
    for (std::size_t i = 0; i < text.size();) {
        const int length = CharLengthAt(text, i);
        const auto lead = static_cast<unsigned char>(text[i]);
        const QChar ch = length == 2 ? CellChar(lead, static_cast<unsigned char>(text[i + 1]))
                         : lead < 0x20 ? QChar(' ')
                                       : CellChar(lead);
        chars += ch;
        cells.push_back(cell);
        widths.push_back(length);
        cell += length;
        i += static_cast<std::size_t>(length);
    }
    painter.setPen(color);
    const bool underline = FFont.underline() || style.testFlag(fsUnderline);
    const bool strikeOut = FFont.strikeOut() || style.testFlag(fsStrikeOut);
    if (raw.isValid()) {
        QList<quint32> glyphs = raw.glyphIndexesForString(chars);
        if (glyphs.size() == chars.size()) {
            const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
            QList<QPointF> positions;
            QList<quint32> drawn;
            positions.reserve(glyphs.size());
            for (qsizetype k = 0; k < glyphs.size(); ++k) {
                const double slack = widths[static_cast<std::size_t>(k)] * FCharWidth - advances[k].x();
                const double gx = x + cells[static_cast<std::size_t>(k)] * FCharWidth + std::max(0.0, slack / 2);
                if (glyphs[k] == 0 && chars[k] != QChar(' ')) {
                    // Not in the font: the desktop's fallback draws it.
                    QFont fallback = FFont;
                    fallback.setBold(style.testFlag(fsBold) || FFont.bold());
                    fallback.setItalic(style.testFlag(fsItalic) || FFont.italic());
                    painter.setFont(fallback);
                    painter.drawText(QPointF(x + cells[static_cast<std::size_t>(k)] * FCharWidth, baseline), QString(chars[k]));
                    continue;
                }
                drawn.push_back(glyphs[k]);
                positions.push_back(QPointF(gx, baseline));
            }
            QGlyphRun run;
            run.setRawFont(raw);
            run.setGlyphIndexes(drawn);
            run.setPositions(positions);
            painter.drawGlyphRun(QPointF(0, 0), run);
        }
    } else {
        painter.setFont(FFont);
        for (std::size_t k = 0; k < cells.size(); ++k)
            painter.drawText(QPointF(x + cells[k] * FCharWidth, baseline), QString(chars[static_cast<qsizetype>(k)]));
    }
    const int right = x + cell * FCharWidth;
    if (underline)
        painter.drawLine(x, baseline + 1, right - 1, baseline + 1);
    if (strikeOut) {
        const int middle = baseline - FAscent / 3;
        painter.drawLine(x, middle, right - 1, middle);
    }
}

} // namespace editor
