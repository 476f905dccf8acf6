// The component stream: exact bytes of a known component, round trips through the binary and
// text forms for every value kind, and what reading does with streams it cannot accept.
#include "sample_objects.h"

#include "classlib/component_stream.h"
#include "classlib/cp932.h"
#include "classlib/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace {

std::string Bytes(std::initializer_list<int> bytes)
{
    std::string out;
    for (int b : bytes)
        out += static_cast<char>(b);
    return out;
}

std::string Short(const std::string &s)
{
    return static_cast<char>(s.size()) + s;
}

// A sample with every property away from its initial value.
void Fill(TSample &sample)
{
    sample.setObjectName("sample1");
    sample.SetTag(-70000);
    sample.WordWrap = true;
    sample.Count = 1000;
    sample.Big = 0x123456789ALL;
    sample.Ratio = 0.1;
    sample.Scale = 2.75f;
    sample.Caption = QStringLiteral("日本語のキャプション 'quoted'\r\n");
    sample.Data = QByteArray::fromHex("00FF7F8081");
    sample.Stamp = QDateTime(QDate(2026, 12, 7), QTime(8, 30, 15));
    sample.Color = static_cast<TColor>(0x123456);
    sample.Cursor = crSize;
    sample.Charset = SHIFTJIS_CHARSET;
    sample.ScrollBars = TSample::ssBoth;
    sample.Options = TSample::soAutoIndent | TSample::soTabs;
    sample.Words = {QStringLiteral("one"), QStringLiteral("二"), QStringLiteral("é")};
    sample.Font()->SetName(QStringLiteral("ＭＳ ゴシック"));
    sample.Font()->SetHeight(-16);
    sample.Font()->SetStyle(fsBold | fsStrikeOut);
    sample.Font()->SetPitch(fpFixed);
    sample.Settings()->SetWidth(12);
    sample.Settings()->SetVisible(true);
    sample.Settings()->Colors()->SetColor(clNavy);
    sample.Settings()->Colors()->SetStyle(fsItalic);
    sample.Lines()->Add(cp932::FromUnicode(QStringLiteral("行 1")));
    sample.Lines()->Add(std::string(300, 'x'));  // a long string
    sample.Lines()->Add("");
    for (const char *pair : {"()", "[]"}) {
        auto *item = static_cast<TSampleItem *>(sample.Brackets()->Add());
        item->SetLeftBracket(QString(QLatin1Char(pair[0])));
        item->SetRightBracket(QString(QLatin1Char(pair[1])));
        item->ItemColor()->SetColor(clRed);
    }
}

void ExpectSame(const TSample &a, const TSample &b)
{
    EXPECT_EQ(a.Tag(), b.Tag());
    EXPECT_EQ(a.WordWrap, b.WordWrap);
    EXPECT_EQ(a.Count, b.Count);
    EXPECT_EQ(a.Big, b.Big);
    EXPECT_EQ(a.Ratio, b.Ratio);
    EXPECT_EQ(a.Scale, b.Scale);
    EXPECT_EQ(a.Caption, b.Caption);
    EXPECT_EQ(a.Data, b.Data);
    EXPECT_EQ(a.Stamp, b.Stamp);
    EXPECT_EQ(a.Color, b.Color);
    EXPECT_EQ(a.Cursor, b.Cursor);
    EXPECT_EQ(a.Charset, b.Charset);
    EXPECT_EQ(a.ScrollBars, b.ScrollBars);
    EXPECT_EQ(a.Options, b.Options);
    EXPECT_EQ(a.Words, b.Words);
    EXPECT_EQ(a.Font()->Name(), b.Font()->Name());
    EXPECT_EQ(a.Font()->Height(), b.Font()->Height());
    EXPECT_EQ(a.Font()->Style(), b.Font()->Style());
    EXPECT_EQ(a.Font()->Pitch(), b.Font()->Pitch());
    EXPECT_EQ(a.Settings()->Width(), b.Settings()->Width());
    EXPECT_EQ(a.Settings()->Visible(), b.Settings()->Visible());
    EXPECT_EQ(a.Settings()->Colors()->Color(), b.Settings()->Colors()->Color());
    EXPECT_EQ(a.Settings()->Colors()->Style(), b.Settings()->Colors()->Style());
    EXPECT_EQ(a.Lines()->ToVector(), b.Lines()->ToVector());
    ASSERT_EQ(a.Brackets()->Count(), b.Brackets()->Count());
    for (int i = 0; i < a.Brackets()->Count(); ++i) {
        EXPECT_EQ(a.Brackets()->Item(i)->LeftBracket(), b.Brackets()->Item(i)->LeftBracket());
        EXPECT_EQ(a.Brackets()->Item(i)->RightBracket(), b.Brackets()->Item(i)->RightBracket());
        EXPECT_EQ(a.Brackets()->Item(i)->ItemColor()->Color(),
                  b.Brackets()->Item(i)->ItemColor()->Color());
    }
}

// ---------------------------------------------------------------- exact bytes

TEST(ComponentStreamBinary, KnownComponentGivesExactBytes)
{
    TTiny tiny;
    tiny.setObjectName("tiny");
    tiny.SetTag(300);
    tiny.Width = -5;
    tiny.Color = clWindow;
    tiny.Cursor = static_cast<TCursor>(1);  // no identifier: an integer
    tiny.WordWrap = true;
    tiny.Caption = QStringLiteral("日本");
    tiny.Items()->Add("a");
    tiny.Items()->Add("b");
    tiny.Font()->Size = 70000;
    tiny.ScrollBars = TTiny::ssNone;  // the declared default: not written

    const std::string expected =
        "TPF0" + Short("TTiny") + Short("tiny") +
        Short("Tag") + Bytes({3, 0x2C, 0x01}) +
        Short("Width") + Bytes({2, 0xFB}) +
        Short("Color") + Bytes({7}) + Short("clWindow") +
        Short("Cursor") + Bytes({2, 1}) +
        Short("WordWrap") + Bytes({9}) +
        Short("Caption") + Bytes({6, 4, 0x93, 0xFA, 0x96, 0x7B}) +
        Short("Items.Strings") + Bytes({1, 6, 1, 'a', 6, 1, 'b', 0}) +
        Short("Font.Size") + Bytes({4, 0x70, 0x11, 0x01, 0x00}) +
        Bytes({0, 0});
    EXPECT_EQ(WriteComponentBinary(tiny), expected);
}

TEST(ComponentStreamBinary, DefaultsAndEmptyListsAreLeftOut)
{
    TTiny tiny;
    // Tag 0 and ScrollBars ssNone are declared defaults; Items is empty; the others have no
    // declared default and are always written.
    const std::string expected = "TPF0" + Short("TTiny") + Short("") +
                                 Short("Width") + Bytes({2, 0}) +
                                 Short("Color") + Bytes({7}) + Short("clNone") +
                                 Short("Cursor") + Bytes({7}) + Short("crDefault") +
                                 Short("WordWrap") + Bytes({8}) +
                                 Short("Caption") + Bytes({6, 0}) +
                                 Short("Font.Size") + Bytes({2, 0}) + Bytes({0, 0});
    EXPECT_EQ(WriteComponentBinary(tiny), expected);

    tiny.ScrollBars = TTiny::ssVertical;
    EXPECT_NE(WriteComponentBinary(tiny).find(Short("ScrollBars") + Bytes({7}) +
                                              Short("ssVertical")),
              std::string::npos);
}

TEST(ComponentStreamBinary, IntegersUseTheSmallestType)
{
    struct Case {
        qint64 value;
        std::string bytes;
    };
    const Case cases[] = {
        {127, Bytes({2, 0x7F})},
        {-128, Bytes({2, 0x80})},
        {128, Bytes({3, 0x80, 0x00})},
        {-32768, Bytes({3, 0x00, 0x80})},
        {32768, Bytes({4, 0x00, 0x80, 0x00, 0x00})},
        {-2147483648LL, Bytes({4, 0x00, 0x00, 0x00, 0x80})},
        {2147483648LL, Bytes({19, 0x00, 0x00, 0x00, 0x80, 0, 0, 0, 0})},
    };
    for (const Case &c : cases) {
        TSample sample;
        sample.Big = c.value;
        const std::string stream = WriteComponentBinary(sample);
        EXPECT_NE(stream.find(Short("Big") + c.bytes), std::string::npos) << c.value;
    }
}

TEST(ComponentStreamBinary, LongAndWideStrings)
{
    TSample sample;
    sample.Caption = QString(256, QLatin1Char('x'));
    std::string stream = WriteComponentBinary(sample);
    EXPECT_NE(stream.find(Short("Caption") + Bytes({12, 0x00, 0x01, 0, 0}) + std::string(256, 'x')),
              std::string::npos);

    // Text code page 932 cannot hold is kept whole as a wide string.
    sample.Caption = QStringLiteral("café");
    stream = WriteComponentBinary(sample);
    EXPECT_NE(stream.find(Short("Caption") + Bytes({18, 4, 0, 0, 0, 'c', 0, 'a', 0, 'f', 0, 0xE9, 0})),
              std::string::npos);
    TSample copy;
    ReadComponentBinary(stream, copy);
    EXPECT_EQ(copy.Caption, QStringLiteral("café"));
}

// ---------------------------------------------------------------- round trips

TEST(ComponentStreamRoundTrip, ObjectBinaryTextBinaryObject)
{
    TSample original;
    Fill(original);
    const std::string binary = WriteComponentBinary(original);
    const std::string text = ObjectBinaryToText(binary);
    const std::string again = ObjectTextToBinary(text);
    EXPECT_EQ(again, binary) << text;

    TSample copy;
    copy.setObjectName("sample1");  // the stream's name is not applied to the root
    ReadComponentBinary(again, copy);
    ExpectSame(original, copy);
    EXPECT_EQ(WriteComponentBinary(copy), binary);
}

TEST(ComponentStreamRoundTrip, TextFormLayout)
{
    TTiny tiny;
    tiny.setObjectName("tiny");
    tiny.Caption = QStringLiteral("it's\ttab");
    tiny.Items()->Add("a");
    tiny.Items()->Add("b");
    const std::string text = ObjectBinaryToText(WriteComponentBinary(tiny));
    EXPECT_EQ(text,
              "object tiny: TTiny\r\n"
              "  Width = 0\r\n"
              "  Color = clNone\r\n"
              "  Cursor = crDefault\r\n"
              "  WordWrap = False\r\n"
              "  Caption = 'it''s'#9'tab'\r\n"
              "  Items.Strings = (\r\n"
              "    'a'\r\n"
              "    'b')\r\n"
              "  Font.Size = 0\r\n"
              "end\r\n");
}

TEST(ComponentStreamRoundTrip, CollectionTextForm)
{
    TSample sample;
    auto *item = static_cast<TSampleItem *>(sample.Brackets()->Add());
    item->SetLeftBracket("(");
    const std::string text = ObjectBinaryToText(WriteComponentBinary(sample));
    EXPECT_NE(text.find("  Brackets = <\r\n"
                        "    item\r\n"
                        "      ItemColor.BkColor = clNone\r\n"
                        "      ItemColor.Color = clNone\r\n"
                        "      ItemColor.Style = []\r\n"
                        "      LeftBracket = '('\r\n"
                        "      RightBracket = ''\r\n"
                        "    end>\r\n"),
              std::string::npos)
        << text;
}

TEST(ComponentStreamRoundTrip, HandWrittenTextForEveryValueKind)
{
    const std::string text =
        "object TSample\n"
        "  Count = $10\n"
        "  Big = -9223372036854775808\n"
        "  Ratio = 12.5c\n"  // currency into a float property
        "  Scale = 1.5s\n"
        "  Caption = 'ab' +\n"
        "    'c'#13#10'd'\n"
        "  Data = {\n"
        "    0A0b\n"
        "    ff}\n"
        "  Stamp = 2.25d\n"
        "  Color = $80000005\n"
        "  Cursor = crSize\n"
        "  Charset = SHIFTJIS_CHARSET\n"
        "  ScrollBars = SSVERTICAL\n"
        "  Options = [soOverwrite, soTabs]\n"
        "  Words = ('x' #$3042)\n"
        "  WordWrap = True\n"
        "  Font.Style = [fsUnderline]\n"
        "  Lines.Strings = (\n"
        "    'one'\n"
        "    'two')\n"
        "end\n";
    TSample sample;
    ReadComponentBinary(ObjectTextToBinary(text), sample);
    EXPECT_EQ(sample.Count, 16);
    EXPECT_EQ(sample.Big, std::numeric_limits<qint64>::min());
    EXPECT_DOUBLE_EQ(sample.Ratio, 12.5);
    EXPECT_EQ(sample.Scale, 1.5f);
    EXPECT_EQ(sample.Caption, QStringLiteral("abc\r\nd"));
    EXPECT_EQ(sample.Data, QByteArray::fromHex("0A0BFF"));
    EXPECT_EQ(sample.Stamp, QDateTime(QDate(1900, 1, 1), QTime(6, 0)));
    EXPECT_EQ(sample.Color, clWindow);
    EXPECT_EQ(sample.Cursor, crSizeAll);
    EXPECT_EQ(sample.Charset, SHIFTJIS_CHARSET);
    EXPECT_EQ(sample.ScrollBars, TSample::ssVertical);
    EXPECT_EQ(sample.Options, TSample::soOverwrite | TSample::soTabs);
    EXPECT_EQ(sample.Words, QStringList({QStringLiteral("x"), QStringLiteral("あ")}));
    EXPECT_TRUE(sample.WordWrap);
    EXPECT_EQ(sample.Font()->Style(), TFontStyles(fsUnderline));
    EXPECT_EQ(sample.Lines()->ToVector(), (std::vector<std::string>{"one", "two"}));
}

TEST(ComponentStreamRoundTrip, ExtendedKeepsItsPrecision)
{
    // A value a double cannot hold: the text form must not round it.
    const std::string text = "object TSample\n  Ratio = 0.1000000000000000000013\nend\n";
    const std::string binary = ObjectTextToBinary(text);
    EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(binary)), binary);
}

TEST(ComponentStreamRoundTrip, NamedChildComponents)
{
    TSample parent;
    parent.setObjectName("parent");
    auto *child = new TTiny(&parent);
    child->setObjectName("child");
    child->Width = 77;
    const std::string binary = WriteComponentBinary(parent);
    const std::string text = ObjectBinaryToText(binary);
    EXPECT_NE(text.find("  object child: TTiny\r\n    Width = 77\r\n"), std::string::npos) << text;
    EXPECT_EQ(ObjectTextToBinary(text), binary);

    TSample other;
    auto *otherChild = new TTiny(&other);
    otherChild->setObjectName("child");
    ReadComponentBinary(binary, other);
    EXPECT_EQ(otherChild->Width, 77);

    TSample orphan;  // no such child
    EXPECT_THROW(ReadComponentBinary(binary, orphan), EReadError);
}

TEST(ComponentStreamRoundTrip, ReadingReplacesListsAndCollections)
{
    TSample source;
    source.Lines()->Add("new");
    source.Brackets()->Add();
    const std::string binary = WriteComponentBinary(source);

    TSample target;
    target.Lines()->Add("old1");
    target.Lines()->Add("old2");
    target.Brackets()->Add();
    target.Brackets()->Add();
    target.Brackets()->Add();
    ReadComponentBinary(binary, target);
    EXPECT_EQ(target.Lines()->ToVector(), std::vector<std::string>{"new"});
    EXPECT_EQ(target.Brackets()->Count(), 1);
}

} // namespace

namespace {

// ---------------------------------------------------------------- every value type

TEST(ComponentStreamConversion, EveryValueTypeThroughTheTextForm)
{
    // One property per value type 0-19, written by hand.
    const std::string binary =
        "TPF0" + Short("TAny") + Short("any") +
        Short("Null") + Bytes({0}) +
        Short("List") + Bytes({1, 2, 1, 1, 2, 2, 0, 0}) +             // ( 1 (2) )
        Short("I8") + Bytes({2, 0x9C}) +                              // -100
        Short("I16") + Bytes({3, 0x10, 0x27}) +                       // 10000
        Short("I32") + Bytes({4, 0xA0, 0x86, 0x01, 0x00}) +           // 100000
        Short("Ext") + Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}) +  // 1.5
        Short("Str") + Bytes({6, 3, 'a', '\'', 0x0D}) +
        Short("Ident") + Bytes({7}) + Short("clRed") +
        Short("F") + Bytes({8}) +
        Short("T") + Bytes({9}) +
        Short("Bin") + Bytes({10, 3, 0, 0, 0, 0x00, 0xAB, 0xFF}) +
        Short("Set") + Bytes({11}) + Short("fsBold") + Short("fsItalic") + Bytes({0}) +
        Short("LStr") + Bytes({12, 0, 1, 0, 0}) + std::string(256, 'L') +
        Short("Nil") + Bytes({13}) +
        Short("Coll") + Bytes({14, 2, 3, 1}) + Short("A") + Bytes({2, 1, 0}) + Bytes({1, 0, 0}) +
        Short("Single") + Bytes({15, 0x00, 0x00, 0xC0, 0x3F}) +       // 1.5
        Short("Curr") + Bytes({16, 0x98, 0x3A, 0, 0, 0, 0, 0, 0}) +   // 1.5
        Short("Date") + Bytes({17, 0, 0, 0, 0, 0, 0, 0x02, 0x40}) +   // 2.25
        Short("Wide") + Bytes({18, 2, 0, 0, 0, 0x42, 0x30, 'x', 0}) + // "あx"
        Short("I64") + Bytes({19, 0, 0, 0, 0, 1, 0, 0, 0}) +          // 2^32
        Bytes({0, 0});
    const std::string text = ObjectBinaryToText(binary);
    EXPECT_EQ(text,
              "object any: TAny\r\n"
              "  Null = Null\r\n"
              "  List = (\r\n"
              "    1\r\n"
              "    (\r\n"
              "      2))\r\n"
              "  I8 = -100\r\n"
              "  I16 = 10000\r\n"
              "  I32 = 100000\r\n"
              "  Ext = 1.5\r\n"
              "  Str = 'a'''#13\r\n"
              "  Ident = clRed\r\n"
              "  F = False\r\n"
              "  T = True\r\n"
              "  Bin = {\r\n"
              "    00ABFF}\r\n"
              "  Set = [fsBold, fsItalic]\r\n"
              "  LStr = '" + std::string(256, 'L') + "'\r\n"
              "  Nil = nil\r\n"
              "  Coll = <\r\n"
              "    item [3]\r\n"
              "      A = 1\r\n"
              "    end\r\n"
              "    item\r\n"
              "    end>\r\n"
              "  Single = 1.5s\r\n"
              "  Curr = 1.5000c\r\n"
              "  Date = 2.25d\r\n"
              "  Wide = #12354'x'\r\n"
              "  I64 = 4294967296\r\n"
              "end\r\n");
    EXPECT_EQ(ObjectTextToBinary(text), binary);
}

} // namespace

namespace {

TEST(ComponentStreamConversion, CurrencyIsCountedExactly)
{
    struct Case {
        const char *literal;
        std::string units;  // the 8 data bytes of the currency value
    };
    const Case cases[] = {
        // The largest amount: a float would round it.
        {"922337203685477.5807c", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F})},
        {"-1.5c", Bytes({0x68, 0xC5, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"1.23456c", Bytes({0x3A, 0x30, 0, 0, 0, 0, 0, 0})},  // 12346: the fifth decimal rounds
        {"7c", Bytes({0x70, 0x11, 0x01, 0, 0, 0, 0, 0})},
    };
    for (const Case &c : cases) {
        const std::string binary =
            ObjectTextToBinary(std::string("object T\n  C = ") + c.literal + "\nend\n");
        EXPECT_EQ(binary, "TPF0" + Short("T") + Short("") + Short("C") + Bytes({16}) + c.units +
                              Bytes({0, 0}))
            << c.literal;
        EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(binary)), binary) << c.literal;
    }
    EXPECT_THROW(ObjectTextToBinary("object T\n  C = 922337203685477.5808c\nend\n"), EParserError);
}

} // namespace

namespace {

TEST(ComponentStreamRead, LenientForms)
{
    // Booleans and colours as identifiers or integers, names in any case.
    TTiny tiny;
    const std::string stream = "TPF0" + Short("TTiny") + Short("x") +
                               Short("wordwrap") + Bytes({7}) + Short("true") +
                               Short("COLOR") + Bytes({4, 0x05, 0, 0, 0x80}) +
                               Short("Cursor") + Bytes({7}) + Short("CRIBEAM") +
                               Short("scrollbars") + Bytes({2, 3}) + Bytes({0, 0});
    ReadComponentBinary(stream, tiny);
    EXPECT_TRUE(tiny.WordWrap);
    EXPECT_EQ(tiny.Color, clWindow);
    EXPECT_EQ(tiny.Cursor, crIBeam);
    EXPECT_EQ(tiny.ScrollBars, TTiny::ssBoth);
}

} // namespace

namespace {

// Random values of every property kind, including text code page 932 cannot hold, arbitrary
// bytes in list items (control characters, lone lead bytes) and extreme numbers.
TEST(ComponentStreamRoundTrip, RandomValuesSurviveBothForms)
{
    std::mt19937_64 random(20261207);
    const auto bits = [&](int count) { return random() & ((count == 64) ? ~0ULL : ((1ULL << count) - 1)); };
    const QString alphabet = QStringLiteral("aZ09 '#+\t\r\n日本語ｱé€\u00A0\u301C");
    const auto randomText = [&](int maxLength) {
        QString text;
        for (int i = static_cast<int>(random() % static_cast<unsigned>(maxLength + 1)); i > 0; --i)
            text += alphabet[static_cast<int>(random() % static_cast<unsigned>(alphabet.size()))];
        return text;
    };
    const auto randomBytes = [&](int maxLength) {
        std::string bytes;
        for (int i = static_cast<int>(random() % static_cast<unsigned>(maxLength + 1)); i > 0; --i)
            bytes += static_cast<char>(random() & 0xFF);
        return bytes;
    };
    for (int round = 0; round < 200; ++round) {
        TSample sample;
        sample.Count = static_cast<int>(bits(32));
        sample.Big = static_cast<qint64>(bits(64));
        double ratio;
        do {
            const std::uint64_t pattern = bits(64);
            std::memcpy(&ratio, &pattern, sizeof ratio);
        } while (!std::isfinite(ratio));
        sample.Ratio = ratio;
        float scale;
        do {
            const auto pattern = static_cast<std::uint32_t>(bits(32));
            std::memcpy(&scale, &pattern, sizeof scale);
        } while (!std::isfinite(scale));
        sample.Scale = scale;
        sample.Caption = randomText(round % 3 == 0 ? 300 : 20);
        sample.Data = QByteArray::fromStdString(randomBytes(40));
        sample.Color = static_cast<TColor>(static_cast<qint32>(bits(32)));
        sample.Cursor = static_cast<TCursor>(static_cast<int>(random() % 30) - 25);
        sample.Options = TSample::TSampleOptions(static_cast<int>(bits(3)));
        sample.Words = {randomText(5), randomText(5)};
        for (int i = static_cast<int>(random() % 4); i > 0; --i)
            sample.Lines()->Add(randomBytes(round % 5 == 0 ? 300 : 12));
        for (int i = static_cast<int>(random() % 3); i > 0; --i)
            static_cast<TSampleItem *>(sample.Brackets()->Add())->SetLeftBracket(randomText(3));

        const std::string binary = WriteComponentBinary(sample);
        const std::string text = ObjectBinaryToText(binary);
        ASSERT_EQ(ObjectTextToBinary(text), binary) << text;
        TSample copy;
        ReadComponentBinary(binary, copy);
        ExpectSame(sample, copy);
        if (HasFailure())
            break;
    }
}

} // namespace
