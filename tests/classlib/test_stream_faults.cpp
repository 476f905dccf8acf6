// Streams the reader must refuse: truncated at any byte, corrupt lengths and type bytes,
// unknown properties and values of the wrong kind, and text the parser cannot read. Reading
// stops at the fault having applied exactly the properties before it.
#include "sample_objects.h"

#include "classlib/component_stream.h"
#include "classlib/errors.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Short(const std::string &s)
{
    return static_cast<char>(s.size()) + s;
}

std::string Header()
{
    return "TPF0" + Short("TTiny") + Short("tiny");
}

std::string IntProperty(const std::string &name, int value)
{
    return Short(name) + '\x02' + static_cast<char>(value);
}

TEST(StreamFaults, EveryTruncationIsAClearReadError)
{
    TSample sample;
    sample.Lines()->Add("line");
    sample.Brackets()->Add();
    sample.Caption = QStringLiteral("café");
    sample.Data = "xyz";
    const std::string binary = WriteComponentBinary(sample);
    for (std::size_t length = 0; length < binary.size(); ++length) {
        const std::string cut = binary.substr(0, length);
        TSample target;
        EXPECT_THROW(ReadComponentBinary(cut, target), EReadError) << length;
        EXPECT_THROW(ObjectBinaryToText(cut), EReadError) << length;
    }
}

TEST(StreamFaults, TruncatedValueAppliesOnlyWhatCameBefore)
{
    TTiny tiny;
    // Width complete, Caption cut inside its bytes, WordWrap never reached.
    const std::string stream = Header() + IntProperty("Width", 9) + Short("Caption") +
                               std::string("\x06\x05" "ab", 4);
    EXPECT_THROW(ReadComponentBinary(stream, tiny), EReadError);
    EXPECT_EQ(tiny.Width, 9);
    EXPECT_TRUE(tiny.Caption.isEmpty());
}

TEST(StreamFaults, TruncatedListLeavesTheListAlone)
{
    TTiny tiny;
    tiny.Items()->Add("kept");
    const std::string stream = Header() + Short("Items.Strings") + "\x01\x06\x01" "a" "\x06\x01" "b";
    EXPECT_THROW(ReadComponentBinary(stream, tiny), EReadError);
    EXPECT_EQ(tiny.Items()->ToVector(), std::vector<std::string>{"kept"});
}

TEST(StreamFaults, UnknownPropertyStopsTheRead)
{
    TTiny tiny;
    const std::string stream = Header() + IntProperty("Width", 3) + IntProperty("Nonsense", 1) +
                               IntProperty("Tag", 4) + std::string(2, '\0');
    try {
        ReadComponentBinary(stream, tiny);
        FAIL() << "no error";
    } catch (const EReadError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("プロパティ Nonsense が存在しません"));
    }
    EXPECT_EQ(tiny.Width, 3);
    EXPECT_EQ(tiny.Tag(), 0);
}

TEST(StreamFaults, ValueOfTheWrongKind)
{
    struct Case {
        const char *name;
        std::string stream;
    };
    const Case cases[] = {
        {"string into an integer", Header() + Short("Width") + "\x06\x01x"},
        {"unknown colour name", Header() + Short("Color") + "\x07" + Short("clPlaid")},
        {"unknown enumeration member", Header() + Short("ScrollBars") + "\x07" + Short("ssDiagonal")},
        {"integer too big for an int", Header() + Short("Width") + "\x13" + std::string("\0\0\0\0\1\0\0\0", 8)},
        {"path through a scalar", Header() + Short("Width.Size") + "\x02\x01"},
        {"list into a scalar", Header() + Short("Caption") + std::string("\x01\x00", 2)},
        {"integer into a string list", Header() + Short("Items.Strings") + "\x02\x01"},
        {"non-string in a string list", Header() + Short("Items.Strings") + std::string("\x01\x02\x01\x00", 4)},
    };
    for (const Case &c : cases) {
        TTiny tiny;
        EXPECT_THROW(ReadComponentBinary(c.stream + std::string(2, '\0'), tiny), EReadError)
            << c.name;
    }
}

TEST(StreamFaults, CorruptLengthsAndTypes)
{
    struct Case {
        const char *name;
        std::string stream;
    };
    const Case cases[] = {
        {"empty", ""},
        {"wrong signature", "TPF1" + Short("TTiny") + Short("x") + std::string(2, '\0')},
        {"empty class name", "TPF0" + Short("") + Short("x") + std::string(2, '\0')},
        {"type byte past the table", Header() + Short("Width") + "\x14"},
        {"long string longer than the stream",
         Header() + Short("Caption") + "\x0C\xFF\xFF\xFF\x7F" + "abc"},
        {"negative long string length", Header() + Short("Caption") + "\x0C\xFF\xFF\xFF\xFF"},
        {"wide string longer than the stream",
         Header() + Short("Caption") + "\x12\x00\x00\x00\x40" + "ab"},
        {"binary longer than the stream", Header() + Short("Caption") + "\x0A\x10\x00\x00\x00"},
        {"collection item without list marker", Header() + Short("Items") + "\x0E\x06"},
        {"short string past the end", Header() + "\x20" + "Wid"},
    };
    for (const Case &c : cases) {
        TTiny tiny;
        EXPECT_THROW(ReadComponentBinary(c.stream, tiny), EReadError) << c.name;
        EXPECT_THROW(ObjectBinaryToText(c.stream), EReadError) << c.name;
    }
}

TEST(StreamFaults, DeepNestingIsRefusedWithoutExhaustingTheStack)
{
    const std::string stream = Header() + Short("Caption") + std::string(100000, '\x01');
    TTiny tiny;
    EXPECT_THROW(ReadComponentBinary(stream, tiny), EReadError);
    EXPECT_THROW(ObjectBinaryToText(stream), EReadError);
    EXPECT_THROW(ObjectTextToBinary("object T\n  A = " + std::string(100000, '(') + "\nend\n"),
                 EParserError);
}

TEST(StreamFaults, BadCollectionItemLeavesTheCollectionUnchanged)
{
    TSample source;
    for (int i = 0; i < 3; ++i)
        static_cast<TSampleItem *>(source.Brackets()->Add())->SetLeftBracket("{");
    std::string text = ObjectBinaryToText(WriteComponentBinary(source));
    // Spoil the last item only.
    const std::size_t last = text.rfind("LeftBracket");
    text.replace(last, std::string("LeftBracket").size(), "LeftBracketX");

    TSample target;
    static_cast<TSampleItem *>(target.Brackets()->Add())->SetLeftBracket("<");
    target.Brackets()->Updates = 0;
    EXPECT_THROW(ReadComponentBinary(ObjectTextToBinary(text), target), EReadError);
    ASSERT_EQ(target.Brackets()->Count(), 1);
    EXPECT_EQ(target.Brackets()->Item(0)->LeftBracket(), QStringLiteral("<"));
    EXPECT_EQ(target.Brackets()->Updates, 0);
}

TEST(StreamFaults, ParserNamesTheLine)
{
    struct Case {
        const char *text;
        const char *message;
    };
    const Case cases[] = {
        {"object T\n  A = 'open\nend\n", "2 行目: 文字列が閉じていません"},
        {"object T\n  A = 1\n", "3 行目: end が必要です"},
        {"object T\r\n  A 1\r\nend\r\n", "2 行目: '=' が必要です"},
        {"thing T\nend\n", "1 行目: object が必要です"},
        {"object T\n  A = [a b]\nend\n", "2 行目: ',' が必要です"},
        {"object T\n  A = {ABC}\nend\n", "2 行目: 16 進数の桁数が奇数です"},
        {"object T\n  A = 99999999999999999999\nend\n", "2 行目: 数値が大きすぎます"},
        {"object T\n  A = #70000\nend\n", "2 行目: 文字コードが不正です"},
        {"object T\nend\nextra", "3 行目: end の後に余分な文字があります"},
        {"object T\n  A = <\n    thing\n  >\nend\n", "3 行目: item が必要です"},
        // Null's type byte would end the list in the binary form.
        {"object T\n  A = (\n    1\n    Null)\nend\n", "4 行目: リストの要素に Null は書けません"},
    };
    for (const Case &c : cases) {
        try {
            ObjectTextToBinary(c.text);
            ADD_FAILURE() << "no error: " << c.text;
        } catch (const EParserError &e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(c.message)) << c.text;
        }
    }
}

TEST(StreamFaults, SetterErrorsEndTheReadAsReadErrors)
{
    TSample sample;
    sample.Lines()->SetSorted(true);
    sample.Lines()->SetDuplicates(dupError);
    const std::string text = "object TSample\n  Lines.Strings = (\n 'a'\n 'A')\nend\n";
    EXPECT_THROW(ReadComponentBinary(ObjectTextToBinary(text), sample), EReadError);
}

} // namespace
