// Colours, cursors and character sets with their standard identifiers, and the font object.
#include "classlib/graphics.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <cmath>

namespace {

template <class Value>
struct IdentEntry {
    const char *ident;
    Value value;
};

const std::array<IdentEntry<TColor>, 42> kColors{{
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
    {"clNone", clNone},
}};

// crSize comes after crSizeAll so that the value's identifier is "crSizeAll".
const std::array<IdentEntry<TCursor>, 22> kCursors{{
    {"crDefault", crDefault},
    {"crArrow", crArrow},
    {"crCross", crCross},
    {"crIBeam", crIBeam},
    {"crSizeNESW", crSizeNESW},
    {"crSizeNS", crSizeNS},
    {"crSizeNWSE", crSizeNWSE},
    {"crSizeWE", crSizeWE},
    {"crUpArrow", crUpArrow},
    {"crHourGlass", crHourGlass},
    {"crDrag", crDrag},
    {"crNoDrop", crNoDrop},
    {"crHSplit", crHSplit},
    {"crVSplit", crVSplit},
    {"crMultiDrag", crMultiDrag},
    {"crSQLWait", crSQLWait},
    {"crNo", crNo},
    {"crAppStart", crAppStart},
    {"crHelp", crHelp},
    {"crHandPoint", crHandPoint},
    {"crSizeAll", crSizeAll},
    {"crSize", crSizeAll},
}};

const std::array<IdentEntry<TFontCharset>, 18> kCharsets{{
    {"ANSI_CHARSET", ANSI_CHARSET},
    {"DEFAULT_CHARSET", DEFAULT_CHARSET},
    {"SYMBOL_CHARSET", SYMBOL_CHARSET},
    {"MAC_CHARSET", MAC_CHARSET},
    {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET},
    {"HANGEUL_CHARSET", HANGEUL_CHARSET},
    {"JOHAB_CHARSET", JOHAB_CHARSET},
    {"GB2312_CHARSET", GB2312_CHARSET},
    {"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET},
    {"GREEK_CHARSET", GREEK_CHARSET},
    {"TURKISH_CHARSET", TURKISH_CHARSET},
    {"HEBREW_CHARSET", HEBREW_CHARSET},
    {"ARABIC_CHARSET", ARABIC_CHARSET},
    {"BALTIC_CHARSET", BALTIC_CHARSET},
    {"RUSSIAN_CHARSET", RUSSIAN_CHARSET},
    {"THAI_CHARSET", THAI_CHARSET},
    {"EASTEUROPE_CHARSET", EASTEUROPE_CHARSET},
    {"OEM_CHARSET", OEM_CHARSET},
}};

template <class Value, size_t N>
std::optional<QString> ValueToIdent(const std::array<IdentEntry<Value>, N> &table, Value value)
{
    for (const auto &entry : table) {
        if (entry.value == value)
            return QString::fromLatin1(entry.ident);
    }
    return std::nullopt;
}

template <class Value, size_t N>
std::optional<Value> IdentToValue(const std::array<IdentEntry<Value>, N> &table,
                                  const QString &ident)
{
    for (const auto &entry : table) {
        if (ident.compare(QLatin1String(entry.ident), Qt::CaseInsensitive) == 0)
            return entry.value;
    }
    return std::nullopt;
}

// The classic desktop colours, used when no application palette is available (tests, tools).
QColor FallbackSystemColor(int index)
{
    static const std::array<QRgb, 25> kDefaults{
        0xC8C8C8, 0x000000, 0x000080, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000,
        0x000000, 0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x000080,
        0xFFFFFF, 0xC0C0C0, 0x808080, 0x808080, 0x000000, 0xC0C0C0, 0xFFFFFF,
        0x404040, 0xE0E0E0, 0x000000, 0xFFFFE1};
    return QColor::fromRgb(kDefaults[static_cast<size_t>(index)]);
}

QColor SystemColor(int index)
{
    if (index < 0 || index > 24)
        return QColor(Qt::black);
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return FallbackSystemColor(index);
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 4: return palette.color(QPalette::Window);                     // clMenu
    case 5: return palette.color(QPalette::Base);                       // clWindow
    case 7: return palette.color(QPalette::WindowText);                 // clMenuText
    case 8: return palette.color(QPalette::Text);                       // clWindowText
    case 13: return palette.color(QPalette::Highlight);                 // clHighlight
    case 14: return palette.color(QPalette::HighlightedText);           // clHighlightText
    case 15: return palette.color(QPalette::Button);                    // clBtnFace
    case 16: return palette.color(QPalette::Dark);                      // clBtnShadow
    case 17: return palette.color(QPalette::Disabled, QPalette::Text);  // clGrayText
    case 18: return palette.color(QPalette::ButtonText);                // clBtnText
    case 20: return palette.color(QPalette::Light);                     // clBtnHighlight
    case 21: return palette.color(QPalette::Shadow);                    // cl3DDkShadow
    case 22: return palette.color(QPalette::Midlight);                  // cl3DLight
    case 23: return palette.color(QPalette::ToolTipText);               // clInfoText
    case 24: return palette.color(QPalette::ToolTipBase);               // clInfoBk
    default: return FallbackSystemColor(index);
    }
}

} // namespace

std::optional<QString> ColorToIdent(TColor color)
{
    return ValueToIdent(kColors, color);
}

std::optional<TColor> IdentToColor(const QString &ident)
{
    return IdentToValue(kColors, ident);
}

QColor ColorToQColor(TColor color)
{
    if (color == clNone)
        return QColor();
    const auto value = static_cast<quint32>(color);
    if ((value & 0xFF000000u) == 0x80000000u)
        return SystemColor(static_cast<int>(value & 0xFFu));
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

TColor QColorToColor(const QColor &color)
{
    if (!color.isValid())
        return clNone;
    return RGBToColor(color.red(), color.green(), color.blue());
}

std::optional<QString> CursorToIdent(TCursor cursor)
{
    return ValueToIdent(kCursors, cursor);
}

std::optional<TCursor> IdentToCursor(const QString &ident)
{
    return IdentToValue(kCursors, ident);
}

Qt::CursorShape CursorToShape(TCursor cursor)
{
    switch (cursor) {
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

std::optional<QString> CharsetToIdent(TFontCharset charset)
{
    return ValueToIdent(kCharsets, charset);
}

std::optional<TFontCharset> IdentToCharset(const QString &ident)
{
    return IdentToValue(kCharsets, ident);
}

// ---------------------------------------------------------------- TFont

TFont::TFont(QObject *parent) : TPersistent(parent) {}

TFont::~TFont() = default;

namespace {

// Assigns value to field and reports whether it changed.
template <class T>
bool Store(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

constexpr int kPixelsPerInch = 96;

} // namespace

void TFont::SetCharset(TFontCharset charset)
{
    if (Store(FCharset, charset))
        Changed();
}

void TFont::SetColor(TColor color)
{
    if (Store(FColor, color))
        Changed();
}

void TFont::SetHeight(int height)
{
    if (Store(FHeight, height))
        Changed();
}

void TFont::SetName(const QString &name)
{
    if (Store(FName, name))
        Changed();
}

void TFont::SetPitch(TFontPitch pitch)
{
    if (Store(FPitch, pitch))
        Changed();
}

int TFont::Size() const
{
    return static_cast<int>(std::lround(-FHeight * 72.0 / kPixelsPerInch));
}

void TFont::SetSize(int points)
{
    SetHeight(-static_cast<int>(std::lround(points * static_cast<double>(kPixelsPerInch) / 72.0)));
}

void TFont::SetStyle(TFontStyles style)
{
    if (Store(FStyle, style))
        Changed();
}

QFont TFont::ToQFont() const
{
    QFont font(FName);
    font.setPixelSize(std::max(1, std::abs(FHeight)));
    font.setBold(FStyle.testFlag(fsBold));
    font.setItalic(FStyle.testFlag(fsItalic));
    font.setUnderline(FStyle.testFlag(fsUnderline));
    font.setStrikeOut(FStyle.testFlag(fsStrikeOut));
    // "FixedSys" names the fixed-pitch system font of the settings files; any monospaced face
    // stands in for it.
    if (FPitch == fpFixed || FName.compare(QLatin1String("FixedSys"), Qt::CaseInsensitive) == 0) {
        font.setFamilies({FName, QStringLiteral("Monospace")});
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    }
    return font;
}

void TFont::BeginUpdate()
{
    ++FUpdateCount;
}

void TFont::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChanged) {
        FChanged = false;
        Changed();
    }
}

void TFont::Changed()
{
    if (FUpdateCount > 0) {
        FChanged = true;
        return;
    }
    if (OnChange)
        OnChange(this);
}
