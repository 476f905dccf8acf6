// The change-notifying settings objects, the colour and bracket objects and the fountains:
// defaults, one report per change, the bracket limit, construction, published properties, the
// italic walk and the change-all operations.
#include "syntax_test_support.h"

#include "classlib/errors.h"
#include "classlib/published_properties.h"

#include <gtest/gtest.h>

using namespace syntax_test;

namespace {

// Counts the reports a change list delivers, and remembers the last sender.
struct TListener {
    void ChangedProc(QObject *sender)
    {
        ++Calls;
        LastSender = sender;
    }
    int Calls = 0;
    QObject *LastSender = nullptr;
};

QStringList PropertyNames(const QObject &object)
{
    QStringList names;
    for (const QMetaProperty &property : classlib::PublishedProperties(*object.metaObject()))
        names << QString::fromLatin1(property.name());
    return names;
}

TEST(NotifyPersistentTest, UpdateScopesDeferTheReport)
{
    TFountainColor color;
    int calls = 0;
    color.OnChange = [&calls, &color](QObject *sender) {
        EXPECT_EQ(sender, &color);
        ++calls;
    };
    color.SetColor(clRed);
    color.SetColor(clRed);  // unchanged: no report
    EXPECT_EQ(calls, 1);
    color.BeginUpdate();
    color.BeginUpdate();
    color.SetBkColor(clBlue);
    color.SetStyle(fsBold | fsItalic);
    color.EndUpdate();
    EXPECT_EQ(calls, 1);
    color.EndUpdate();
    EXPECT_EQ(calls, 2);
    // An EndUpdate too many does not leave the object silent for ever.
    color.EndUpdate();
    color.SetColor(clLime);
    EXPECT_EQ(color.UpdateCount(), 0);
    EXPECT_EQ(calls, 4);
    // A report from the object itself to its ChangedProc is not passed on.
    color.ChangedProc(&color);
    EXPECT_EQ(calls, 4);
}

TEST(NotifyPersistentTest, ColourDefaultsAndAssign)
{
    TFountainColor a;
    EXPECT_EQ(a.BkColor(), clNone);
    EXPECT_EQ(a.Color(), clNone);
    EXPECT_EQ(a.Style(), TFontStyles());
    TFountainColor b;
    b.SetBkColor(clWhite);
    b.SetColor(clGreen);
    b.SetStyle(fsUnderline);
    int calls = 0;
    a.OnChange = [&calls](QObject *) { ++calls; };
    a.Assign(&b);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(a.BkColor(), clWhite);
    EXPECT_EQ(a.Color(), clGreen);
    EXPECT_EQ(a.Style(), TFontStyles(fsUnderline));
    EXPECT_THROW(a.Assign(nullptr), EConvertError);
}

TEST(NotifyEventListTest, HandlersInOrderAndRemovalOfTheLastEqualOne)
{
    QObject owner;
    TNotifyEventList list(&owner);
    std::vector<int> order;
    TListener first;
    TListener second;
    list.Add(&first, &TListener::ChangedProc);
    list.Add(&second, &TListener::ChangedProc);
    list.Add(&first, &TListener::ChangedProc);
    list.Add(&order, [&order](QObject *) { order.push_back(1); });
    list.Changed();
    EXPECT_EQ(first.Calls, 2);
    EXPECT_EQ(second.Calls, 1);
    EXPECT_EQ(first.LastSender, &owner);
    list.Remove(&first, &TListener::ChangedProc);
    EXPECT_EQ(list.Count(), 3);
    list.BeginUpdate();
    list.Changed();
    EXPECT_EQ(first.Calls, 2);
    list.EndUpdate();
    EXPECT_EQ(first.Calls, 3);
    EXPECT_EQ(order.size(), 2u);
    list.Remove(&order);
    list.Remove(&second, &TListener::ChangedProc);
    list.Remove(&second, &TListener::ChangedProc);  // not there any more: nothing happens
    EXPECT_EQ(list.Count(), 1);
}

TEST(NotifyEventListTest, InheritedChangedProcIsAListener)
{
    // The usual listener: a settings object registering the ChangedProc it inherits.
    QObject owner;
    TNotifyEventList list(&owner);
    TFountainColor color;
    int calls = 0;
    color.OnChange = [&calls](QObject *) { ++calls; };
    list.Add(&color, &TFountainColor::ChangedProc);
    list.Changed();
    EXPECT_EQ(calls, 1);
    list.Remove(&color, &TNotifyPersistent::ChangedProc);
    EXPECT_EQ(list.Count(), 0);
}

TEST(NotifyEventListTest, HandlerRemovedDuringAReportIsNotCalled)
{
    QObject owner;
    TNotifyEventList list(&owner);
    TListener later;
    list.Add(&list, [&list, &later](QObject *) { list.Remove(&later, &TListener::ChangedProc); });
    list.Add(&later, &TListener::ChangedProc);
    list.Changed();
    EXPECT_EQ(later.Calls, 0);
}

TEST(BracketCollectionTest, HoldsAtMostFourteenItems)
{
    TFountainBracketCollection brackets;
    for (int i = 0; i < 14; ++i)
        brackets.AddBracket(std::to_string(i), ")");
    try {
        brackets.Add();
        FAIL() << "no exception";
    } catch (const Exception &error) {
        EXPECT_STREQ(error.what(), "TFountainBracketCollection\r\nYou can not add item over 14");
    }
    EXPECT_THROW(brackets.Insert(0), Exception);
    EXPECT_THROW(new TFountainBracketItem(&brackets), Exception);
    EXPECT_EQ(brackets.Count(), 14);
    // The failed additions left the update counter balanced: changes are still reported.
    EXPECT_EQ(brackets.UpdateCount(), 0);
    int calls = 0;
    brackets.OnChange = [&calls](QObject *) { ++calls; };
    brackets.BracketItem(3)->ItemColor()->SetColor(clRed);
    EXPECT_EQ(calls, 1);
}

TEST(BracketCollectionTest, AssignCopiesTextsAndColoursWithOneReport)
{
    TFountainBracketCollection source;
    source.AddBracket("/*", "*/")->ItemColor()->SetColor(clGreen);
    source.AddBracket("{", "}")->ItemColor()->SetStyle(fsItalic);
    TFountainBracketCollection target;
    target.AddBracket("x", "y");
    int calls = 0;
    target.OnChange = [&calls](QObject *) { ++calls; };
    target.Assign(&source);
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(target.Count(), 2);
    EXPECT_EQ(target.BracketItem(0)->LeftBracket(), "/*");
    EXPECT_EQ(target.BracketItem(0)->ItemColor()->Color(), clGreen);
    EXPECT_EQ(target.BracketItem(1)->RightBracket(), "}");
    EXPECT_EQ(target.BracketItem(1)->ItemColor()->Style(), TFontStyles(fsItalic));
    // The texts are code page 932 bytes, shown as Unicode through the published properties.
    target.BracketItem(1)->setProperty("LeftBracket", QString::fromUtf8("「"));
    EXPECT_EQ(target.BracketItem(1)->LeftBracket(), Sj("「"));
    EXPECT_EQ(target.BracketItem(1)->property("LeftBracket").toString(), QString::fromUtf8("「"));
}

TEST(FileExtComponentTest, SortedListWithoutDuplicates)
{
    TFileExtComponent component;
    TStringList extensions;
    for (const char *ext : {".sql", ".PKB", ".pks", ".SQL"})
        extensions.Add(ext);
    component.SetFileExtList(&extensions);
    EXPECT_EQ(component.FileExtList()->Count(), 3);
    EXPECT_TRUE(component.HasFileExt(".Sql"));
    EXPECT_TRUE(component.HasFileExt(".pkb"));
    EXPECT_FALSE(component.HasFileExt(".txt"));
    component.SetFileExtList(nullptr);
    EXPECT_EQ(component.FileExtList()->Count(), 0);
}

class FountainTest : public ::testing::Test {
protected:
    void SetUp() override { Fountain.NotifyEventList()->Add(&Listener, &TListener::ChangedProc); }
    TEditorFountain Fountain;
    TListener Listener;
};

TEST_F(FountainTest, EveryOwnedSettingReportsOnceWithTheFountainAsSender)
{
    Fountain.Reserve()->SetColor(clBlue);
    EXPECT_EQ(Listener.Calls, 1);
    EXPECT_EQ(Listener.LastSender, &Fountain);
    TFountainBracketItem *item = Fountain.Brackets()->AddBracket("/*", "*/");
    EXPECT_EQ(Listener.Calls, 2);
    item->ItemColor()->SetBkColor(clWhite);
    EXPECT_EQ(Listener.Calls, 3);
    Fountain.Colors()->Comment()->SetStyle(fsItalic);
    EXPECT_EQ(Listener.Calls, 4);
    TStringList words;
    words.Add("select");
    Fountain.SetReserveWordList(&words);
    EXPECT_EQ(Listener.Calls, 5);
    EXPECT_EQ(Listener.LastSender, &Fountain);
    // Editing the list in place reports nothing, but the next parser sees the words.
    Fountain.ReserveWordList()->Add("from");
    EXPECT_EQ(Listener.Calls, 5);
    const auto parser = Fountain.CreateParser();
    parser->StartRow("FROM", TRowParseState{});
    parser->NextToken();
    EXPECT_TRUE(parser->IsReservedToken());
    // The fountain's own fields report when they change.
    Fountain.SetCommenter("--");
    Fountain.SetCommenter("--");
    Fountain.SetMail(true);
    EXPECT_EQ(Listener.Calls, 7);
}

TEST_F(FountainTest, ConstructionDefaults)
{
    EXPECT_NE(qobject_cast<TEditorBracketCollection *>(Fountain.Brackets()), nullptr);
    EXPECT_EQ(Fountain.Brackets()->Count(), 0);
    EXPECT_EQ(Fountain.ReserveWordList()->Count(), 0);
    EXPECT_TRUE(static_cast<TStringList *>(Fountain.ReserveWordList())->Sorted());
    EXPECT_EQ(Fountain.Colors()->Reserve(), Fountain.Reserve());
    EXPECT_EQ(Fountain.Colors()->Select()->BkColor(), clNavy);
    EXPECT_EQ(Fountain.Colors()->Select()->Color(), clWhite);
    EXPECT_EQ(Fountain.Colors()->Ank()->Color(), clNone);
    EXPECT_EQ(Fountain.Commenter(), "");
    EXPECT_FALSE(Fountain.ControlCode() || Fountain.Mail() || Fountain.Url());
    EXPECT_NE(dynamic_cast<TEditorParser *>(Fountain.CreateParser().get()), nullptr);
}

TEST_F(FountainTest, PublishedPropertiesInOrder)
{
    EXPECT_EQ(PropertyNames(Fountain),
              (QStringList{"Name", "Tag", "FileExtList", "Brackets", "Reserve", "ReserveWordList", "Colors",
                           "Commenter", "ControlCode", "HexPrefix", "Mail", "Quotation", "Url"}));
    EXPECT_EQ(PropertyNames(*Fountain.Colors()),
              (QStringList{"Ank", "Comment", "DBCS", "Hit", "Int", "Mail", "Reserve", "Select", "Str",
                           "Symbol", "Url"}));
    Fountain.setProperty("Commenter", QStringLiteral("--"));
    Fountain.setProperty("Url", true);
    EXPECT_EQ(Fountain.Commenter(), "--");
    EXPECT_TRUE(Fountain.Url());
}

TEST_F(FountainTest, ColoursAssignReportsOnceAndSharesReserve)
{
    TEditorFountain other;
    other.Colors()->Reserve()->SetColor(clRed);
    other.Colors()->Str()->SetBkColor(clYellow);
    other.Colors()->Select()->SetBkColor(clGray);
    Fountain.SetColors(other.Colors());
    EXPECT_EQ(Listener.Calls, 1);
    EXPECT_EQ(Fountain.Reserve()->Color(), clRed);
    EXPECT_EQ(Fountain.Colors()->Str()->BkColor(), clYellow);
    EXPECT_EQ(Fountain.Colors()->Select()->BkColor(), clGray);
    // Writing Colors.Reserve copies into the fountain's Reserve colour.
    TFountainColor italic;
    italic.SetStyle(fsItalic);
    Fountain.Colors()->SetReserve(&italic);
    EXPECT_EQ(Fountain.Reserve()->Style(), TFontStyles(fsItalic));
}

TEST_F(FountainTest, WholeFountainCopiesThroughItsPublishedProperties)
{
    const auto source = SqlFountain({"select"});
    source->SetHexPrefix("0x");
    source->Colors()->Comment()->SetColor(clTeal);
    Fountain.Assign(source.get());
    EXPECT_EQ(Fountain.Commenter(), "--");
    EXPECT_EQ(Fountain.Quotation(), "'");
    EXPECT_EQ(Fountain.HexPrefix(), "0x");
    ASSERT_EQ(Fountain.Brackets()->Count(), 1);
    EXPECT_EQ(Fountain.Brackets()->BracketItem(0)->RightBracket(), "*/");
    EXPECT_EQ(Fountain.Reserve()->Color(), clBlue);
    EXPECT_EQ(Fountain.Colors()->Comment()->Color(), clTeal);
    EXPECT_EQ(Fountain.ReserveWordList()->Get(0), "select");
}

TEST_F(FountainTest, HasItalicStyleFindsAnyReachableColour)
{
    EXPECT_FALSE(Fountain.HasItalicStyle(&Fountain));
    Fountain.Colors()->Hit()->SetStyle(fsItalic);
    EXPECT_TRUE(Fountain.HasItalicStyle(&Fountain));
    Fountain.Colors()->Hit()->SetStyle(fsBold);
    Fountain.Brackets()->AddBracket("/*", "*/")->ItemColor()->SetStyle(fsItalic | fsBold);
    EXPECT_TRUE(Fountain.HasItalicStyle(&Fountain));
    EXPECT_TRUE(Fountain.HasItalicStyle(Fountain.Brackets()));
    EXPECT_FALSE(Fountain.HasItalicStyle(Fountain.Colors()));
    Fountain.Reserve()->SetStyle(fsItalic);
    EXPECT_TRUE(Fountain.HasItalicStyle(Fountain.Colors()));
    EXPECT_FALSE(Fountain.HasItalicStyle(nullptr));
}

TEST_F(FountainTest, ChangeAllLeavesSelectAndHitAndReportsOnce)
{
    TFountainBracketItem *item = Fountain.Brackets()->AddBracket("/*", "*/");
    Listener.Calls = 0;
    Fountain.SetAllBkColor(clYellow);
    EXPECT_EQ(Listener.Calls, 1);
    TEditorColors &colors = *Fountain.Colors();
    for (TFountainColor *slot : {static_cast<TFountainColor *>(colors.Ank()), static_cast<TFountainColor *>(colors.Comment()),
                                 static_cast<TFountainColor *>(colors.DBCS()), static_cast<TFountainColor *>(colors.Int()),
                                 static_cast<TFountainColor *>(colors.Mail()), colors.Reserve(),
                                 static_cast<TFountainColor *>(colors.Str()), static_cast<TFountainColor *>(colors.Symbol()),
                                 static_cast<TFountainColor *>(colors.Url())})
        EXPECT_EQ(slot->BkColor(), clYellow);
    EXPECT_EQ(colors.Select()->BkColor(), clNavy);
    EXPECT_EQ(colors.Hit()->BkColor(), clNone);
    EXPECT_EQ(item->ItemColor()->BkColor(), clNone);
    Fountain.SetAllColor(clMaroon);
    Fountain.SetAllStyle(fsBold);
    EXPECT_EQ(Listener.Calls, 3);
    EXPECT_EQ(Fountain.Reserve()->Color(), clMaroon);
    EXPECT_EQ(colors.Comment()->Style(), TFontStyles(fsBold));
    EXPECT_EQ(colors.Select()->Color(), clWhite);

    Fountain.EditorBrackets()->SetAllItemStyle(fsItalic);
    Fountain.EditorBrackets()->SetAllItemColor(clOlive);
    EXPECT_EQ(Listener.Calls, 5);
    EXPECT_EQ(item->ItemColor()->Style(), TFontStyles(fsItalic));
    EXPECT_EQ(item->ItemColor()->Color(), clOlive);
}

} // namespace
