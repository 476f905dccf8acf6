// The login bar's keys: "user/password@host" typed straight through, Enter forward, Shift+Enter
// (Shift alone) back, Enter in the host field asks to connect; and the bar's controls as the
// windows and F1 expect them.
#include "db/escape_watch.h"
#include "db/form_helpers.h"
#include "db/login_bar.h"
#include "tests/support/gui_support.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

class LoginBarTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { guitest::App(); }

    void SetUp() override
    {
        bar = new TLoginBar(&window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(bar);
        guitest::ShowActive(window);
        bar->txtUSR->setFocus();
    }

    QWidget *Focused() { return window.focusWidget(); }

    QWidget window;
    TLoginBar *bar = nullptr;
};

TEST_F(LoginBarTest, TypingUserSlashPasswordAtHostFillsTheThreeFields)
{
    QSignalSpy connectRequests(bar, &TLoginBar::ConnectRequested);
    guitest::TypeText(window, QStringLiteral("scott/tiger@demo"));
    EXPECT_EQ(bar->txtUSR->text(), QStringLiteral("scott"));
    EXPECT_EQ(bar->txtPWD->text(), QStringLiteral("tiger"));
    EXPECT_EQ(bar->txtDSN->text(), QStringLiteral("demo"));
    EXPECT_EQ(Focused(), bar->txtDSN);
    EXPECT_EQ(connectRequests.count(), 0);

    guitest::PressKey(window, Qt::Key_Return);
    EXPECT_EQ(connectRequests.count(), 1);
    EXPECT_EQ(Focused(), bar->txtDSN) << "connecting leaves the focus to the window";
    EXPECT_EQ(bar->Login(), (TLogin{QStringLiteral("scott"), QStringLiteral("tiger"), QStringLiteral("demo")}));
}

TEST_F(LoginBarTest, SlashOnlyLeavesTheUserFieldAndAtSignOnlyThePasswordField)
{
    // "@" is ordinary text in the user field, "/" in the password and host fields.
    guitest::TypeText(window, QStringLiteral("a@b/p/q@h/x@y"));
    EXPECT_EQ(bar->txtUSR->text(), QStringLiteral("a@b"));
    EXPECT_EQ(bar->txtPWD->text(), QStringLiteral("p/q"));
    EXPECT_EQ(bar->txtDSN->text(), QStringLiteral("h/x@y"));
}

TEST_F(LoginBarTest, EnterMovesForwardAndShiftAloneMovesBack)
{
    QSignalSpy connectRequests(bar, &TLoginBar::ConnectRequested);
    guitest::PressKey(window, Qt::Key_Return);
    EXPECT_EQ(Focused(), bar->txtPWD);
    guitest::PressKey(window, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), bar->txtUSR);
    guitest::PressKey(window, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Focused(), bar->txtPWD) << "the keypad's Enter is Enter too";
    guitest::PressKey(window, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
    EXPECT_EQ(Focused(), bar->txtUSR);
    guitest::PressKey(window, Qt::Key_Return);
    guitest::PressKey(window, Qt::Key_Return, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(Focused(), bar->txtDSN) << "Shift+Ctrl+Enter goes forward like Enter";
    guitest::PressKey(window, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), bar->txtPWD);
    guitest::PressKey(window, Qt::Key_Return);
    guitest::PressKey(window, Qt::Key_Return, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(connectRequests.count(), 1) << "Shift+Ctrl+Enter in the host field connects";
    EXPECT_EQ(bar->txtUSR->text() + bar->txtPWD->text() + bar->txtDSN->text(), QString())
        << "Enter inserts nothing";
}

TEST_F(LoginBarTest, MovingToAFieldSelectsItsTextSoTypingReplacesIt)
{
    bar->SetLogin({QStringLiteral("old"), QStringLiteral("oldpw"), QStringLiteral("oldhost")});
    guitest::TypeText(window, QStringLiteral("/new@"));
    EXPECT_EQ(bar->txtUSR->text(), QStringLiteral("old"));
    EXPECT_EQ(bar->txtPWD->text(), QStringLiteral("new"));
    guitest::TypeText(window, QStringLiteral("h"));
    EXPECT_EQ(bar->txtDSN->text(), QStringLiteral("h"));
}

TEST_F(LoginBarTest, ControlsCarryTheirNamesHintsHelpContextsAndFont)
{
    EXPECT_EQ(bar->objectName(), QStringLiteral("PanelTOP"));
    EXPECT_EQ(bar->height(), 33);
    EXPECT_EQ(bar->findChild<QLineEdit *>(QStringLiteral("txtUSR")), bar->txtUSR);
    EXPECT_EQ(bar->findChild<QLineEdit *>(QStringLiteral("txtPWD")), bar->txtPWD);
    EXPECT_EQ(bar->findChild<QLineEdit *>(QStringLiteral("txtDSN")), bar->txtDSN);
    EXPECT_EQ(bar->txtUSR->width(), 113);
    EXPECT_EQ(formutil::HelpContext(bar->txtUSR), 3001);
    EXPECT_EQ(formutil::HelpContext(bar->txtPWD), 3002);
    EXPECT_EQ(formutil::HelpContext(bar->txtDSN), 3003);
    EXPECT_EQ(bar->txtUSR->toolTip(), QStringLiteral("ユーザ名"));
    EXPECT_EQ(bar->txtPWD->statusTip(), QStringLiteral("パスワード"));
    EXPECT_EQ(bar->txtDSN->toolTip(), QStringLiteral("ホスト文字列"));
    for (auto *field : {bar->txtUSR, bar->txtPWD, bar->txtDSN})
        EXPECT_EQ(field->font().pixelSize(), 15);
    bar->txtPWD->setText(QStringLiteral("secret"));
    EXPECT_EQ(bar->txtPWD->displayText(), QStringLiteral("******"));
}

TEST(FormHelpers, HintsSplitAtTheBarAndHelpContextsComeFromTheNearestAncestor)
{
    guitest::App();
    QWidget outer;
    QWidget inner(&outer);
    QWidget leaf(&inner);
    formutil::SetHelpContext(&outer, 1);
    EXPECT_EQ(formutil::HelpContextOfWidget(&leaf), 1);
    formutil::SetHelpContext(&inner, 3005);
    EXPECT_EQ(formutil::HelpContextOfWidget(&leaf), 3005);
    EXPECT_EQ(formutil::HelpContextOfWidget(nullptr), 0);

    formutil::SetHint(&leaf, QStringLiteral("新規|新規ファイルの作成"));
    EXPECT_EQ(leaf.toolTip(), QStringLiteral("新規"));
    EXPECT_EQ(leaf.statusTip(), QStringLiteral("新規ファイルの作成"));
    formutil::SetHint(&leaf, QStringLiteral("ファイル関連の機能"));
    EXPECT_EQ(leaf.toolTip(), QStringLiteral("ファイル関連の機能"));
    EXPECT_EQ(leaf.statusTip(), QStringLiteral("ファイル関連の機能"));
    formutil::SetHint(&leaf, QStringLiteral("a|b|c"));
    EXPECT_EQ(leaf.statusTip(), QStringLiteral("b|c"));
}

TEST(FormHelpers, FileFiltersBecomeQtFiltersMatchingBothCases)
{
    EXPECT_EQ(formutil::QtFileFilter(QStringLiteral("CSVファイル(*.CSV)|*.CSV|全て(*.*)|*.*")),
              QStringLiteral("CSVファイル(*.CSV *.csv);;全て(*.*)"));
    EXPECT_EQ(formutil::QtFileFilter(QStringLiteral("Text|*.TXT;*.log")),
              QStringLiteral("Text (*.TXT *.txt *.log)"));
    EXPECT_EQ(formutil::QtFileFilter(QStringLiteral("odd|")), QStringLiteral("odd ()"));
    EXPECT_EQ(formutil::QtFileFilter(QStringLiteral("no pattern")), QString());
}

TEST(EscapeWatch, ReadingTheFlagClearsItSoOnlyLaterPressesCount)
{
    guitest::App();
    QWidget window;
    QLineEdit field(&window);
    EXPECT_FALSE(TEscapeWatch::Pressed());
    QTest::keyClick(&field, Qt::Key_Escape);
    QTest::keyClick(&field, Qt::Key_A);
    EXPECT_TRUE(TEscapeWatch::Pressed());
    EXPECT_FALSE(TEscapeWatch::Pressed());
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_FALSE(TEscapeWatch::Pressed());
}

} // namespace
