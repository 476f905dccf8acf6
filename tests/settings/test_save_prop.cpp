// Tests of the ini persistence without windows: direct access and its scopes, the duplicate
// check, registered properties of every kind, objects in numbered keys, FindKeys and the
// failures a damaged or unwritable file brings.
#include "settings/ini_save_props.h"

#include "classlib/cp932.h"
#include "classlib/errors.h"
#include "classlib/ini_file.h"
#include "sample_component.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

QCoreApplication &App()
{
    static int argc = 1;
    static char name[] = "test_save_prop";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

std::string ReadFile(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll().toStdString();
}

void WriteFile(const QString &name, std::string_view bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

class SavePropTest : public ::testing::Test {
protected:
    SavePropTest()
    {
        App();
        props.SetFileName(FileName());
    }
    QString FileName() const { return dir.filePath("kestrim.ini"); }
    TIniFile File() const { return TIniFile(FileName()); }

    TProp &Register(QObject *compo, const QString &propName, const QString &section = {},
                    const QString &key = {})
    {
        TProp &item = *props.Props()->Add();
        item.SetCompo(compo);
        item.SetPropName(propName);
        item.SetSectionName(section);
        item.SetKeyName(key);
        return item;
    }

    QTemporaryDir dir;
    QObject owner;
    TIniSaveProps props{&owner};
};

TEST_F(SavePropTest, DirectWritesAreCompleteInThemselves)
{
    props.WriteString("EDIT", "BEFORE", "-n \x95\x5C");
    EXPECT_EQ(ReadFile(FileName()), "[EDIT]\r\nBEFORE=-n \x95\x5C\r\n") << "written at once";
    props.WriteInteger("EDIT", "READ_ONLY", 1);
    props.WriteFloat("SQL", "RATIO", 0.1);
    EXPECT_EQ(props.ReadString("edit", "before"), "-n \x95\x5C");
    EXPECT_EQ(props.ReadInteger("EDIT", "READ_ONLY"), 1);
    EXPECT_EQ(props.ReadFloat("SQL", "RATIO"), 0.1) << "floats read back exactly";
    EXPECT_TRUE(props.ValueExists("Edit", "Read_Only"));
    EXPECT_FALSE(props.ValueExists("EDIT", "AFTER"));
    EXPECT_EQ(props.ReadInteger("EDIT", "AFTER"), 0);
    EXPECT_EQ(props.ReadInteger("EDIT", "BEFORE"), 0) << "unparsable numbers read as 0";
    EXPECT_EQ(props.ReadFloat("EDIT", "BEFORE"), 0.0);
    EXPECT_EQ(props.OpenCount(), 0);
}

TEST_F(SavePropTest, NumbersInTheirWrittenForms)
{
    WriteFile(FileName(), "[N]\nhex=$1F\nc=0x1f\nneg=-12\nbig=99999999999\nsp=1 2\nf=1e3\nwide=$FFFFFFFF\n");
    EXPECT_EQ(props.ReadInteger("N", "hex"), 31);
    EXPECT_EQ(props.ReadInteger("N", "c"), 31);
    EXPECT_EQ(props.ReadInteger("N", "neg"), -12);
    EXPECT_EQ(props.ReadInteger("N", "big"), 0) << "out of range";
    EXPECT_EQ(props.ReadInteger("N", "sp"), 0);
    EXPECT_EQ(props.ReadInteger("N", "wide"), -1);
    EXPECT_EQ(props.ReadFloat("N", "f"), 1000.0);
}

TEST_F(SavePropTest, WritesInsideOneScopeWriteTheFileOnce)
{
    props.BeginWrite();
    props.WriteString("A", "x", "1");
    props.WriteString("A", "y", "2");
    EXPECT_FALSE(QFileInfo::exists(FileName())) << "nothing written while the scope is open";
    EXPECT_EQ(props.ReadString("A", "x"), "1") << "reads inside the scope see the writes";
    props.EndWrite();
    EXPECT_EQ(ReadFile(FileName()), "[A]\r\nx=1\r\ny=2\r\n");
    EXPECT_EQ(props.OpenCount(), 0);
}

TEST_F(SavePropTest, AWriteInsideAReadScopeIsNotLost)
{
    props.BeginRead();
    props.WriteString("A", "x", "1");
    props.EndRead();
    EXPECT_EQ(File().ReadString("A", "x"), "1");
    // A scope without writes leaves the file as it is, layout included.
    WriteFile(FileName(), "[A]\nx=1");
    props.BeginWrite();
    props.EndWrite();
    props.Save(); // no registered items, no placement
    EXPECT_EQ(ReadFile(FileName()), "[A]\nx=1");
}

TEST_F(SavePropTest, AFailedWriteReportsTheFileErrorAndClosesTheScope)
{
    props.SetFileName(dir.filePath("missing/folder/kestrim.ini"));
    EXPECT_EQ(props.ReadString("A", "x"), "") << "reads give defaults";
    EXPECT_THROW(props.WriteString("A", "x", "1"), EFCreateError);
    EXPECT_EQ(props.OpenCount(), 0);
    EXPECT_EQ(props.ReadString("A", "x"), "") << "the failed write is not kept in memory";
}

TEST_F(SavePropTest, ARewriteKeepsWhatItDidNotChange)
{
    WriteFile(FileName(), "; hand-written\n[START]\nFORM=S\ngarbage\n[SQL]\nLEFT=1\n[start]\nextra=\x81\xFF");
    props.WriteString("SQL", "LEFT", "2");
    const TIniFile file = File();
    EXPECT_EQ(file.ReadString("START", "FORM"), "S");
    EXPECT_EQ(file.ReadString("START", "extra"), "\x81\xFF");
    EXPECT_EQ(file.ReadString("SQL", "LEFT"), "2");
    EXPECT_NE(ReadFile(FileName()).find("garbage\r\n"), std::string::npos);
}

TEST_F(SavePropTest, DirectWriteOverARegisteredItemIsRefused)
{
    TSample sample(nullptr, "frmTest");
    Register(&sample, "Text");
    try {
        props.WriteString("FRMTEST", "text", "x");
        FAIL() << "no duplicate error";
    } catch (const Exception &error) {
        EXPECT_EQ(error.Message(), QString::fromUtf8("セクション名 FRMTEST とキー名 text の組み合わせが重複しています"));
    }
    EXPECT_FALSE(QFileInfo::exists(FileName())) << "nothing written";
    props.WriteString("frmTest", "Other", "x"); // a key no item uses
    // A disabled item does not count.
    props.Props()->Items(0)->SetEnabled(false);
    props.WriteString("frmTest", "Text", "y");
    EXPECT_EQ(File().ReadString("frmTest", "Text"), "y");
}

TEST_F(SavePropTest, SameKeysInOneSectionGetDigits)
{
    TSample first(nullptr, "first");
    TSample second(nullptr, "second");
    TSample third(nullptr, "third");
    Register(&first, "Text", "Texts");
    Register(&second, "Text", "Texts");
    Register(&third, "Number", "texts", "TEXT");
    props.Props()->Recompute();
    EXPECT_EQ(props.Props()->Items(0)->Key(), "Text");
    EXPECT_EQ(props.Props()->Items(1)->Key(), "Text1");
    EXPECT_EQ(props.Props()->Items(2)->Key(), "TEXT2");
    first.Text = "one";
    second.Text = QString::fromUtf8("二");
    third.Number = 3;
    props.Save();
    const TIniFile file = File();
    EXPECT_EQ(file.ReadSection("Texts"), (Strings{"Text", "Text1", "TEXT2"}));
    EXPECT_EQ(file.ReadString("Texts", "Text1"), cp932::FromUnicode(QString::fromUtf8("二")));
    first.Text.clear();
    second.Text.clear();
    third.Number = 0;
    props.Load();
    EXPECT_EQ(first.Text, "one");
    EXPECT_EQ(second.Text, QString::fromUtf8("二"));
    EXPECT_EQ(third.Number, 3);
    // The section defaults to the component's name.
    TSample unnamed;
    TProp &item = Register(&unnamed, "Number");
    Register(&first, "Number");
    EXPECT_EQ(item.Section(), "TSample");
    EXPECT_EQ(props.Props()->Items(4)->Section(), "first");
    EXPECT_EQ(item.DisplayName(), ".Number");
    EXPECT_EQ(TProps::ItemAttr(*props.Props()->Items(4), 0), "first.Number");
}

TEST_F(SavePropTest, EveryValueKindRoundTrips)
{
    TSample sample(nullptr, "S");
    for (const char *name : {"Number", "Flag", "Mode", "Color", "Style", "Ratio", "Text", "Big", "Settings"})
        Register(&sample, QString::fromLatin1(name));
    props.Props()->Recompute();
    EXPECT_EQ(props.Props()->Items(7)->ValueKind(), settings::TValueKind::None) << "64-bit integers are not kept";
    EXPECT_EQ(props.Props()->Items(8)->ValueKind(), settings::TValueKind::Object);

    sample.Number = -5;
    sample.Flag = true;
    sample.Mode = TSample::mdFast;
    sample.Color = clWindow;
    sample.Style = classlib::TFontStyles(fsBold | fsStrikeOut);
    sample.Ratio = 2.5;
    sample.Text = QString::fromUtf8("表示");
    sample.Big = 7;
    sample.Settings()->B = 4;
    props.Save();
    const TIniFile file = File();
    EXPECT_EQ(file.ReadString("S", "Color"), std::to_string(static_cast<int>(clWindow)));
    EXPECT_EQ(file.ReadString("S", "Style"), "9");
    EXPECT_FALSE(file.ValueExists("S", "Big"));

    TSample loaded(nullptr, "S");
    for (int i = 0; i < props.Props()->Count(); ++i) props.Props()->Items(i)->SetCompo(&loaded);
    props.Load();
    EXPECT_EQ(loaded.Number, -5);
    EXPECT_TRUE(loaded.Flag);
    EXPECT_EQ(loaded.Mode, TSample::mdFast);
    EXPECT_EQ(loaded.Color, clWindow);
    EXPECT_EQ(loaded.Style, classlib::TFontStyles(fsBold | fsStrikeOut));
    EXPECT_EQ(loaded.Ratio, 2.5);
    EXPECT_EQ(loaded.Text, QString::fromUtf8("表示"));
    EXPECT_EQ(loaded.Big, 0);
    EXPECT_EQ(loaded.Settings()->B, 4);
}

TEST_F(SavePropTest, AssignCopiesTheRegisteredItemsWithTheirComponents)
{
    TSample sample(nullptr, "S");
    Register(&sample, "Number", "Sec", "Key").SetEnabled(false);
    props.FindKeys()->Add("Colors");
    TIniSaveProps copy;
    copy.Assign(&props);
    ASSERT_EQ(copy.Props()->Count(), 1);
    const TProp &item = *copy.Props()->Items(0);
    EXPECT_EQ(item.Compo(), &sample);
    EXPECT_EQ(item.PropName(), "Number");
    EXPECT_EQ(item.SectionName(), "Sec");
    EXPECT_EQ(item.KeyName(), "Key");
    EXPECT_FALSE(item.Enabled());
    EXPECT_EQ(copy.FindKeys()->Count(), 1);
    EXPECT_EQ(copy.FileName(), props.FileName());
}

TEST_F(SavePropTest, MissingValuesLeavePropertiesAlone)
{
    TSample sample(nullptr, "S");
    sample.Number = 42;
    sample.Text = "keep";
    Register(&sample, "Number");
    Register(&sample, "Text");
    WriteFile(FileName(), "[S]\nOther=1\n");
    props.Load();
    EXPECT_EQ(sample.Number, 42);
    EXPECT_EQ(sample.Text, "keep");
}

TEST_F(SavePropTest, ItemsFollowTheirComponent)
{
    auto *sample = new TSample(nullptr, "S");
    TProp &item = Register(sample, "Number");
    EXPECT_TRUE(item.Valid());
    QObject plain;
    item.SetCompo(&plain);
    EXPECT_EQ(item.PropName(), "") << "a component without the property clears PropName";
    item.SetCompo(sample);
    item.SetPropName("Number");
    delete sample;
    EXPECT_EQ(item.Compo(), nullptr);
    EXPECT_FALSE(item.Valid());
    EXPECT_NO_THROW(props.Save());
    EXPECT_NO_THROW(props.Load());
}

TEST_F(SavePropTest, AnObjectSavedInFewerLinesLeavesNoStaleLines)
{
    TSample sample(nullptr, "S");
    Register(&sample, "Settings");
    props.WriteString("S", "Unrelated", "kept");
    TSampleSettings &settings = *sample.Settings();
    settings.A = 1, settings.B = 2, settings.C = 3, settings.D = 4, settings.E = 5;
    props.Save();
    EXPECT_EQ(File().ReadSection("S"),
              (Strings{"Unrelated", "Settings0", "Settings1", "Settings2", "Settings3", "Settings4"}));
    settings.B = 0, settings.D = 0;
    props.Save();
    EXPECT_EQ(File().ReadSection("S"), (Strings{"Unrelated", "Settings0", "Settings1", "Settings2"}));
}

TEST_F(SavePropTest, ObjectLinesReadBackIntoTheObject)
{
    TSample sample(nullptr, "S");
    sample.Settings()->A = 7;
    sample.Settings()->E = -1;
    props.BeginWrite();
    props.WriteObject("Obj", "Set", *sample.Settings());
    props.EndWrite();
    const Strings keys = File().ReadSection("Obj");
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(File().ReadString("Obj", "Set0"), "Obj.A = 7");

    TSampleSettings target;
    props.BeginRead();
    props.ReadObject("Obj", "Set", target);
    props.ReadObject("Obj", "Nothing", target); // no lines: nothing happens
    props.EndRead();
    EXPECT_EQ(target.A, 7);
    EXPECT_EQ(target.E, -1);
}

TEST_F(SavePropTest, DamagedObjectLinesFailTheLoadAndCloseTheScope)
{
    TSample sample(nullptr, "S");
    Register(&sample, "Settings");
    WriteFile(FileName(), "[S]\nSettings0=Obj.A = 3\nSettings1=Obj.Nonsense = = (\n");
    EXPECT_THROW(props.Load(), Exception);
    EXPECT_EQ(props.OpenCount(), 0);
    EXPECT_FALSE(props.Loading());
}

TEST_F(SavePropTest, FindKeysReportsNumbersAndStrings)
{
    WriteFile(FileName(), "[Colors]\nReserve=0x1F\nComment=$10\nName=abc\nEmpty=\n=7\nNeg=-3\n[Stop]\na=1\nb=2\n");
    props.FindKeys()->Add("Colors");
    props.FindKeys()->Add("Stop");
    std::vector<std::pair<std::string, int>> numbers;
    std::vector<std::pair<std::string, std::string>> strings;
    props.OnFindOrdValue = [&](QObject *sender, const std::string &section, const std::string &key, int value,
                               bool &more) {
        EXPECT_EQ(sender, &props);
        numbers.emplace_back(key, value);
        if (section == "Stop") more = false;
    };
    props.OnFindStrValue = [&](QObject *, const std::string &, const std::string &key, const std::string &value,
                               bool &) { strings.emplace_back(key, value); };
    props.Load();
    EXPECT_EQ(numbers, (std::vector<std::pair<std::string, int>>{{"Reserve", 31}, {"Comment", 16}, {"Neg", -3}, {"a", 1}}));
    EXPECT_EQ(strings, (std::vector<std::pair<std::string, std::string>>{{"Name", "abc"}}));

    // Without the number handler numbers arrive as strings.
    props.OnFindOrdValue = nullptr;
    strings.clear();
    props.Load();
    EXPECT_EQ(strings.front(), (std::pair<std::string, std::string>{"Reserve", "0x1F"}));
}

TEST_F(SavePropTest, LoadAndSaveEvents)
{
    TSample sample(nullptr, "S");
    Register(&sample, "Number");
    std::vector<std::string> calls;
    props.OnBeforeLoad = [&](QObject *) {
        calls.push_back("before");
        throw Exception("ignored");
    };
    props.OnAfterLoad = [&](QObject *) {
        calls.push_back(props.Loading() ? "after, loading" : "after");
        props.Save(); // does nothing while loading
    };
    props.OnAfterSave = [&](QObject *) { calls.push_back(props.Saving() ? "saved, saving" : "saved"); };
    props.Load();
    EXPECT_EQ(calls, (std::vector<std::string>{"before", "after, loading"}));
    EXPECT_FALSE(QFileInfo::exists(FileName()));
    props.Save();
    EXPECT_EQ(calls.back(), "saved");
    EXPECT_EQ(File().ReadString("S", "Number"), "0");
}

TEST_F(SavePropTest, ObjectAccessOutsideAScopeIsAProgrammingError)
{
    TSampleSettings object;
#ifdef QT_NO_DEBUG
    EXPECT_THROW(props.ReadObject("S", "k", object), Exception);
    EXPECT_THROW(props.WriteObject("S", "k", object), Exception);
    EXPECT_THROW(props.FindValues("S"), Exception);
#else
    EXPECT_DEATH(props.ReadObject("S", "k", object), "SaveProp");
#endif
}

TEST_F(SavePropTest, PlacementNeedsAWindowOwner)
{
    EXPECT_THROW(props.SetRestorePlacement(TRestoreKind::Enabled), Exception);
    EXPECT_EQ(props.RestorePlacement(), TRestoreKinds());
    props.SetRestorePlacement(TRestoreKind::AllowMaximize);
    EXPECT_EQ(props.RestorePlacement(), TRestoreKinds(TRestoreKind::AllowMaximize));
}

TEST_F(SavePropTest, DefaultFileLiesBesideTheProgram)
{
    TIniSaveProps unnamed;
    const QFileInfo program(QCoreApplication::applicationFilePath());
    EXPECT_EQ(unnamed.EffectiveFileName(), program.path() + "/" + program.fileName() + ".ini");
}

TEST_F(SavePropTest, AutoLoadRunsOnceAfterConstruction)
{
    WriteFile(FileName(), "[S]\nNumber=9\n");
    QObject form;
    TSample sample(&form, "S");
    auto *autoProps = new TIniSaveProps(&form);
    autoProps->SetFileName(FileName());
    TProp &item = *autoProps->Props()->Add();
    item.SetCompo(&sample);
    item.SetPropName("Number");
    EXPECT_EQ(sample.Number, 0) << "not before the owner is whole";
    QCoreApplication::processEvents();
    EXPECT_EQ(sample.Number, 9);
    sample.Number = 1;
    autoProps->Loaded();
    EXPECT_EQ(sample.Number, 1) << "only once";
}

TEST_F(SavePropTest, AutoSaveRunsWhenANonWindowOwnerIsDestroyed)
{
    {
        QObject form;
        auto *sample = new TSample(&form, "S");
        auto *autoProps = new TIniSaveProps(&form);
        autoProps->SetFileName(FileName());
        autoProps->SetAutoLoad(false);
        TProp &item = *autoProps->Props()->Add();
        item.SetCompo(sample);
        item.SetPropName("Number");
        sample->Number = 12;
        // The owner itself is registered too; by the time it is destroyed its own class is gone.
        TProp &self = *autoProps->Props()->Add();
        self.SetCompo(&form);
        self.SetPropName("objectName");
    }
    EXPECT_EQ(File().ReadString("S", "Number"), "12");
    // AutoSave off: nothing written.
    QFile::remove(FileName());
    {
        QObject form;
        auto *autoProps = new TIniSaveProps(&form);
        autoProps->SetFileName(FileName());
        autoProps->SetAutoSave(false);
    }
    EXPECT_FALSE(QFileInfo::exists(FileName()));
}

} // namespace
