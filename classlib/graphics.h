// Colours, cursors, font styles, character sets and the font settings object.
//
// TColor, TCursor and TFontCharset are distinct enumeration types, known to the meta-object
// system, so that the component stream can tell them from plain integers and write their standard
// identifiers ("clWindow", "crIBeam", "SHIFTJIS_CHARSET"); any other value of the type is legal
// and is written as an integer. TFontStyles is a Q_FLAG, written as a set of fsBold ... members.
#pragma once

#include "classlib/persistent.h"

#include <QColor>
#include <QFlags>
#include <QFont>
#include <QMetaType>
#include <QObject>
#include <QString>

#include <optional>

// 0x00BBGGRR, or 0x80000000 + a system colour index, or clNone.
enum TColor : qint32 {
    clBlack = 0x000000,
    clMaroon = 0x000080,
    clGreen = 0x008000,
    clOlive = 0x008080,
    clNavy = 0x800000,
    clPurple = 0x800080,
    clTeal = 0x808000,
    clGray = 0x808080,
    clSilver = 0xC0C0C0,
    clRed = 0x0000FF,
    clLime = 0x00FF00,
    clYellow = 0x00FFFF,
    clBlue = 0xFF0000,
    clFuchsia = 0xFF00FF,
    clAqua = 0xFFFF00,
    clWhite = 0xFFFFFF,

    clScrollBar = static_cast<qint32>(0x80000000u),
    clBackground = static_cast<qint32>(0x80000001u),
    clActiveCaption = static_cast<qint32>(0x80000002u),
    clInactiveCaption = static_cast<qint32>(0x80000003u),
    clMenu = static_cast<qint32>(0x80000004u),
    clWindow = static_cast<qint32>(0x80000005u),
    clWindowFrame = static_cast<qint32>(0x80000006u),
    clMenuText = static_cast<qint32>(0x80000007u),
    clWindowText = static_cast<qint32>(0x80000008u),
    clCaptionText = static_cast<qint32>(0x80000009u),
    clActiveBorder = static_cast<qint32>(0x8000000Au),
    clInactiveBorder = static_cast<qint32>(0x8000000Bu),
    clAppWorkSpace = static_cast<qint32>(0x8000000Cu),
    clHighlight = static_cast<qint32>(0x8000000Du),
    clHighlightText = static_cast<qint32>(0x8000000Eu),
    clBtnFace = static_cast<qint32>(0x8000000Fu),
    clBtnShadow = static_cast<qint32>(0x80000010u),
    clGrayText = static_cast<qint32>(0x80000011u),
    clBtnText = static_cast<qint32>(0x80000012u),
    clInactiveCaptionText = static_cast<qint32>(0x80000013u),
    clBtnHighlight = static_cast<qint32>(0x80000014u),
    cl3DDkShadow = static_cast<qint32>(0x80000015u),
    cl3DLight = static_cast<qint32>(0x80000016u),
    clInfoText = static_cast<qint32>(0x80000017u),
    clInfoBk = static_cast<qint32>(0x80000018u),

    // The colour is not set: the editor's own colour applies.
    clNone = 0x1FFFFFFF,
};

// The standard identifier of a colour ("clWindow"), or nullopt for a value without one.
std::optional<QString> ColorToIdent(TColor color);
// The colour of an identifier (compared case-insensitively), or nullopt.
std::optional<TColor> IdentToColor(const QString &ident);
// Builds a colour from red, green and blue.
constexpr TColor RGBToColor(int r, int g, int b)
{
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
// The screen colour of a colour: system colours resolve to the desktop's current palette;
// clNone gives an invalid QColor.
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor &color);

enum TCursor : qint32 {
    crDefault = 0,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHSplit = -14,
    crVSplit = -15,
    crMultiDrag = -16,
    crSQLWait = -17,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22,
    crSize = crSizeAll,  // read as crSizeAll; written as "crSizeAll"
};

std::optional<QString> CursorToIdent(TCursor cursor);
std::optional<TCursor> IdentToCursor(const QString &ident);  // "crSize" gives crSizeAll
// The Qt shape of a standard cursor (crDefault and unknown values give the arrow).
Qt::CursorShape CursorToShape(TCursor cursor);

enum TFontCharset : qint32 {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    MAC_CHARSET = 77,
    SHIFTJIS_CHARSET = 128,
    HANGEUL_CHARSET = 129,
    JOHAB_CHARSET = 130,
    GB2312_CHARSET = 134,
    CHINESEBIG5_CHARSET = 136,
    GREEK_CHARSET = 161,
    TURKISH_CHARSET = 162,
    HEBREW_CHARSET = 177,
    ARABIC_CHARSET = 178,
    BALTIC_CHARSET = 186,
    RUSSIAN_CHARSET = 204,
    THAI_CHARSET = 222,
    EASTEUROPE_CHARSET = 238,
    OEM_CHARSET = 255,
};

std::optional<QString> CharsetToIdent(TFontCharset charset);
std::optional<TFontCharset> IdentToCharset(const QString &ident);

Q_DECLARE_METATYPE(TColor)
Q_DECLARE_METATYPE(TCursor)
Q_DECLARE_METATYPE(TFontCharset)

// Font styles and pitch live in a meta-object namespace so that the stream knows their member
// names; they are brought to global scope below under their usual names.
namespace classlib {
Q_NAMESPACE

// Bits 0 to 3, so that a set's integer value matches its bits.
enum TFontStyle {
    fsBold = 0x1,
    fsItalic = 0x2,
    fsUnderline = 0x4,
    fsStrikeOut = 0x8,
};
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_FLAG_NS(TFontStyles)

enum TFontPitch { fpDefault, fpVariable, fpFixed };
Q_ENUM_NS(TFontPitch)

} // namespace classlib

Q_DECLARE_OPERATORS_FOR_FLAGS(classlib::TFontStyles)

using TFontStyle = classlib::TFontStyle;
using TFontStyles = classlib::TFontStyles;
using TFontPitch = classlib::TFontPitch;
using enum classlib::TFontStyle;
using enum classlib::TFontPitch;

// The font settings object. Height is the character height in pixels, negative as fonts are
// usually given (Size in points at 96 pixels per inch is the same value seen another way and is
// not stored separately). A change of any attribute calls OnChange once (deferred in an update
// scope).
class TFont : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(TFontCharset Charset READ Charset WRITE SetCharset)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(classlib::TFontPitch Pitch READ Pitch WRITE SetPitch)
    Q_PROPERTY(int Size READ Size WRITE SetSize STORED false)
    Q_PROPERTY(classlib::TFontStyles Style READ Style WRITE SetStyle)
public:
    explicit TFont(QObject *parent = nullptr);
    ~TFont() override;

    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset charset);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    int Height() const { return FHeight; }
    void SetHeight(int height);
    QString Name() const { return FName; }
    void SetName(const QString &name);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch pitch);
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles style);

    // The Qt font for painting (family, pixel size, styles; fixed pitch asks for a typewriter
    // face when the family is missing).
    QFont ToQFont() const;

    void BeginUpdate() override;
    void EndUpdate() override;

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    TFontCharset FCharset = DEFAULT_CHARSET;
    TColor FColor = clWindowText;
    int FHeight = -13;  // 10 points
    QString FName = QStringLiteral("Monospace");  // resolved by the desktop's font configuration
    TFontPitch FPitch = fpDefault;
    TFontStyles FStyle;
    int FUpdateCount = 0;
    bool FChanged = false;
};
