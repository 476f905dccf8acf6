// Fonts and text output of the editor. The settings name fonts as the original desktop knew them
// ("ＭＳ ゴシック", "FixedSys", ...); MappedFontFamily turns such a name into an installed family
// that holds Japanese. TCellPainter draws code page 932 text on the editor's grid of cells: every
// byte of a character takes one cell, so a double-byte character takes exactly two, whatever the
// font's own advances are.
#pragma once

#include "classlib/graphics.h"

#include <QFont>
#include <QRawFont>

#include <array>
#include <string_view>

class QPainter;

namespace editor {

// The installed family for a font name of the settings (the one place where names are mapped).
QString MappedFontFamily(const QString &name);
// The Qt font for the editor's font settings.
QFont EditorQFont(const TFont &font);
// The Unicode character shown for one code page 932 character (one byte, or lead and trail);
// bytes that are not valid code page 932 show U+FFFD.
QChar CellChar(unsigned char lead, unsigned char trail = 0);

class TCellPainter {
public:
    void SetFont(const QFont &font, int extraCharWidth);
    const QFont &Font() const { return FFont; }
    int CharWidth() const { return FCharWidth; }
    int FontHeight() const { return FFontHeight; }
    int Ascent() const { return FAscent; }
    // Draws text with its first byte in the cell at x; top is the row's top edge.
    void Draw(QPainter &painter, int x, int top, std::string_view text, TFontStyles style, const QColor &color);

private:
    QRawFont &Raw(TFontStyles style);
    QFont FFont;
    std::array<QRawFont, 4> FRaw;  // by bold and italic
    std::array<bool, 4> FRawMade{};
    int FCharWidth = 8;
    int FFontHeight = 16;
    int FAscent = 13;
};

} // namespace editor
