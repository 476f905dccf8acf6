// Copying settings objects: every published property, nested objects into the existing ones,
// lists and collections, one notification per Assign, and the conversion error.
#include "sample_objects.h"

#include "classlib/errors.h"

#include <gtest/gtest.h>

namespace {

TEST(Assign, CopiesEveryPublishedPropertyIntoExistingObjects)
{
    TSample source;
    source.WordWrap = true;
    source.Caption = "caption";
    source.Color = clRed;
    source.Options = TSample::soOverwrite;
    source.Hidden = "not stored";
    source.Font()->SetName("Courier");
    source.Settings()->Colors()->SetBkColor(clYellow);
    source.Lines()->Add("line");
    static_cast<TSampleItem *>(source.Brackets()->Add())->SetLeftBracket("(");
    source.setObjectName("source");

    TSample target;
    TFont *font = target.Font();
    TSampleColor *colors = target.Settings()->Colors();
    target.Assign(&source);

    EXPECT_TRUE(target.WordWrap);
    EXPECT_EQ(target.Caption, "caption");
    EXPECT_EQ(target.Color, clRed);
    EXPECT_EQ(target.Options, TSample::soOverwrite);
    EXPECT_TRUE(target.Hidden.isEmpty());           // STORED false is not copied
    EXPECT_TRUE(target.objectName().isEmpty());     // nor is the name
    EXPECT_EQ(target.Font(), font);                 // same object, new contents
    EXPECT_EQ(font->Name(), "Courier");
    EXPECT_EQ(target.Settings()->Colors(), colors);
    EXPECT_EQ(colors->BkColor(), clYellow);
    EXPECT_EQ(target.Lines()->ToVector(), std::vector<std::string>{"line"});
    ASSERT_EQ(target.Brackets()->Count(), 1);
    EXPECT_EQ(target.Brackets()->Item(0)->LeftBracket(), "(");
}

TEST(Assign, NotifiesOnceForManyChanges)
{
    TSampleSettings source;
    source.SetWidth(5);
    source.SetVisible(true);
    source.Colors()->SetColor(clBlue);
    source.Colors()->SetStyle(fsBold);

    TSampleSettings target;
    target.Notifications = 0;
    target.Assign(&source);
    EXPECT_EQ(target.Notifications, 1);

    target.Assign(&source);  // nothing differs: nothing to report
    EXPECT_EQ(target.Notifications, 1);

    TSampleColor colorSource;
    colorSource.SetColor(clGreen);
    colorSource.SetBkColor(clLime);
    TSampleColor color;
    int calls = 0;
    color.OnChange = [&](QObject *) { ++calls; };
    color.Assign(&colorSource);
    EXPECT_EQ(calls, 1);
}

TEST(Assign, FontCopyNotifiesOnce)
{
    TFont source;
    source.SetName("Serif");
    source.SetSize(12);
    source.SetStyle(fsItalic);
    source.SetColor(clMaroon);
    TFont font;
    int calls = 0;
    font.OnChange = [&](QObject *) { ++calls; };
    font.Assign(&source);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(font.Size(), 12);
    EXPECT_EQ(font.Height(), -16);
    EXPECT_EQ(font.Color(), clMaroon);
}

TEST(Assign, UnrelatedClassesRaiseTheConversionError)
{
    TSampleColor color;
    TFont font;
    try {
        font.Assign(&color);
        FAIL() << "no error";
    } catch (const EConvertError &e) {
        EXPECT_STREQ(e.what(), "TSampleColor を TFont に代入することはできません");
    }
    try {
        font.Assign(nullptr);
        FAIL() << "no error";
    } catch (const EConvertError &e) {
        EXPECT_STREQ(e.what(), "nil を TFont に代入することはできません");
    }
}

TEST(Assign, BetweenBaseAndDerivedCopiesTheCommonProperties)
{
    TComponent base;
    base.SetTag(42);
    TSample derived;
    derived.Assign(&base);
    EXPECT_EQ(derived.Tag(), 42);
    derived.SetTag(7);
    base.Assign(&derived);
    EXPECT_EQ(base.Tag(), 7);
}

// A class that knows how to copy itself into a TFont, where TFont does not know it.
class TFontSource : public TPersistent {
    Q_OBJECT
public:
    void AssignTo(TPersistent *dest) const override
    {
        if (auto *font = qobject_cast<TFont *>(dest)) {
            font->SetName("FromSource");
            return;
        }
        TPersistent::AssignTo(dest);
    }
};

TEST(Assign, FallsBackToTheSourcesAssignTo)
{
    TFontSource source;
    TFont font;
    font.Assign(&source);
    EXPECT_EQ(font.Name(), "FromSource");
    TSampleColor color;
    EXPECT_THROW(color.Assign(&source), EConvertError);
}

TEST(Assign, SingleNamedPropertyBetweenUnrelatedClasses)
{
    // TTiny and TSample are unrelated but both publish Color, Caption and Font.
    TTiny tiny;
    tiny.Color = clTeal;
    tiny.Caption = "tiny";
    TSample sample;
    AssignPublishedProperty(sample, tiny, "Color");
    AssignPublishedProperty(sample, tiny, "caption");
    EXPECT_EQ(sample.Color, clTeal);
    EXPECT_EQ(sample.Caption, "tiny");
    EXPECT_THROW(AssignPublishedProperty(sample, tiny, "Items"), EConvertError);  // not in TSample
    // TTinyFont cannot be copied into a TFont.
    EXPECT_THROW(AssignPublishedProperty(sample, tiny, "Font"), EConvertError);
}

} // namespace

#include "test_persistent.moc"
