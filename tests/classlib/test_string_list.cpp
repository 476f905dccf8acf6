// String lists: sorting and bisection with the a-z folding rule, duplicates, objects, the
// list-index error, text and comma text, files and change events.
#include "classlib/cp932.h"
#include "classlib/errors.h"
#include "classlib/string_list.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Items(const TStrings &list)
{
    return list.ToVector();
}

TEST(StringListSorted, KeepsCaseInsensitiveOrderAndFindsFirstEqual)
{
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    for (const char *s : {"delta", "Alpha", "charlie", "BRAVO", "alpha", "_under", "Zulu"})
        list.Add(s);
    // "_" (0x5F) sorts after "Z" because a-z fold to upper case, not the reverse.
    EXPECT_EQ(Items(list), (std::vector<std::string>{"Alpha", "alpha", "BRAVO", "charlie", "delta",
                                                     "Zulu", "_under"}));
    int index = -1;
    EXPECT_TRUE(list.Find("ALPHA", index));
    EXPECT_EQ(index, 0);
    EXPECT_TRUE(list.Find("Bravo", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("cat", index));
    EXPECT_EQ(index, 3);  // where it would go
    EXPECT_EQ(list.IndexOf("ZULU"), 5);
    EXPECT_EQ(list.IndexOf("zz"), -1);
}

TEST(StringListSorted, TrailBytesAreNotFolded)
{
    // 83 41 and 83 61 are two katakana: folding the trail byte 0x61 like "a" would make them
    // equal.
    const std::string a = "\x83\x41";
    const std::string tsu = "\x83\x61";
    ASSERT_NE(cp932::ToUnicode(a), cp932::ToUnicode(tsu));
    TStringList list;
    list.SetSorted(true);
    list.Add(tsu);
    list.Add(a);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.IndexOf(a), 0);
    EXPECT_EQ(list.IndexOf(tsu), 1);
}

TEST(StringListSorted, DuplicatesRule)
{
    TStringList list;
    list.SetSorted(true);
    list.Add("one");
    EXPECT_EQ(list.Add("ONE"), 0);  // dupIgnore: the index of the item already there
    EXPECT_EQ(list.Count(), 1);

    list.SetDuplicates(dupAccept);
    EXPECT_EQ(list.Add("ONE"), 1);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"one", "ONE"}));

    list.SetDuplicates(dupError);
    try {
        list.Add("One");
        FAIL() << "no error";
    } catch (const EListError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("文字列リストに重複は許可されていません"));
    }
    EXPECT_EQ(list.Count(), 2);
}

TEST(StringListSorted, PositionalChangesAreRefused)
{
    TStringList list;
    list.SetSorted(true);
    list.Add("b");
    EXPECT_THROW(list.Insert(0, "a"), EListError);
    EXPECT_THROW(list.Put(0, "a"), EListError);
    EXPECT_EQ(Items(list), std::vector<std::string>{"b"});
}

TEST(StringListSorted, SortingAnUnsortedListIsStable)
{
    TStringList list;
    for (const char *s : {"b", "A", "a", "B"})
        list.Add(s);
    list.SetSorted(true);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"A", "a", "b", "B"}));
}

TEST(StringListIndex, OutOfRangeRaisesTheListIndexError)
{
    TStringList list;
    list.Add("x");
    try {
        list.Get(5);
        FAIL() << "no error";
    } catch (const EListError &e) {
        EXPECT_STREQ(e.what(), "リストのインデックスが範囲を超えています (5)");
    }
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.Insert(2, "y"), EListError);
    EXPECT_THROW(list.GetObject(1), EListError);
    list.Insert(1, "y");  // Count itself is a valid insertion point
    EXPECT_EQ(list.Count(), 2);
}

TEST(StringListObjects, TravelWithTheirItems)
{
    int one = 1;
    int two = 2;
    TStringList list;
    list.AddObject("b", &two);
    list.AddObject("a", &one);
    list.Sort();
    EXPECT_EQ(list.GetObject(0), &one);
    EXPECT_EQ(list.IndexOfObject(&two), 1);
    list.Exchange(0, 1);
    EXPECT_EQ(list.Get(0), "b");
    EXPECT_EQ(list.GetObject(0), &two);

    TStringList copy;
    copy.Assign(&list);
    EXPECT_EQ(copy.GetObject(1), &one);
}

TEST(StringListText, LineBreaksAndCommaText)
{
    TStringList list;
    list.SetText("a\r\nb\nc\rd\r\n");
    EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
    list.SetText("\r\n\r\nx");
    EXPECT_EQ(Items(list), (std::vector<std::string>{"", "", "x"}));

    list.Clear();
    for (const char *s : {"plain", "with space", "quo\"te", "", "a,b"})
        list.Add(s);
    const std::string comma = list.CommaText();
    EXPECT_EQ(comma, "plain,\"with space\",\"quo\"\"te\",\"\",\"a,b\"");
    TStringList back;
    back.SetCommaText(comma);
    EXPECT_EQ(Items(back), Items(list));
    back.SetCommaText("a b, c,");
    EXPECT_EQ(Items(back), (std::vector<std::string>{"a", "b", "c", ""}));
    // Double-byte characters are copied whole while splitting.
    const std::string kanji = cp932::FromUnicode(QStringLiteral("表示"));
    back.SetCommaText(kanji + "," + kanji);
    EXPECT_EQ(Items(back), (std::vector<std::string>{kanji, kanji}));
}

TEST(StringListFiles, SaveLoadAndFileErrors)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list.txt");
    TStringList list;
    list.Add(cp932::FromUnicode(QStringLiteral("日本語")));
    list.Add("two");
    list.SaveToFile(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), list.Text());

    TStringList loaded;
    loaded.LoadFromFile(path);
    EXPECT_EQ(Items(loaded), Items(list));

    loaded.LoadFromFile(path);
    try {
        loaded.LoadFromFile(dir.filePath("missing.txt"));
        FAIL() << "no error";
    } catch (const EFOpenError &e) {
        EXPECT_TRUE(e.Message().contains("missing.txt"));
    }
    EXPECT_EQ(loaded.Count(), 0);  // cleared before the error
    EXPECT_THROW(list.SaveToFile(dir.filePath("no/such/dir/x.txt")), EFCreateError);
}

TEST(StringListEvents, OneChangeForAnUpdateScope)
{
    TStringList list;
    int changing = 0;
    int changed = 0;
    list.OnChanging = [&](QObject *sender) {
        EXPECT_EQ(sender, &list);
        ++changing;
    };
    list.OnChange = [&](QObject *) { ++changed; };
    list.Add("a");
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(changed, 1);

    list.BeginUpdate();
    list.Add("b");
    list.BeginUpdate();
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changed, 1);
    list.EndUpdate();
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);

    list.SetText("x\ny\nz");  // one scope for the whole text
    EXPECT_EQ(changed, 3);
}

} // namespace
