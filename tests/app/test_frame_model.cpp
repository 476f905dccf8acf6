// The frame's pieces that need no window: the child registry, the start-up login and start
// window, the ini file name, and the version block (written by the build tool, read by TVerInfo,
// and damaged in every way a file can be).
#include "app/child_registry.h"
#include "app/start_options.h"
#include "app/ver_info.h"
#include "app/version_resource.h"
#include "settings/ini_save_props.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(ChildRegistry, SlotsStayPackedInTabOrderWhenAChildCloses)
{
    TChildRegistry tags;
    EXPECT_EQ(tags.Add(1), 0);
    EXPECT_EQ(tags.Add(2), 1);
    EXPECT_EQ(tags.Add(3), 2);
    EXPECT_EQ(tags.Remove(2), 1);
    EXPECT_EQ(tags.Count(), 2);
    EXPECT_EQ(tags.TagAt(0), 1);
    EXPECT_EQ(tags.TagAt(1), 3);
    EXPECT_EQ(tags.TagAt(2), 0);
    EXPECT_EQ(tags.IndexOf(3), 1);
    EXPECT_EQ(tags.IndexOf(2), -1);
    EXPECT_EQ(tags.Remove(2), -1) << "a closed child's tag is gone";
    EXPECT_EQ(tags.Add(4), 2) << "the next child goes to the first empty slot";
}

TEST(ChildRegistry, TagZeroOfAnUnnumberedChildIsNeverFound)
{
    TChildRegistry tags;
    tags.Add(5);
    EXPECT_EQ(tags.IndexOf(0), -1);
    EXPECT_EQ(tags.Add(0), -1);
    EXPECT_EQ(tags.Add(-3), -1);
    EXPECT_EQ(tags.Remove(0), -1);
    EXPECT_EQ(tags.Count(), 1);
}

TEST(ChildRegistry, HoldsExactly255AndRefusesThe256th)
{
    TChildRegistry tags;
    for (int tag = 1; tag <= 255; ++tag)
        ASSERT_EQ(tags.Add(tag), tag - 1);
    EXPECT_TRUE(tags.Full());
    EXPECT_EQ(tags.Add(256), -1);
    EXPECT_EQ(tags.IndexOf(255), 254);
    EXPECT_EQ(tags.Remove(1), 0);
    EXPECT_EQ(tags.TagAt(0), 2);
    EXPECT_EQ(tags.TagAt(253), 255);
    EXPECT_EQ(tags.TagAt(254), 0) << "the last slot is cleared";
    EXPECT_EQ(tags.Add(256), 254);
}

struct LoginCase {
    const char *Argument;
    bool IsLogin;
    const char *User;
    const char *Password;
    const char *Host;
};

TEST(StartOptions, LoginArgumentSplitsAtTheFirstSlashAndTheFirstAtSignAfterIt)
{
    const LoginCase cases[] = {
        {"scott/tiger@demo", true, "scott", "tiger", "demo"},
        {"scott/tiger@/data/my db.kdb", true, "scott", "tiger", "/data/my db.kdb"},
        {"scott/ti/ger@demo@x", true, "scott", "ti/ger", "demo@x"},
        {"/@", true, "", "", ""},
        {"山田/パス@本番", true, "山田", "パス", "本番"},
        {"scott@demo", false},
        {"scott/tiger", false},
        {"", false},
        {"a@b/c", false},  // no "@" after the "/": not a login
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Argument);
        const auto login = ParseLoginArgument(QString::fromUtf8(c.Argument));
        ASSERT_EQ(login.has_value(), c.IsLogin);
        if (!login)
            continue;
        EXPECT_EQ(login->User, QString::fromUtf8(c.User));
        EXPECT_EQ(login->Password, QString::fromUtf8(c.Password));
        EXPECT_EQ(login->Host, QString::fromUtf8(c.Host));
    }
}

class StartFormTest : public ::testing::Test {
protected:
    QString WriteIni(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("kestrim.ini"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }
    TChildKind ReadStartForm(const QString &fileName)
    {
        TIniSaveProps ini;
        ini.SetFileName(fileName);
        return ::ReadStartForm(ini);
    }
    QTemporaryDir dir;
};

TEST_F(StartFormTest, OnlyExactSOrIChangeTheFirstWindow)
{
    EXPECT_EQ(ReadStartForm(WriteIni("[START]\r\nFORM=S\r\n")), TChildKind::SQL);
    EXPECT_EQ(ReadStartForm(WriteIni("[start]\nform = I\n")), TChildKind::INFO);
    EXPECT_EQ(ReadStartForm(WriteIni("[START]\nFORM=s\n")), TChildKind::PLSQL);
    EXPECT_EQ(ReadStartForm(WriteIni("[START]\nFORM=SQL\n")), TChildKind::PLSQL);
    EXPECT_EQ(ReadStartForm(WriteIni("[START]\nFORM=\n")), TChildKind::PLSQL);
    EXPECT_EQ(ReadStartForm(WriteIni("[OTHER]\nFORM=S\n")), TChildKind::PLSQL);
    EXPECT_EQ(ReadStartForm(dir.filePath(QStringLiteral("missing.ini"))), TChildKind::PLSQL);
}

TEST_F(StartFormTest, GarbageFilesOpenTheWorkbench)
{
    EXPECT_EQ(ReadStartForm(WriteIni(QByteArray("\x00\xff\x81[START\n=\n\x82\x5d]FORM=S", 20))),
              TChildKind::PLSQL);
    EXPECT_EQ(ReadStartForm(WriteIni(QByteArray(100000, '['))), TChildKind::PLSQL);
    EXPECT_EQ(ReadStartForm(dir.path()), TChildKind::PLSQL) << "a folder, not a file";
}

// --- Version information ---

TVersionResourceContent SpecWithFileVersion(const std::string &fileVersion)
{
    auto content = KestrimVersionContent("0.2.6.0");
    for (auto &[key, value] : content.Strings) {
        if (key == "FileVersion")
            value = fileVersion;
    }
    return content;
}

TEST(VerInfo, ReadsWhatTheBuildToolWrites)
{
    TVerInfo info(BuildVersionResource(KestrimVersionContent("0.2.6.0")));
    EXPECT_EQ(info.Language(), QStringLiteral("0411"));
    EXPECT_EQ(info.CodePage(), QStringLiteral("03A4"));
    EXPECT_EQ(info.FileVersion(), QStringLiteral("0.2.6.0"));
    EXPECT_EQ(info.Value(QStringLiteral("\\StringFileInfo\\041103A4\\ProductVersion")), QStringLiteral("0.2.6.0"));
    EXPECT_EQ(info.Value(QStringLiteral("\\stringfileinfo\\041103a4\\productname")), QStringLiteral("Kestrim"))
        << "keys compare without regard to case";
    EXPECT_EQ(info.Value(QStringLiteral("\\StringFileInfo\\041103A4\\FileDescription")),
              QStringLiteral("Oracle データベース作業台"));
    EXPECT_EQ(info.Major(), QStringLiteral("0"));
    EXPECT_EQ(info.Minor(), QStringLiteral("2"));
    EXPECT_EQ(info.Release(), QStringLiteral("6"));
    EXPECT_EQ(info.VersionPart(3), QStringLiteral("0"));
    EXPECT_EQ(info.Size() % 4, 0u);
}

TEST(VerInfo, AbsentPathsRaiseAndPresentEmptyValuesAreEmpty)
{
    auto content = KestrimVersionContent("0.2.6.0");
    content.Strings.push_back({"Comments", " \t \r\n"});
    TVerInfo info(BuildVersionResource(content));
    EXPECT_EQ(info.Value(QStringLiteral("\\StringFileInfo\\041103A4\\Comments")), QString());
    EXPECT_THROW(info.Value(QStringLiteral("\\StringFileInfo\\041103A4\\NoSuchKey")), EVerInfo);
    EXPECT_THROW(info.Value(QStringLiteral("\\StringFileInfo\\040904E4\\FileVersion")), EVerInfo);
    try {
        info.Value(QStringLiteral("\\Nowhere"));
        FAIL();
    } catch (const EVerInfo &error) {
        EXPECT_EQ(error.Message(), QStringLiteral("バージョン情報が取得できません."));
    }
}

struct VersionPartCase {
    const char *FileVersion;
    const char *Parts[5];
};

TEST(VerInfo, VersionPartsStayWithinFourPartsOfTenCharacters)
{
    const VersionPartCase cases[] = {
        {"1.2.3.4.5.6", {"1", "2", "3", "4", ""}},
        {"  7 . 8 ", {"7", "8", "", "", ""}},
        {"12345678901234.2", {"1234567890", "2", "", "", ""}},
        {"", {"", "", "", "", ""}},
        {"...", {"", "", "", "", ""}},
        {"版1.二.3", {"版1", "二", "3", "", ""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.FileVersion);
        TVerInfo info(BuildVersionResource(SpecWithFileVersion(c.FileVersion)));
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(info.VersionPart(k), QString::fromUtf8(c.Parts[k])) << "part " << k;
        EXPECT_EQ(info.VersionPart(-1), QString());
    }
}

TEST(VerInfo, BlocksWithoutTranslationOrWithBrokenLengthsRaise)
{
    EXPECT_THROW(TVerInfo(std::vector<std::uint8_t>{}), EVerInfo);
    const auto good = BuildVersionResource(KestrimVersionContent("0.2.6.0"));

    auto truncated = good;
    truncated.resize(good.size() / 2);
    EXPECT_THROW(TVerInfo{truncated}, EVerInfo) << "root length beyond the block";

    auto zeroLength = good;
    zeroLength[0] = zeroLength[1] = 0;
    EXPECT_THROW(TVerInfo{zeroLength}, EVerInfo);

    // The translation entry renamed: no "\VarFileInfo\Translation".
    auto noTranslation = good;
    const std::u16string key = u"Translation";
    const auto *keyBytes = reinterpret_cast<const std::uint8_t *>(key.data());
    auto found = std::search(noTranslation.begin(), noTranslation.end(), keyBytes, keyBytes + key.size() * 2);
    ASSERT_NE(found, noTranslation.end());
    *found = 'X';
    EXPECT_THROW(TVerInfo{noTranslation}, EVerInfo);
}

// Random damage to a good block: every outcome is a value or EVerInfo, never a read outside the
// block (the sanitizer build runs this too).
TEST(VerInfo, RandomlyDamagedBlocksNeverReadOutside)
{
    const auto good = BuildVersionResource(KestrimVersionContent("0.2.6.0"));
    std::mt19937 random(20261207);
    for (int round = 0; round < 3000; ++round) {
        auto block = good;
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < changes; ++i)
            block[random() % block.size()] = static_cast<std::uint8_t>(random());
        if (round % 7 == 0)
            block.resize(random() % block.size());
        try {
            TVerInfo info(block);
            (void)info.FileVersion();
            (void)info.VersionPart(2);
        } catch (const EVerInfo &) {
        }
    }
}

TEST(VerInfo, FindsTheBlockInAProgramFileAndRaisesForFilesWithoutOne)
{
    // This test program carries the same generated block as kestrim.
    TVerInfo own(QStringLiteral("/proc/self/exe"));
    EXPECT_EQ(own.FileVersion(), QStringLiteral("0.2.6.0"));
    EXPECT_EQ(own.Value(QStringLiteral("\\StringFileInfo\\041103A4\\ProductVersion")), QStringLiteral("0.2.6.0"));

    EXPECT_THROW(TVerInfo(QStringLiteral(KESTRIM_PROGRAM_WITHOUT_VERSION)), EVerInfo);
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x7f" "ELF but not really");
    file.close();
    EXPECT_THROW(TVerInfo{text}, EVerInfo);
    EXPECT_THROW(TVerInfo(dir.filePath(QStringLiteral("missing"))), EVerInfo);
    EXPECT_THROW(TVerInfo(dir.path()), EVerInfo);
}

// A program file whose section table points outside the file: the reader checks every offset.
TEST(VerInfo, ProgramFilesWithDamagedSectionTablesRaise)
{
    QFile own(QStringLiteral("/proc/self/exe"));
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    const QByteArray image = own.readAll();
    QTemporaryDir dir;
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        QByteArray damaged = image;
        // Damage the ELF header's section fields (offset 0x28 to 0x40 in a 64-bit header).
        for (int i = 0; i < 3; ++i)
            damaged[0x28 + static_cast<int>(random() % 0x18)] = static_cast<char>(random());
        const QString path = dir.filePath(QStringLiteral("damaged"));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(damaged);
        out.close();
        try {
            TVerInfo info(path);
            (void)info.FileVersion();
        } catch (const EVerInfo &) {
        }
    }
}

} // namespace
