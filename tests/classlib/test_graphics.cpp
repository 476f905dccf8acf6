// Standard identifiers of colours, cursors and character sets, and colour values on screen.
#include "classlib/graphics.h"

#include <gtest/gtest.h>

namespace {

TEST(GraphicsIdents, ColoursBothWays)
{
    EXPECT_EQ(ColorToIdent(clWindow), QStringLiteral("clWindow"));
    EXPECT_EQ(ColorToIdent(clInfoBk), QStringLiteral("clInfoBk"));
    EXPECT_EQ(static_cast<quint32>(clInfoBk), 0x80000018u);
    EXPECT_EQ(ColorToIdent(clNone), QStringLiteral("clNone"));
    EXPECT_EQ(ColorToIdent(clFuchsia), QStringLiteral("clFuchsia"));
    EXPECT_FALSE(ColorToIdent(static_cast<TColor>(0x010203)).has_value());
    EXPECT_EQ(IdentToColor("clnavy"), clNavy);
    EXPECT_EQ(IdentToColor("cl3DDkShadow"), cl3DDkShadow);
    EXPECT_FALSE(IdentToColor("clPlaid").has_value());
    // Every identifier reads back as the value it was written for.
    for (quint32 v = 0x80000000u; v <= 0x80000018u; ++v) {
        const auto color = static_cast<TColor>(static_cast<qint32>(v));
        const auto ident = ColorToIdent(color);
        ASSERT_TRUE(ident.has_value()) << std::hex << v;
        EXPECT_EQ(IdentToColor(*ident), color);
    }
}

TEST(GraphicsIdents, CursorsAndTheSizeAlias)
{
    EXPECT_EQ(CursorToIdent(crIBeam), QStringLiteral("crIBeam"));
    EXPECT_EQ(CursorToIdent(crSizeAll), QStringLiteral("crSizeAll"));
    EXPECT_EQ(IdentToCursor("crSize"), crSizeAll);
    EXPECT_EQ(IdentToCursor("crSQLWait"), crSQLWait);
    // The editor's own cursors have no identifier.
    EXPECT_FALSE(CursorToIdent(static_cast<TCursor>(1)).has_value());
    EXPECT_FALSE(CursorToIdent(static_cast<TCursor>(-5)).has_value());
}

TEST(GraphicsIdents, Charsets)
{
    EXPECT_EQ(CharsetToIdent(SHIFTJIS_CHARSET), QStringLiteral("SHIFTJIS_CHARSET"));
    EXPECT_EQ(IdentToCharset("OEM_CHARSET"), OEM_CHARSET);
    EXPECT_FALSE(CharsetToIdent(static_cast<TFontCharset>(3)).has_value());
}

TEST(GraphicsColours, ScreenColours)
{
    EXPECT_EQ(ColorToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ColorToQColor(static_cast<TColor>(0x563412)), QColor(0x12, 0x34, 0x56));
    EXPECT_FALSE(ColorToQColor(clNone).isValid());
    EXPECT_TRUE(ColorToQColor(clWindow).isValid());
    EXPECT_EQ(QColorToColor(QColor(0x12, 0x34, 0x56)), static_cast<TColor>(0x563412));
    EXPECT_EQ(RGBToColor(0, 0, 128), clNavy);
}

} // namespace
