// The frame with its child windows on the real engine: start-up from the argument and the ini
// file, the registry of tags and tabs, the menus of the active child, pending login through
// File > New, connection failure and reconnection, the 256th window, help and About.
#include "app/about_box.h"
#include "app/help_viewer.h"
#include "app/main_form.h"
#include "app/ver_info.h"
#include "db/child_form.h"
#include "db/form_helpers.h"
#include "db/login_bar.h"
#include "classlib/string_grid.h"
#include "db/ora_database.h"
#include "localdb/localdb.h"
#include "monitor/info_form.h"
#include "plsql/plsql_form.h"
#include "sql/sql_form.h"
#include "tests/support/gui_support.h"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <memory>

namespace {

class FrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        guitest::App();
        folder = new QTemporaryDir;
        databasePath = folder->filePath(QStringLiteral("frame.kdb"));
        localdb::Session::createDatabase(databasePath.toStdString(), "manager");
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }

    void TearDown() override
    {
        if (frame) {
            frame->close();
            frame.reset();
        }
        Settle();
    }

    static QString GoodLogin() { return QStringLiteral("system/manager@") + databasePath; }
    static QString ConnectedCaption(QChar kind)
    {
        return QString(kind) + QStringLiteral(" system@") + databasePath;
    }

    // Starts a frame as the program does, with the given argument and ini content.
    void Start(const QStringList &arguments = {}, const QByteArray &ini = {})
    {
        const QString iniPath = folder->filePath(QStringLiteral("kestrim.ini"));
        QFile::remove(iniPath);
        if (!ini.isNull()) {
            QFile file(iniPath);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(ini);
        }
        frame = std::make_unique<TMainForm>();
        frame->SetIniFileName(iniPath);
        frame->SetStartArguments(arguments);
        guitest::ShowActive(*frame);
        WaitFor([&] { return frame->ChildCounter() == 1; });
    }

    static void Settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    template <class Condition> static void WaitFor(Condition condition)
    {
        for (int i = 0; i < 200 && !condition(); ++i)
            QTest::qWait(5);
    }

    TChildForm *Active() { return frame->ActiveChild(); }
    QStringList Tabs()
    {
        QStringList tabs;
        for (int i = 0; i < frame->tabPAGE->count(); ++i)
            tabs.append(frame->tabPAGE->tabText(i));
        return tabs;
    }
    std::vector<int> Slots()
    {
        std::vector<int> tags;
        for (int i = 0; i < frame->ChildTags().Count(); ++i)
            tags.push_back(frame->ChildTags().TagAt(i));
        return tags;
    }
    static QAction *Item(QObject *owner, const char *name)
    {
        auto *action = owner->findChild<QAction *>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    void Trigger(QObject *owner, const char *name)
    {
        if (QAction *action = Item(owner, name))
            action->trigger();
        Settle();
    }
    void CloseChild(TChildForm *child)
    {
        Trigger(child, "MNU_CLOSE");
    }
    void TypeLoginAndConnect(TChildForm *child, const QString &login)
    {
        child->txtUSR->setFocus();
        guitest::TypeText(*frame, login);
        guitest::PressKey(*frame, Qt::Key_Return);
        Settle();
    }

    static QTemporaryDir *folder;
    static QString databasePath;
    std::unique_ptr<TMainForm> frame;
};

QTemporaryDir *FrameTest::folder = nullptr;
QString FrameTest::databasePath;

TEST_F(FrameTest, StartsWithAnUnconnectedWorkbenchWhenNothingIsGiven)
{
    Start();
    ASSERT_NE(Active(), nullptr);
    EXPECT_NE(qobject_cast<TfrmPLSQL *>(Active()), nullptr);
    EXPECT_EQ(Active()->Caption(), QStringLiteral("P 接続1"));
    EXPECT_EQ(Tabs(), QStringList{QStringLiteral("P 接続1")});
    EXPECT_EQ(Active()->Tag(), 1);
    EXPECT_FALSE(Active()->Connected());
    EXPECT_EQ(frame->focusWidget(), Active()->txtUSR);
    EXPECT_TRUE(frame->ClientArea->currentSubWindow()->isMaximized());
}

TEST_F(FrameTest, IniSettingChoosesTheFirstWindowByExactValue)
{
    Start({}, "[START]\r\nFORM=S\r\n");
    EXPECT_NE(qobject_cast<TfrmSQL *>(Active()), nullptr);
    EXPECT_EQ(Tabs(), QStringList{QStringLiteral("S 接続1")});
    frame.reset();
    Start({}, "[START]\nFORM=I\n");
    EXPECT_NE(qobject_cast<TfrmINFO *>(Active()), nullptr);
    frame.reset();
    Start({}, "[START]\nFORM=s\n");
    EXPECT_NE(qobject_cast<TfrmPLSQL *>(Active()), nullptr);
    frame.reset();
    Start({}, QByteArray("\xff\xfe[START]\x00FORM=\x81", 17));
    EXPECT_NE(qobject_cast<TfrmPLSQL *>(Active()), nullptr);
}

TEST_F(FrameTest, CommandLineLoginConnectsTheFirstWindowAtOnce)
{
    Start({GoodLogin()}, "[START]\nFORM=S\n");
    ASSERT_NE(Active(), nullptr);
    EXPECT_TRUE(Active()->Connected());
    EXPECT_EQ(Tabs(), QStringList{ConnectedCaption(QLatin1Char('S'))});
    EXPECT_EQ(Active()->txtPWD->text(), QStringLiteral("manager"));
    EXPECT_TRUE(static_cast<TfrmSQL *>(Active())->mnu_EDIT->menuAction()->isEnabled());
    EXPECT_TRUE(Active()->Database()->Engine().inTransaction()) << "the worksheet keeps a transaction open";
}

TEST_F(FrameTest, ArgumentsThatAreNoLoginOpenAnUnconnectedWindow)
{
    for (const QString &argument : {QStringLiteral("system@demo"), QStringLiteral("system/manager"),
                                    QStringLiteral("-x"), QString()}) {
        SCOPED_TRACE(argument.toStdString());
        Start({argument});
        EXPECT_FALSE(Active()->Connected());
        EXPECT_EQ(Tabs(), QStringList{QStringLiteral("P 接続1")});
        EXPECT_EQ(Active()->txtUSR->text(), QString());
        frame.reset();
    }
}

TEST_F(FrameTest, UnknownHostAndWrongPasswordOnTheCommandLineLeaveTheWindowUsable)
{
    guitest::TMessageBoxCatcher boxes;
    Start({QStringLiteral("system/wrong@") + databasePath});
    Settle();
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_TRUE(boxes.Texts[0].startsWith(QStringLiteral("ORA-01017"))) << boxes.Texts[0].toStdString();
    EXPECT_EQ(boxes.Titles[0], QStringLiteral("エラー"));
    EXPECT_FALSE(Active()->Connected());
    EXPECT_EQ(Tabs(), QStringList{QStringLiteral("P 接続1")});

    // The user corrects the password and presses Enter in the host field.
    Active()->txtPWD->setText(QStringLiteral("manager"));
    Active()->txtDSN->setFocus();
    guitest::PressKey(*frame, Qt::Key_Return);
    Settle();
    EXPECT_TRUE(Active()->Connected());
    EXPECT_EQ(Tabs(), QStringList{ConnectedCaption(QLatin1Char('P'))});
    frame.reset();

    Start({QStringLiteral("system/manager@") + folder->filePath(QStringLiteral("no/such.kdb"))});
    Settle();
    ASSERT_EQ(boxes.Count(), 2);
    EXPECT_TRUE(boxes.Texts[1].startsWith(QStringLiteral("ORA-12154"))) << boxes.Texts[1].toStdString();
    EXPECT_FALSE(Active()->Connected());
}

TEST_F(FrameTest, FailedReconnectionKeepsTheWorkingSessionAndCaption)
{
    guitest::TMessageBoxCatcher boxes;
    Start({}, "[START]\nFORM=S\n");
    TChildForm *child = Active();
    TypeLoginAndConnect(child, GoodLogin());
    ASSERT_TRUE(child->Connected());
    db::OraDatabase *database = child->Database();
    EXPECT_EQ(boxes.Count(), 0);

    TypeLoginAndConnect(child, QStringLiteral("system/bad@") + databasePath);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_TRUE(boxes.Texts[0].startsWith(QStringLiteral("ORA-01017")));
    EXPECT_EQ(child->Database(), database) << "the old session stays in use";
    EXPECT_EQ(child->Caption(), ConnectedCaption(QLatin1Char('S')));
    EXPECT_EQ(Tabs(), QStringList{ConnectedCaption(QLatin1Char('S'))});

    // An empty login is the engine's error too, and the window goes on.
    child->PanelTOP->SetLogin({});
    child->txtDSN->setFocus();
    guitest::PressKey(*frame, Qt::Key_Return);
    Settle();
    ASSERT_EQ(boxes.Count(), 2);
    EXPECT_TRUE(boxes.Texts[1].startsWith(QStringLiteral("ORA-"))) << boxes.Texts[1].toStdString();
    EXPECT_EQ(child->Database(), database);

    // A good login replaces the session.
    TypeLoginAndConnect(child, GoodLogin());
    EXPECT_EQ(boxes.Count(), 2);
    EXPECT_NE(child->Database(), database);
}

TEST_F(FrameTest, RegistryKeepsTabOrderAndNeverReusesTags)
{
    Start();
    Trigger(frame.get(), "SQL1");  // the workbench is active: its own File > New
    Trigger(frame.get(), "INFO1");
    EXPECT_EQ(Tabs(), (QStringList{QStringLiteral("P 接続1"), QStringLiteral("S 接続2"),
                                   QStringLiteral("I 接続3")}));
    EXPECT_EQ(Slots(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(frame->tabPAGE->currentIndex(), 2);

    CloseChild(frame->FindChild(2));
    EXPECT_EQ(Tabs(), (QStringList{QStringLiteral("P 接続1"), QStringLiteral("I 接続3")}));
    EXPECT_EQ(Slots(), (std::vector<int>{1, 3}));

    // The user clicks the first tab, then the second: the children come to the front.
    QTest::mouseClick(frame->tabPAGE, Qt::LeftButton, {}, frame->tabPAGE->tabRect(0).center());
    Settle();
    EXPECT_EQ(Active()->Tag(), 1);
    QTest::mouseClick(frame->tabPAGE, Qt::LeftButton, {}, frame->tabPAGE->tabRect(1).center());
    Settle();
    EXPECT_EQ(Active()->Tag(), 3);
    EXPECT_EQ(frame->tabPAGE->currentIndex(), 1);

    // Activating a child some other way selects its tab.
    frame->ClientArea->setActiveSubWindow(frame->ClientArea->subWindowList().first());
    Settle();
    EXPECT_EQ(frame->tabPAGE->currentIndex(), 0);

    CloseChild(frame->FindChild(1));
    CloseChild(frame->FindChild(3));
    EXPECT_TRUE(Tabs().isEmpty());
    EXPECT_EQ(frame->ChildTags().Count(), 0);
    Trigger(frame.get(), "PLSQL1");
    EXPECT_EQ(Tabs(), QStringList{QStringLiteral("P 接続4")});
    EXPECT_EQ(Slots(), std::vector<int>{4});
}

TEST_F(FrameTest, ActivatingAnUnnumberedChildChangesNoTab)
{
    Start();
    Trigger(frame.get(), "SQL1");
    frame->ActivateChild(0);
    EXPECT_EQ(frame->tabPAGE->currentIndex(), 1);
    frame->SetChildCaption(0, QStringLiteral("x"));
    frame->RemoveChild(0);
    frame->RemoveChild(99);
    EXPECT_EQ(Tabs(), (QStringList{QStringLiteral("P 接続1"), QStringLiteral("S 接続2")}));
}

TEST_F(FrameTest, TheActiveChildsMenusTakeTheFramesPlace)
{
    Start();
    QMenuBar *bar = frame->menuBar();
    EXPECT_EQ(bar->actions(), Active()->MenuBar()->actions());
    QStringList names;
    for (QAction *action : bar->actions())
        names.append(action->objectName());
    EXPECT_EQ(names, (QStringList{QStringLiteral("mnu_FILE"), QStringLiteral("mnu_EDIT"),
                                  QStringLiteral("mnu_WINDOWS"), QStringLiteral("N4"),
                                  QStringLiteral("mnu_Help")}));
    CloseChild(Active());
    names.clear();
    for (QAction *action : bar->actions())
        names.append(action->objectName());
    EXPECT_EQ(names, (QStringList{QStringLiteral("File1"), QStringLiteral("Help1")}));

    // With no child the frame's own shortcut opens an unconnected window.
    frame->SetPendingLogin({QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("h")});
    QTest::keyClick(frame.get(), Qt::Key_F3, Qt::ControlModifier);
    Settle();
    ASSERT_NE(qobject_cast<TfrmSQL *>(Active()), nullptr);
    EXPECT_EQ(frame->PendingLogin(), TLogin{});
    EXPECT_EQ(Active()->txtUSR->text(), QString());
}

TEST_F(FrameTest, FileNewInAConnectedChildConnectsTheNewWindowWithTheSameLogin)
{
    Start({GoodLogin()}, "[START]\nFORM=S\n");
    ASSERT_TRUE(Active()->Connected());
    // Ctrl+F3 reaches the worksheet's own item, which hands on its login.
    QTest::keyClick(frame.get(), Qt::Key_F3, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(frame->ChildCounter(), 2);
    ASSERT_NE(qobject_cast<TfrmSQL *>(Active()), nullptr);
    EXPECT_TRUE(Active()->Connected());
    EXPECT_EQ(Tabs(), (QStringList{ConnectedCaption(QLatin1Char('S')), ConnectedCaption(QLatin1Char('S'))}));

    Trigger(Active(), "INFO1");
    EXPECT_EQ(Active()->Caption(), ConnectedCaption(QLatin1Char('I')));

    // The frame's own item (no child in front) opens an unconnected window.
    for (auto *subWindow : frame->ClientArea->subWindowList())
        subWindow->close();
    Settle();
    Trigger(frame.get(), "PLSQL1");
    EXPECT_FALSE(Active()->Connected());
    EXPECT_EQ(Active()->Caption(), QStringLiteral("P 接続4"));
}

TEST_F(FrameTest, CloseShortcutReachesTheChildsOwnItemOnly)
{
    Start({}, "[START]\nFORM=S\n");
    Trigger(Active(), "SQL1");
    ASSERT_EQ(frame->tabPAGE->count(), 2);
    // Ctrl+W belongs to the worksheet's (disabled) history panel item, not to closing.
    QTest::keyClick(frame.get(), Qt::Key_W, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(frame->tabPAGE->count(), 2);
    QTest::keyClick(frame.get(), Qt::Key_F4, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(frame->tabPAGE->count(), 1);
    EXPECT_EQ(Slots(), std::vector<int>{1});
    EXPECT_EQ(Active()->Tag(), 1);
    EXPECT_EQ(frame->menuBar()->actions(), Active()->MenuBar()->actions());
}

TEST_F(FrameTest, FileNewInAnUnconnectedChildOpensAnUnconnectedWindow)
{
    Start();
    Active()->PanelTOP->SetLogin({QString(), QStringLiteral("pw"), QStringLiteral("host")});
    Trigger(Active(), "SQL1");
    EXPECT_FALSE(Active()->Connected());
    EXPECT_EQ(Active()->txtPWD->text(), QString()) << "no user: the pending login is not used";
}

TEST_F(FrameTest, The256thWindowIsRefusedWithAMessage)
{
    Start();
    for (int i = 1; i < TChildRegistry::kSlotCount; ++i)
        frame->OpenINFOWindow();
    EXPECT_EQ(frame->ChildTags().Count(), 255);
    guitest::TMessageBoxCatcher boxes;
    frame->OpenSQLWindow();
    Settle();
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_TRUE(boxes.Texts[0].contains(QStringLiteral("255")));
    EXPECT_EQ(frame->ChildTags().Count(), 255);
    EXPECT_EQ(frame->ChildCounter(), 255);
    EXPECT_EQ(frame->tabPAGE->count(), 255);

    CloseChild(frame->FindChild(100));
    frame->OpenSQLWindow();
    EXPECT_EQ(frame->tabPAGE->tabText(254), QStringLiteral("S 接続256"));
}

struct MenuItemCase {
    const char *Name;
    const char *Caption;
    QKeySequence Shortcut;
    int HelpContext;
    bool Enabled;  // a hidden item is never enabled (its shortcut does nothing)
    bool Visible;
};

void CheckItems(QObject *window, std::initializer_list<MenuItemCase> items)
{
    for (const auto &item : items) {
        SCOPED_TRACE(item.Name);
        auto *action = window->findChild<QAction *>(QString::fromLatin1(item.Name));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QString::fromUtf8(item.Caption));
        EXPECT_EQ(action->shortcut(), item.Shortcut);
        EXPECT_EQ(formutil::HelpContext(action), item.HelpContext);
        EXPECT_EQ(action->isEnabled(), item.Enabled);
        EXPECT_EQ(action->isVisible(), item.Visible);
    }
}

TEST_F(FrameTest, EachKindOfWindowHasItsMenuItems)
{
    Start();
    const QKeySequence none;
    CheckItems(frame->findChild<QMenu *>(QStringLiteral("File1")),
               {{"PLSQL1", "PL/SQL", Qt::CTRL | Qt::Key_F2, 4001, true, true},
                {"mnu_END", "終了(&X)", Qt::CTRL | Qt::Key_Q, 2003, true, true}});
    EXPECT_EQ(Item(frame->findChild<QMenu *>(QStringLiteral("File1")), "FileNewItem")->statusTip(),
              QStringLiteral("新規ファイルの作成"));
    CheckItems(Active(), {{"mnu_NewLoad", "ファイル読込", Qt::CTRL | Qt::Key_O, 0, false, false},
                          {"MNU_CLOSE", "閉じる(&C)", Qt::CTRL | Qt::Key_F4, 3008, true, true},
                          {"mnu_FIND", "検索(&F)", Qt::CTRL | Qt::Key_F, 0, false, true},
                          {"mnu_REFIND_U", "上方向再検索", Qt::SHIFT | Qt::Key_F3, 0, false, true},
                          {"mnu_UPDATE", "更新(&U)", Qt::CTRL | Qt::Key_F9, 0, false, false},
                          {"mnu_EXECUTE", "実行(&E)", Qt::CTRL | Qt::Key_F8, 4008, false, true},
                          {"mnu_SET_EDIT", "内部エディタの設定", Qt::Key_F12, 4012, false, true},
                          {"mnu_VERSION", "ﾊﾞｰｼﾞｮﾝ情報(&A)", none, 7001, true, true},
                          {"HelpIndex1", "目次とキーワード(&H)", none, 0, true, true}});
    EXPECT_EQ(Item(Active(), "SQL1")->statusTip(), QStringLiteral("新しくSQLの画面を開く"));

    Trigger(Active(), "SQL1");
    auto *sql = qobject_cast<TfrmSQL *>(Active());
    ASSERT_NE(sql, nullptr);
    EXPECT_FALSE(sql->mnu_EDIT->menuAction()->isEnabled()) << "disabled until connected";
    CheckItems(sql, {{"mnu_EXECUTE", "SQLの実行(&E)", Qt::Key_F8, 5014, false, true},
                     {"mnu_PLAN", "実行プラン(&P)", Qt::CTRL | Qt::Key_F9, 5007, false, true},
                     {"Refresh1", "最新の情報に更新(&R)", Qt::Key_F5, 0, false, true},
                     {"mnu_RIREKI_TABLE_VIEW", "履歴・TABLE/VIEW(&W)", Qt::CTRL | Qt::Key_W, 0, true, true},
                     {"WindowTileVertical1", "垂直に並べて表示(&V)", none, 0, true, true}});

    Trigger(Active(), "INFO1");
    CheckItems(Active(), {{"INFO1", "INFO", Qt::CTRL | Qt::Key_F5, 6001, true, true},
                          {"Refresh1", "最新の情報に更新(&R)", Qt::Key_F5, 0, false, true},
                          {"mnu_VERSION", "ﾊﾞｰｼﾞｮﾝ情報(&A)", none, 7001, true, true}});
}

TEST_F(FrameTest, WindowCommandsArrangeTheChildren)
{
    Start();
    Trigger(Active(), "SQL1");
    Trigger(Active(), "WindowTileVertical1");
    const auto windows = frame->ClientArea->subWindowList();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_FALSE(windows[0]->isMaximized());
    EXPECT_EQ(windows[0]->geometry().top(), windows[1]->geometry().top());
    EXPECT_NE(windows[0]->geometry().left(), windows[1]->geometry().left());
    Trigger(Active(), "WindowTileHorizontal1");
    EXPECT_EQ(windows[0]->geometry().left(), windows[1]->geometry().left());
    EXPECT_NE(windows[0]->geometry().top(), windows[1]->geometry().top());
    Trigger(Active(), "WindowMinimizeAll1");
    EXPECT_TRUE(windows[0]->isMinimized());
    EXPECT_TRUE(windows[1]->isMinimized());
}

TEST_F(FrameTest, EveryHelpContextInUseHasATopicAndF1OpensIt)
{
    Start();
    Trigger(Active(), "SQL1");
    Trigger(Active(), "INFO1");
    frame->ShowHelpContents();
    THelpViewer *viewer = frame->HelpViewer();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->CurrentTopic(), QStringLiteral("contents"));
    EXPECT_FALSE(viewer->Browser()->toPlainText().isEmpty());

    QList<QObject *> objects = frame->findChildren<QObject *>();
    objects.append(frame.get());
    int contexts = 0;
    for (QObject *object : objects) {
        const int context = formutil::HelpContext(object);
        if (!context)
            continue;
        ++contexts;
        viewer->ShowTopic(context);
        EXPECT_EQ(viewer->CurrentTopic(), QStringLiteral("hc%1").arg(context)) << object->objectName().toStdString();
    }
    EXPECT_GT(contexts, 40);
    viewer->ShowTopic(123456);
    EXPECT_EQ(viewer->CurrentTopic(), QStringLiteral("contents"));

    guitest::ShowActive(*frame);
    Active()->txtDSN->setFocus();
    QTest::keyClick(Active()->txtDSN, Qt::Key_F1);
    EXPECT_EQ(viewer->CurrentTopic(), QStringLiteral("hc3003"));
    viewer->close();
}

TEST_F(FrameTest, HelpFileThatCannotBeReadShowsAMessageInsteadOfTheDocument)
{
    Start();
    THelpViewer *viewer = frame->HelpViewer();
    viewer->SetHelpFile(folder->filePath(QStringLiteral("missing.hlp")));
    viewer->ShowTopic(3001);
    EXPECT_EQ(viewer->CurrentTopic(), QStringLiteral("contents"));
    EXPECT_TRUE(viewer->Browser()->toPlainText().contains(QStringLiteral("開けません")));
    viewer->close();
}

// The key goes to the control with the focus (the OK button) and on to the box, as typed.
void PressKanjiKey(QWidget *box, Qt::Key key)
{
    QWidget *target = box->focusWidget() ? box->focusWidget() : box;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Urls;
public slots:
    void Open(const QUrl &url) { Urls.append(url); }
};

TEST_F(FrameTest, AboutBoxShowsTheVersionOpensItsLinksAndClosesOnTheKanjiKey)
{
    Start();
    TAboutBox *about = frame->AboutBox();
    about->LoadVersion(QStringLiteral("/proc/self/exe"));
    EXPECT_EQ(about->Version->text(), QStringLiteral("Version 0.2.6"));
    EXPECT_EQ(about->windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(about->size(), QSize(225, 168));
    EXPECT_THROW(about->LoadVersion(folder->filePath(QStringLiteral("frame.kdb"))), EVerInfo);
    EXPECT_EQ(about->Version->text(), QStringLiteral("Version 0.2.6"));

    TUrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "Open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "Open");
    bool closedByKanji = false;
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(about->URL, Qt::LeftButton);
        QTest::mouseClick(about->MAIL, Qt::LeftButton);
        PressKanjiKey(about, Qt::Key_Zenkaku_Hankaku);
        closedByKanji = !about->isVisible();
    });
    // Help > version of the active child shows the box modally.
    Trigger(Active(), "mnu_VERSION");
    EXPECT_TRUE(closedByKanji);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    ASSERT_EQ(catcher.Urls.size(), 2);
    EXPECT_EQ(catcher.Urls[0], QUrl(about->URL->text()));
    EXPECT_EQ(catcher.Urls[1].scheme(), QStringLiteral("mailto"));

    QTimer::singleShot(0, [&] { PressKanjiKey(about, Qt::Key_Kanji); });
    frame->ShowAbout();
    EXPECT_FALSE(about->isVisible());
}

// Answers the next modal file dialog: accepted with fileName, or cancelled when it is empty.
void AnswerFileDialog(const QString &fileName, QString *proposed, QStringList *filters)
{
    QTimer::singleShot(0, [=] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        *proposed = dialog->selectedFiles().value(0);
        *filters = dialog->nameFilters();
        if (fileName.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(fileName);
            static_cast<QDialog *>(dialog)->accept();
        }
    });
}

TEST_F(FrameTest, SaveDialogGivesTheChosenNameAndKeepsNoneForNextTime)
{
    Start();
    QString proposed;
    QStringList filters;
    const QString target = folder->filePath(QStringLiteral("out.csv"));
    AnswerFileDialog(target, &proposed, &filters);
    EXPECT_EQ(frame->ExecuteSaveDialog(QStringLiteral("save.csv")), target);
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("/save.csv"))) << proposed.toStdString();
    EXPECT_EQ(filters, (QStringList{QStringLiteral("CSVファイル(*.CSV *.csv)"), QStringLiteral("全て(*.*)")}));

    AnswerFileDialog(QString(), &proposed, &filters);
    EXPECT_EQ(frame->ExecuteSaveDialog(QStringLiteral("save.csv")), QString()) << "cancelled";
    AnswerFileDialog(QString(), &proposed, &filters);
    EXPECT_EQ(frame->ExecuteOpenDialog(), QString());
    EXPECT_EQ(filters.first(), QStringLiteral("実行ファイル(*.EXE *.exe)"));
}

TEST_F(FrameTest, GridRoutinesOfTheFrameFillFromTheChildsSession)
{
    Start({GoodLogin()}, "[START]\nFORM=I\n");
    ASSERT_TRUE(Active()->Connected());
    db::OraDatabase *database = Active()->Database();
    database->DbExecuteSQL("create table fill_rows (n number(4), t varchar2(4))");
    for (int n = 1; n <= 250; ++n)
        database->DbExecuteSQL("insert into fill_rows values (" + std::to_string(n) + ", 'x')");
    TStringGrid grid;
    guitest::TMessageBoxCatcher boxes;
    QTest::keyClick(Active()->txtUSR, Qt::Key_Escape);
    const int records = frame->FillGridFromDynaset(
        database->DbCreateDynaset("select n, t from fill_rows order by n", 8), grid);
    EXPECT_EQ(records, 250);
    EXPECT_EQ(grid.RowCount(), 251);
    EXPECT_EQ(grid.Cells(1, 0), "N");
    EXPECT_EQ(grid.Cells(1, 250), "250");
    EXPECT_EQ(boxes.Count(), 0) << "an Esc pressed before the fill does not stop it";
    frame->ClearGrid(grid);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Cells(1, 0), "");
}

TEST_F(FrameTest, EndClosesTheFrameAndEveryChild)
{
    Start();
    Trigger(Active(), "SQL1");
    QPointer<TChildForm> child = Active();
    Trigger(Active(), "mnu_END");
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(child.isNull());
    EXPECT_EQ(frame->ChildTags().Count(), 0);
}

} // namespace

#include "test_main_form.moc"
