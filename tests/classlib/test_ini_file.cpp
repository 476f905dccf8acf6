// Tests of the in-memory ini file: forgiving reading of hand-written and damaged files, lookups
// that ignore letter case but not trail bytes, the whole-file rewrite, and saving that never
// loses the old file.
#include "classlib/ini_file.h"

#include "classlib/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Strings = std::vector<std::string>;

TIniFile Parse(std::string_view text)
{
    TIniFile ini;
    ini.LoadFromText(text);
    return ini;
}

void WriteFile(const QString &name, std::string_view bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string ReadFile(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll().toStdString();
}

TEST(IniRead, SectionsAndKeysIgnoreLetterCase)
{
    const TIniFile ini = Parse("[Start]\r\nForm=S\r\n[edit]\r\n  Read_Only = 1 \r\nBEFORE=-a -b\r\n");
    EXPECT_EQ(ini.ReadString("START", "form"), "S");
    EXPECT_EQ(ini.ReadString("Edit", "read_only"), "1") << "blanks around key and value dropped";
    EXPECT_EQ(ini.ReadString("EDIT", "before"), "-a -b");
    EXPECT_EQ(ini.ReadString("EDIT", "AFTER", "none"), "none");
    EXPECT_EQ(ini.ReadString("Missing", "AFTER", "none"), "none");
    EXPECT_TRUE(ini.SectionExists("start"));
    EXPECT_TRUE(ini.ValueExists("edit", "Before"));
    EXPECT_FALSE(ini.ValueExists("edit", "After"));
    EXPECT_EQ(ini.ReadSections(), (Strings{"Start", "edit"}));
    EXPECT_EQ(ini.ReadSection("EDIT"), (Strings{"Read_Only", "BEFORE"}));
    EXPECT_EQ(ini.ReadSectionValues("EDIT"), (Strings{"Read_Only=1", "BEFORE=-a -b"}));
}

TEST(IniRead, TrailBytesAreNeitherBracketsNorFoldedLetters)
{
    // 0x81 0x5D (‐) ends in "]", 0x82 0x61 / 0x82 0x41 differ only in a trail byte "a" / "A".
    const TIniFile ini = Parse("[a\x81\x5D" "b]\nk=1\n[\x82\x61]\nk=lower\n[\x82\x41]\nk=upper");
    EXPECT_EQ(ini.ReadSections(), (Strings{"a\x81\x5D" "b", "\x82\x61", "\x82\x41"}));
    EXPECT_EQ(ini.ReadString("a\x81\x5D" "b", "k"), "1");
    EXPECT_EQ(ini.ReadString("\x82\x61", "k"), "lower");
    EXPECT_EQ(ini.ReadString("\x82\x41", "k"), "upper");
}

TEST(IniRead, DamagedFilesStillRead)
{
    const std::string text =
        "garbage before any section\n"
        "orphan=1\n"
        "[One\n"                      // no closing bracket: a garbage line of no section
        "[S]\n[x=1\n"                 // nor an entry
        "[S]  trailing words\r"       // CR-only line end; text after "]" ignored
        "; comment\r\n"
        "no equals sign here\n"
        "\x81\x0A"                    // a stray lead byte before a line break
        "bad=\xFF\x85\x40\n"          // invalid code page 932 in a value is kept as bytes
        "=empty key\n"
        "last=no final break";
    const TIniFile ini = Parse(text);
    EXPECT_EQ(ini.ReadSections(), (Strings{"S"}));
    EXPECT_EQ(ini.ReadString("S", "bad"), "\xFF\x85\x40");
    EXPECT_EQ(ini.ReadString("S", "last"), "no final break");
    EXPECT_EQ(ini.ReadString("S", "orphan", "-"), "-") << "entries before a section are not read";
    EXPECT_EQ(ini.ReadSection("S"), (Strings{"bad", "", "last"}));
}

TEST(IniRead, DuplicateSectionsMergeAndTheFirstKeyWins)
{
    TIniFile ini = Parse("[A]\nx=1\ny=first\n[B]\nz=3\n[a]\ny=second\nw=4\n");
    EXPECT_EQ(ini.ReadSections(), (Strings{"A", "B"}));
    EXPECT_EQ(ini.ReadString("A", "y"), "first");
    EXPECT_EQ(ini.ReadSection("A"), (Strings{"x", "y", "w"}));
    ini.WriteString("A", "Y", "changed");
    EXPECT_EQ(ini.ReadString("A", "y"), "changed");
    ini.DeleteKey("A", "y");
    EXPECT_FALSE(ini.ValueExists("A", "y")) << "a later duplicate must not resurface after DeleteKey";
    EXPECT_EQ(Parse(ini.ToText()).ReadSection("A"), (Strings{"x", "w"}));
}

TEST(IniWrite, RewriteLayoutKeepsOrderAndUntouchedLines)
{
    TIniFile ini = Parse("junk\n[S]\n;note\nk=v\n\n\n[T]\nx=1");
    ini.WriteString("s", "new", "n");
    ini.WriteString("U", "key", "u");
    ini.WriteString("T", "X", "2");
    EXPECT_EQ(ini.ToText(),
              "junk\r\n\r\n[S]\r\n;note\r\nk=v\r\nnew=n\r\n\r\n[T]\r\nx=2\r\n\r\n[U]\r\nkey=u\r\n");
    ini.EraseSection("t");
    EXPECT_FALSE(ini.SectionExists("T"));
    EXPECT_EQ(ini.ReadSections(), (Strings{"S", "U"}));
    EXPECT_EQ(ini.ReadString("U", "key"), "u") << "the index follows the erase";
}

TEST(IniWrite, ValuesThatWouldSplitALineAreFlattened)
{
    TIniFile ini;
    ini.WriteString("S", "k", "one\r\n[Evil]\nx=1");
    ini.WriteString("S", "a=b", " padded ");
    const TIniFile again = Parse(ini.ToText());
    EXPECT_EQ(again.ReadSections(), (Strings{"S"}));
    EXPECT_EQ(again.ReadString("S", "k"), "one  [Evil] x=1");
    EXPECT_EQ(again.ReadString("S", "a_b"), "padded");
}

TEST(IniWrite, NamesThatWouldBreakTheFileStillReadBack)
{
    TIniFile ini;
    ini.WriteString("a]b", "k", "1");      // "[a]b]" would read as section "a"
    ini.WriteString("ab\x81", "k", "2");   // the stray lead byte would swallow the "]"
    ini.WriteString("S", "[T", "3]");      // "[T=3]" would read as a section line
    ini.WriteString(" S ", "  k2 ", "4");
    const TIniFile again = Parse(ini.ToText());
    EXPECT_EQ(again.ReadSections(), (Strings{"a_b", "ab?", "S"}));
    EXPECT_EQ(again.ReadString("a]b", "k"), "1");
    EXPECT_EQ(again.ReadString("ab\x81", "k"), "2");
    EXPECT_EQ(again.ReadString("S", "[T"), "3]");
    EXPECT_EQ(again.ReadString("S", "k2"), "4");
}

TEST(IniFileOnDisk, MissingFileIsEmptyAndSaveCreatesIt)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("k.ini");
    TIniFile ini(name);
    EXPECT_TRUE(ini.Loaded());
    EXPECT_TRUE(ini.ReadSections().empty());
    ini.WriteString("START", "FORM", "\x95\x5C");
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(name), "[START]\r\nFORM=\x95\x5C\r\n");
    EXPECT_EQ(TIniFile(name).ReadString("start", "form"), "\x95\x5C");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"k.ini"}) << "no temporary left";
}

TEST(IniFileOnDisk, UnwritableFolderRaisesAndKeepsTheOldFile)
{
    if (geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
    QTemporaryDir dir;
    const QString name = dir.filePath("k.ini");
    WriteFile(name, "[A]\nx=1\n");
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0500), 0);
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadString("A", "x"), "1");
    ini.WriteString("A", "x", "2");
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
    chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_EQ(ReadFile(name), "[A]\nx=1\n");
}

TEST(IniFileOnDisk, MissingFolderRaisesTheCreateError)
{
    QTemporaryDir dir;
    TIniFile ini(dir.filePath("no/such/folder/k.ini"));
    EXPECT_EQ(ini.ReadString("A", "x", "default"), "default");
    ini.WriteString("A", "x", "1");
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
}

TEST(IniFileOnDisk, AFolderInPlaceOfTheFileIsNeitherReadNorReplaced)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("k.ini");
    ASSERT_TRUE(QDir(dir.path()).mkdir("k.ini"));
    TIniFile ini(name);
    EXPECT_FALSE(ini.Loaded());
    ini.WriteString("A", "x", "1");
    EXPECT_THROW(ini.UpdateFile(), EStreamError);
    EXPECT_TRUE(QFileInfo(name).isDir());
}

TEST(IniFileOnDisk, UnreadableFileIsNeverOverwritten)
{
    if (geteuid() == 0) GTEST_SKIP() << "root may read anything";
    QTemporaryDir dir;
    const QString name = dir.filePath("k.ini");
    WriteFile(name, "[A]\nx=1\n");
    ASSERT_EQ(chmod(QFile::encodeName(name).constData(), 0200), 0);
    TIniFile ini(name);
    EXPECT_FALSE(ini.Loaded());
    EXPECT_EQ(ini.ReadString("A", "x", "default"), "default");
    ini.WriteString("B", "y", "1");
    EXPECT_THROW(ini.UpdateFile(), EFOpenError);
    chmod(QFile::encodeName(name).constData(), 0600);
    EXPECT_EQ(ReadFile(name), "[A]\nx=1\n");
}

TEST(IniFileOnDisk, RewriteKeepsWhatItDidNotChange)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("k.ini");
    WriteFile(name, "; Kestrim\n[START]\nFORM=S\n[SQL]\nLEFT=120\n[start]\nextra=\x81");
    {
        TIniFile ini(name);
        ini.WriteString("SQL", "LEFT", "200");
        ini.UpdateFile();
    }
    const TIniFile ini(name);
    EXPECT_EQ(ini.ReadString("START", "FORM"), "S");
    EXPECT_EQ(ini.ReadString("START", "extra"), "\x81");
    EXPECT_EQ(ini.ReadString("SQL", "LEFT"), "200");
    EXPECT_EQ(ReadFile(name).substr(0, 12), "; Kestrim\r\n\r");
}

} // namespace
