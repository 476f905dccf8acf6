// The search dialog on the offscreen platform: what it returns, what it keeps in the user's
// settings store, and how it reads a store that is missing, damaged or full.
#include "settings/form_search.h"
#include "settings/search_settings.h"

#include "editor/find_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

class FormSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    }

    QString StoreFile() const { return home.path() + "/Kestrim/TStrings Property Editor.conf"; }

    void WriteStore(const QByteArray &content)
    {
        QDir().mkpath(home.path() + "/Kestrim");
        QFile file(StoreFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    TSearchSettings Stored()
    {
        QSettings store = TSearchSettings::OpenStore();
        return TSearchSettings::Load(store);
    }

    // Runs ShowSearchDialog, letting act work the dialog once it is up.
    bool Run(const std::function<void(TFormSearch &)> &act, std::string &text, unsigned &options)
    {
        QTimer::singleShot(0, [&] {
            auto *form = qobject_cast<TFormSearch *>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            act(*form);
            if (form->isVisible())
                form->reject();
        });
        return ShowSearchDialog(text, options);
    }

    static void Type(TFormSearch &form, const QString &text)
    {
        // Key events carry ASCII only; other text arrives as an input method commits it.
        QLineEdit *edit = form.ComboBox1->lineEdit();
        edit->clear();
        bool ascii = true;
        for (const QChar c : text)
            ascii = ascii && c.unicode() < 0x80;
        if (ascii)
            QTest::keyClicks(edit, text);
        else
            edit->insert(text);
    }

    QTemporaryDir home;
};

TEST_F(FormSearchTest, ControlsCarryTheirNamesAndCaptions)
{
    TFormSearch form;
    EXPECT_EQ(form.windowTitle(), "検索");
    EXPECT_EQ(form.size(), QSize(520, 159));
    EXPECT_EQ(form.findChild<QLabel *>("Label1")->text(), "検索する文字列(&T):");
    EXPECT_TRUE(form.findChild<QComboBox *>("ComboBox1")->isEditable());
    for (const char *name : {"btnOK", "btnCancel", "btnHelp"})
        EXPECT_NE(form.findChild<QPushButton *>(name), nullptr) << name;
    EXPECT_EQ(form.findChild<QPushButton *>("btnHelp")->property("helpContext").toInt(), 20400);
    EXPECT_EQ(form.findChild<QGroupBox *>("RadioGroup1")->title(), " 検索方向 ");
    EXPECT_EQ(form.findChild<QGroupBox *>("GroupBox1")->title(), " ｵﾌﾟｼｮﾝ ");
    EXPECT_EQ(form.findChild<QRadioButton *>("RadioGroup1_0")->text(), "後方(&B)");
    EXPECT_EQ(form.findChild<QRadioButton *>("RadioGroup1_1")->text(), "前方(&D)");
    EXPECT_EQ(form.findChild<QCheckBox *>("chkMatchCase")->text(), "大/小文字の区別(&C)");
    EXPECT_EQ(form.findChild<QCheckBox *>("chkWholeWord")->text(), "単語単位で探す(&W)");
    EXPECT_EQ(form.findChild<QCheckBox *>("chkNoMatchZenkaku")->text(), "全角・半角を区別しない(&Z)");
    EXPECT_EQ(form.findChild<QCheckBox *>("chkIncludeCRLF")->text(), "改行・スペースを無視(&L)");
}

TEST_F(FormSearchTest, OkReturnsTheTextAndOptionsAndKeepsThemForNextTime)
{
    std::string text = "stale";
    unsigned options = 0xFFFF;
    ASSERT_TRUE(Run(
        [](TFormSearch &form) {
            EXPECT_TRUE(form.focusWidget() == form.ComboBox1 || form.ComboBox1->isAncestorOf(form.focusWidget()));
            EXPECT_EQ(form.Direction(), 1) << "forward when nothing is stored";
            Type(form, QStringLiteral("表示"));
            QTest::mouseClick(form.chkIncludeCRLF, Qt::LeftButton);
            QTest::mouseClick(form.findChild<QRadioButton *>("RadioGroup1_0"), Qt::LeftButton);
            QTest::mouseClick(form.btnOK, Qt::LeftButton);
        },
        text, options));
    EXPECT_EQ(text, "\x95\x5C\x8E\xA6") << "the text comes back as code page 932";
    EXPECT_EQ(options, unsigned(soIgnoreLineBreaks | soIgnoreBlanks)) << "backward, blanks and line breaks ignored";

    // The next time the dialog opens with the same options and the text ready to be replaced.
    ASSERT_TRUE(Run(
        [](TFormSearch &form) {
            EXPECT_TRUE(form.chkIncludeCRLF->isChecked());
            EXPECT_FALSE(form.chkMatchCase->isChecked());
            EXPECT_EQ(form.Direction(), 0);
            EXPECT_EQ(form.ComboBox1->currentText(), QStringLiteral("表示"));
            EXPECT_EQ(form.ComboBox1->lineEdit()->selectedText(), QStringLiteral("表示"));
            QTest::mouseClick(form.chkMatchCase, Qt::LeftButton);
            QTest::mouseClick(form.chkWholeWord, Qt::LeftButton);
            QTest::mouseClick(form.chkNoMatchZenkaku, Qt::LeftButton);
            QTest::mouseClick(form.chkIncludeCRLF, Qt::LeftButton);
            QTest::mouseClick(form.findChild<QRadioButton *>("RadioGroup1_1"), Qt::LeftButton);
            QTest::keyClicks(form.ComboBox1->lineEdit(), "id");
            QTest::keyClick(form.ComboBox1->lineEdit(), Qt::Key_Return);  // Enter presses OK
        },
        text, options));
    EXPECT_EQ(text, "id");
    EXPECT_EQ(options, unsigned(soDown | soMatchCase | soWholeWord | soNoMatchZenkaku));
    EXPECT_EQ(Stored().History, QStringList({"id", QStringLiteral("表示")}));
}

TEST_F(FormSearchTest, CancelAndEmptyTextReturnFalse)
{
    std::string text;
    unsigned options = 0;
    EXPECT_FALSE(Run(
        [](TFormSearch &form) {
            Type(form, "abc");
            QTest::mouseClick(form.chkMatchCase, Qt::LeftButton);
            QTest::mouseClick(form.btnCancel, Qt::LeftButton);
        },
        text, options));
    EXPECT_FALSE(QFile::exists(StoreFile())) << "Cancel keeps nothing";
    EXPECT_EQ(text, "");
    EXPECT_EQ(options, 0u);

    // OK on an empty field finds nothing to search, but the options are kept.
    EXPECT_FALSE(Run(
        [](TFormSearch &form) {
            QTest::mouseClick(form.chkWholeWord, Qt::LeftButton);
            QTest::mouseClick(form.btnOK, Qt::LeftButton);
        },
        text, options));
    EXPECT_TRUE(Stored().WholeWord);
    EXPECT_TRUE(Stored().History.isEmpty());
}

TEST_F(FormSearchTest, HistoryKeepsThirtyTwoDistinctEntriesMostRecentFirst)
{
    TSearchSettings settings;
    for (int i = 1; i <= 32; ++i)
        settings.Remember(QString("text%1").arg(i));
    {
        QSettings store = TSearchSettings::OpenStore();
        settings.Save(store);
    }
    std::string text;
    unsigned options = 0;
    // The 33rd distinct string pushes the oldest out.
    ASSERT_TRUE(Run([](TFormSearch &form) { Type(form, "text33"); form.btnOK->click(); }, text, options));
    QStringList history = Stored().History;
    ASSERT_EQ(history.size(), 32);
    EXPECT_EQ(history.first(), "text33");
    EXPECT_EQ(history.last(), "text2");
    // A string already there moves to the top; letter case makes a different string.
    ASSERT_TRUE(Run([](TFormSearch &form) { Type(form, "text10"); form.btnOK->click(); }, text, options));
    ASSERT_TRUE(Run([](TFormSearch &form) { Type(form, "TEXT10"); form.btnOK->click(); }, text, options));
    history = Stored().History;
    EXPECT_EQ(history.size(), 32);
    EXPECT_EQ(history.mid(0, 3), QStringList({"TEXT10", "text10", "text33"}));
    EXPECT_EQ(history.count("text10"), 1);
}

TEST_F(FormSearchTest, DamagedStoreReadsAsDefaults)
{
    // Values edited by hand: words for numbers, a number outside the direction group, a list and
    // a binary value where strings belong, a history with empty entries and repeats.
    WriteStore("[Options]\n"
               "MatchCase=yes\n"
               "WholeWord=2\n"
               "NoMatchZenkaku=@ByteArray(\\0\\x1)\n"
               "IncludeCRLF=1, 0\n"
               "Direction=7\n"
               "[SearchItems]\n"
               "Text=\"a\\r\\n\\r\\nb\\r\\na\\r\\nc\"\n");
    TSearchSettings settings = Stored();
    EXPECT_FALSE(settings.MatchCase);
    EXPECT_TRUE(settings.WholeWord) << "any non-zero number is true";
    EXPECT_FALSE(settings.NoMatchZenkaku);
    EXPECT_FALSE(settings.IncludeCRLF);
    EXPECT_EQ(settings.Direction, 1);
    EXPECT_EQ(settings.History, QStringList({"a", "b", "c"}));

    WriteStore("[SearchItems]\nText=one, two\n[Options]\nDirection=abc\n");
    settings = Stored();
    EXPECT_TRUE(settings.History.isEmpty());
    EXPECT_EQ(settings.Direction, 1);

    // Garbage that is not an ini file at all still opens the dialog with its defaults.
    WriteStore(QByteArray("\x00\xFF[[[=\n\x95\x5C=\\", 12));
    std::string text;
    unsigned options = 0;
    ASSERT_TRUE(Run(
        [](TFormSearch &form) {
            EXPECT_EQ(form.ComboBox1->count(), 0);
            EXPECT_EQ(form.Direction(), 1);
            Type(form, "x");
            form.btnOK->click();
        },
        text, options));
    EXPECT_EQ(options, unsigned(soDown));
}

TEST_F(FormSearchTest, HelpButtonAsksForItsTopic)
{
    int shown = 0;
    TFormSearch::HelpHandler = [&](int context) { shown = context; };
    TFormSearch form;
    form.btnHelp->click();
    TFormSearch::HelpHandler = nullptr;
    EXPECT_EQ(shown, 20400);
}

} // namespace
