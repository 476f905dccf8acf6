// The SQL worksheet in the frame on the real engine, driven by keys and menu items: running
// statements (status bar, log texts, transactions, errors and the caret, Esc), the grid's
// commands, history and registered statements, plans, the table browser and CSV export.
#include "app/main_form.h"
#include "classlib/cp932.h"
#include "classlib/string_grid.h"
#include "db/ora_database.h"
#include "localdb/localdb.h"
#include "sql/sql_form.h"
#include "editor/editor.h"
#include "tests/support/gui_support.h"

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <memory>

namespace {

using guitest::TMessageBoxCatcher;

class WorksheetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        guitest::App();
        folder = new QTemporaryDir;
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }

    void SetUp() override
    {
        static int count = 0;
        databasePath = folder->filePath(QStringLiteral("ws%1.kdb").arg(++count));
        localdb::Session::createDatabase(databasePath.toStdString(), "manager");
        iniPath = folder->filePath(QStringLiteral("kestrim%1.ini").arg(count));
        QFile ini(iniPath);
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[START]\r\nFORM=S\r\n");
        ini.close();
        registeredSqlPath = folder->filePath(QStringLiteral("sql%1.ini").arg(count));
        OpenFrame();
        // Ten digits, committed: the long queries count through their cross joins.
        auto session = localdb::Session::open(databasePath.toStdString(), "system", "manager");
        session->execute("create table d (n number(1))");
        session->execute("insert into d select level - 1 from dual connect by level <= 10");
    }

    // The frame with a worksheet connected to the test's database, as the program starts.
    void OpenFrame()
    {
        frame = std::make_unique<TMainForm>();
        frame->SetIniFileName(iniPath);
        frame->SetStartArguments({QStringLiteral("system/manager@") + databasePath});
        guitest::ShowActive(*frame);
        WaitFor([&] { return frame->ChildCounter() == 1; });
        sql = qobject_cast<TfrmSQL *>(frame->ActiveChild());
        ASSERT_NE(sql, nullptr);
        ASSERT_TRUE(sql->Connected());
        sql->SetRegisteredSqlFile(registeredSqlPath);
    }

    // The numbers 1 to count (at most a million) as one column N.
    static std::string Numbers(int count)
    {
        return "select a.n + 10 * b.n + 100 * c.n + 1000 * e.n + 10000 * f.n + 100000 * g.n + 1 n "
               "from d a, d b, d c, d e, d f, d g where a.n + 10 * b.n + 100 * c.n + 1000 * e.n + "
               "10000 * f.n + 100000 * g.n < " +
               std::to_string(count);
    }
    static std::string Endless() { return "select count(*) from d a, d b, d c, d e, d f, d g, d h, d i, d j"; }


    void TearDown() override
    {
        if (frame)
            frame->close();
        frame.reset();
        Settle();
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
        for (int i = 0; i < 400 && !condition(); ++i)
            QTest::qWait(5);
    }

    // Types the statement into the editor and presses F8 there, as a user does.
    void Run(const std::string &utf8Statement)
    {
        sql->txtSQL->SetText(cp932::Utf8ToCp932(utf8Statement));
        // A message box of an earlier command may have taken the activation away.
        QApplication::setActiveWindow(frame.get());
        sql->txtSQL->setFocus();
        QTest::keyClick(sql->txtSQL, Qt::Key_F8);
        Settle();
    }
    void Menu(const char *name)
    {
        auto *action = sql->findChild<QAction *>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
        Settle();
    }
    QString Cell(int col, int row) const { return cp932::ToUnicode(sql->grdLOG->CellText(col, row)); }
    QString Log() const { return cp932::ToUnicode(sql->txtLOG->Text()); }
    bool LogPageShown() const { return sql->pageDATA->currentWidget() == sql->tabINFO; }
    QStringList History() const
    {
        QStringList items;
        for (int i = 0; i < sql->lstRIREKI->count(); ++i)
            items.append(cp932::ToUnicode(sql->lstRIREKI->item(i)->data(Qt::UserRole).toByteArray().toStdString()));
        return items;
    }

    // After the worksheet has gone its session has too: the uncommitted rows of table T are rolled
    // back and another session can write and commit.
    void ExpectSessionReleased()
    {
        auto session = localdb::Session::open(databasePath.toStdString(), "system", "manager");
        {
            auto cursor = session->query("select count(*) from t");
            ASSERT_TRUE(cursor->next());
            EXPECT_EQ(std::get<std::int64_t>(cursor->value(0)), 0);
        }
        EXPECT_NO_THROW({
            session->execute("insert into t values (9)");
            session->execute("delete from t");
            session->commit();
        });
    }
    // Closes the worksheet's sub-window, as its close box does.
    static void CloseWindow(TfrmSQL *window)
    {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
            sub->close();
    }

    static QTemporaryDir *folder;
    QString databasePath;
    QString iniPath;
    QString registeredSqlPath;
    std::unique_ptr<TMainForm> frame;
    TfrmSQL *sql = nullptr;
};

QTemporaryDir *WorksheetTest::folder = nullptr;

// --- statement execution ---

TEST_F(WorksheetTest, QueryFillsTheGridAndTheStatusBar)
{
    Run("create table t (n number(5), x varchar2(10), d date, f number)");
    EXPECT_EQ(Log(), QStringLiteral("0 件処理しました。"));
    Run("insert into t values (7, 'あい', date '2024-03-07', 2.5)");
    EXPECT_EQ(Log(), QStringLiteral("1 件処理しました。"));
    Run("  select n, x, d, f, null e from t -- the one row");
    ASSERT_FALSE(LogPageShown()) << Log().toStdString();
    EXPECT_EQ(Cell(1, 0), QStringLiteral("N"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("1"));
    EXPECT_EQ(Cell(1, 1), QStringLiteral("7"));
    EXPECT_EQ(Cell(2, 1), QStringLiteral("あい"));
    EXPECT_EQ(Cell(3, 1), QStringLiteral("2024/03/07"));
    EXPECT_EQ(Cell(4, 1), QStringLiteral("2.5"));
    EXPECT_EQ(Cell(5, 1), QString());
    EXPECT_EQ(sql->grdLOG->RowCount(), 2);
    EXPECT_TRUE(sql->StatusPanel(0).startsWith(QStringLiteral("開始:")));
    EXPECT_TRUE(sql->StatusPanel(1).startsWith(QStringLiteral("終了:")));
    EXPECT_EQ(sql->StatusPanel(2), QStringLiteral("時間:00:00:00"));
    EXPECT_EQ(sql->StatusPanel(3), QStringLiteral("1件"));
    // The query went with its comment; the history has the text as typed.
    EXPECT_EQ(History().last(), QStringLiteral("  select n, x, d, f, null e from t -- the one row"));

    Run("select * from t where 1 = 0");
    EXPECT_EQ(sql->grdLOG->RowCount(), 2);
    EXPECT_EQ(Cell(1, 0), QStringLiteral("N"));
    EXPECT_EQ(Cell(1, 1), QString());
    EXPECT_EQ(sql->StatusPanel(3), QStringLiteral("0件"));
    // A statement of another kind still counts the grid's rows of the last query.
    Run("update t set n = 8");
    EXPECT_EQ(sql->StatusPanel(3), QStringLiteral("0件"));
}

TEST_F(WorksheetTest, TransactionStaysOpenUntilCommitOrRollback)
{
    Run("create table t (n number)");
    Run("insert into t select level from dual connect by level <= 3");
    Run("commit");
    EXPECT_EQ(Log(), QStringLiteral("コミットが完了しました。"));
    Run("  delete from t -- all of them\r\nwhere n > 1");
    EXPECT_EQ(Log(), QStringLiteral("2 件処理しました。"));
    Run("ROLLBACK");
    EXPECT_EQ(Log(), QStringLiteral("ロールバックが完了しました。"));
    Run("select count(*) from t");
    EXPECT_EQ(Cell(1, 1), QStringLiteral("3"));
    // Six letters are enough for a commit, and lower case is recognised.
    Run("delete from t where n = 3");
    Run("commitment please");
    EXPECT_EQ(Log(), QStringLiteral("コミットが完了しました。"));
    Run("rollback");
    Run("select count(*) from t");
    EXPECT_EQ(Cell(1, 1), QStringLiteral("2"));
    Run("truncate table t");
    EXPECT_EQ(Log(), QStringLiteral("クリアしました。"));
}

TEST_F(WorksheetTest, DescribeNeedsABlankAndBlanksOrCommentsAloneSendNothingHarmful)
{
    Run("create table emp2 (id number(10,2) primary key, name varchar2(30) not null, born date, n number(5))");
    Run("desc emp2");
    ASSERT_FALSE(LogPageShown()) << Log().toStdString();
    EXPECT_EQ(Cell(1, 0), QStringLiteral("列名"));
    EXPECT_EQ(Cell(2, 0), QStringLiteral("データ型"));
    EXPECT_EQ(Cell(1, 1), QStringLiteral("ID"));
    EXPECT_EQ(Cell(2, 1), QStringLiteral("NUMBER(10,2)"));
    EXPECT_EQ(Cell(3, 1), QStringLiteral("No"));
    EXPECT_EQ(Cell(4, 1), QStringLiteral("○"));
    EXPECT_EQ(Cell(2, 2), QStringLiteral("VARCHAR2(30)"));
    EXPECT_EQ(Cell(2, 3), QStringLiteral("DATE"));
    EXPECT_EQ(Cell(3, 3), QStringLiteral("  "));
    EXPECT_EQ(Cell(2, 4), QStringLiteral("NUMBER(5)"));
    EXPECT_EQ(sql->StatusPanel(3), QStringLiteral("4件"));
    // A name with a quote cannot break out of the query: no columns, no error.
    Run("desc emp2') or ('1'='1");
    EXPECT_FALSE(LogPageShown()) << Log().toStdString();
    EXPECT_EQ(sql->grdLOG->RowCount(), 2);
    EXPECT_EQ(Cell(1, 1), QString());
    // With a tab the statement goes to the server as it is and fails there.
    Run("desc\temp2");
    EXPECT_TRUE(LogPageShown());
    EXPECT_TRUE(Log().startsWith(QStringLiteral("ORA-"))) << Log().toStdString();
    Run("  /* nothing */ -- at all");
    EXPECT_TRUE(LogPageShown());
    EXPECT_TRUE(Log().startsWith(QStringLiteral("ORA-"))) << Log().toStdString();
}

TEST_F(WorksheetTest, ErrorsGoToTheLogWithTheCaretAtTheServersPosition)
{
    Run("select 'あいう' a,\r\n  nosuch from dual");
    EXPECT_TRUE(LogPageShown());
    EXPECT_TRUE(Log().contains(QStringLiteral("ORA-00904"))) << Log().toStdString();
    // 'あいう' is 6 bytes in code page 932: "select " 7, the literal 8, " a," 3, CR LF 2, 2 blanks.
    EXPECT_EQ(sql->txtSQL->SelStart(), 7 + 8 + 3 + 2 + 2);
    EXPECT_EQ(sql->StatusPanel(1), QString());
    EXPECT_EQ(sql->StatusPanel(3), QString());
    EXPECT_TRUE(sql->grdLOG->Redraw());
    // A semicolon is sent as typed, and the server's error shows.
    Run("select 1 from dual;");
    EXPECT_TRUE(LogPageShown());
    EXPECT_TRUE(Log().startsWith(QStringLiteral("ORA-"))) << Log().toStdString();
}

TEST_F(WorksheetTest, LongBinaryCellsAreReadAsHexadecimal)
{
    Run("create table pics (id number, pic blob)");
    Run("insert into pics values (1, hextoraw('0102AB'))");
    Run("insert into pics values (2, null)");
    Run("select * from pics order by id");
    ASSERT_FALSE(LogPageShown()) << Log().toStdString();
    EXPECT_EQ(Cell(2, 1), QStringLiteral("0102AB"));
    EXPECT_EQ(Cell(2, 2), QString());
}

// Does something once, while a command of the window runs and has made some progress (rows in
// the grid, lines counted in the log): presses Esc, closes the window or the frame.
class TWhileBusy {
public:
    TWhileBusy(TfrmSQL *form, std::function<bool()> progressed, std::function<void()> action)
    {
        FTimer.setInterval(5);
        QObject::connect(&FTimer, &QTimer::timeout, [this, form, progressed, action] {
            if (form->Busy() && progressed()) {
                FTimer.stop();
                action();
            }
        });
        FTimer.start();
    }

private:
    QTimer FTimer;
};

TWhileBusy EscDuringFetch(TfrmSQL *form)
{
    return TWhileBusy(form, [form] { return form->grdLOG->RowCount() > 300; },
                      [form] { QTest::keyClick(form->grdLOG, Qt::Key_Escape); });
}

TEST_F(WorksheetTest, EscOffersToStopAFetchAndOnlyOkStopsIt)
{
    const std::string query = Numbers(300000);
    {
        // Cancel goes on to the end.
        TMessageBoxCatcher catcher(QMessageBox::Cancel);
        const TWhileBusy esc = EscDuringFetch(sql);
        Run(query);
        ASSERT_GE(catcher.Count(), 1);
        EXPECT_EQ(catcher.Texts.first(), QStringLiteral("中断しますか？"));
        EXPECT_EQ(catcher.Titles.first(), QStringLiteral("警告"));
        EXPECT_EQ(sql->StatusPanel(3), QStringLiteral("300000件"));
    }
    {
        TMessageBoxCatcher catcher(QMessageBox::Ok);
        const TWhileBusy esc = EscDuringFetch(sql);
        Run(query);
        ASSERT_EQ(catcher.Count(), 1);
        const int rows = sql->grdLOG->RowCount() - 1;
        EXPECT_GT(rows, 0);
        EXPECT_LT(rows, 300000);
        EXPECT_EQ(sql->StatusPanel(3), QString::number(rows) + QStringLiteral("件"));
    }
    {
        // An Esc pressed before F8 does not count.
        TMessageBoxCatcher catcher(QMessageBox::Ok);
        QTest::keyClick(sql->txtSQL, Qt::Key_Escape);
        Run(Numbers(500));
        EXPECT_EQ(catcher.Count(), 0);
        EXPECT_EQ(sql->StatusPanel(3), QStringLiteral("500件"));
    }
}

TEST_F(WorksheetTest, EscStopsAQueryStillLookingForItsFirstRow)
{
    TMessageBoxCatcher catcher(QMessageBox::Ok);
    QTimer::singleShot(100, [this] { QTest::keyClick(sql->grdLOG, Qt::Key_Escape); });
    QElapsedTimer timer;
    timer.start();
    Run(Endless());
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(catcher.Count(), 1);
    EXPECT_EQ(sql->StatusPanel(3), QStringLiteral("0件"));
    // The session goes on.
    Run("select 5 from dual");
    EXPECT_EQ(Cell(1, 1), QStringLiteral("5")) << Log().toStdString();
}

TEST_F(WorksheetTest, EscStopsARunawayBlockAndUndoesOnlyItsOwnWork)
{
    Run("create table t (n number)");
    Run("insert into t values (1)");
    TMessageBoxCatcher catcher(QMessageBox::Ok);
    QTimer::singleShot(100, [this] { QTest::keyClick(sql->txtSQL, Qt::Key_Escape); });
    Run("begin insert into t values (2); loop null; end loop; end;");
    EXPECT_EQ(catcher.Count(), 1);
    EXPECT_TRUE(Log().contains(QStringLiteral("ORA-01013"))) << Log().toStdString();
    Run("select count(*) from t");
    EXPECT_EQ(Cell(1, 1), QStringLiteral("1")) << Log().toStdString();
}

TEST_F(WorksheetTest, ASecondRunOrClosingDuringAFetchWaitsForIt)
{
    Run("create table t (n number)");
    Run("insert into t values (1)");
    int nested = 0;
    QTimer::singleShot(30, [&] {
        // F8 again while the first runs: refused, the session is not entered twice.
        QTest::keyClick(sql->txtSQL, Qt::Key_F8);
        nested = sql->Busy() ? 1 : 0;
    });
    Run(Numbers(200000));
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(sql->StatusPanel(3), QStringLiteral("200000件"));

    QPointer<TfrmSQL> window(sql);
    QTimer::singleShot(30, [&] { CloseWindow(window); });
    Run(Endless());
    WaitFor([&] { return window.isNull(); });
    EXPECT_TRUE(window.isNull());
    // The uncommitted insert went with the window's session.
    ExpectSessionReleased();
}

TEST_F(WorksheetTest, ClosingTheFrameDuringAFetchStopsItAndReleasesTheSession)
{
    Run("create table t (n number)");
    Run("insert into t values (1)");
    QPointer<TfrmSQL> window(sql);
    const TWhileBusy closer(sql, [this] { return sql->grdLOG->RowCount() > 300; }, [this] { frame->close(); });
    Run(Numbers(300000));
    WaitFor([&] { return window.isNull(); });
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(frame->ChildCounter(), 1);
    ExpectSessionReleased();
}

TEST_F(WorksheetTest, ClosingTheFrameDuringAnInsertLetsItEndAndRollsItBack)
{
    Run("create table t (n number)");
    QPointer<TfrmSQL> window(sql);
    QElapsedTimer timer;
    timer.start();
    const TWhileBusy closer(sql, [&] { return timer.elapsed() > 100; }, [this] { frame->close(); });
    // A statement that changes data is not stopped halfway; its rows go with the session.
    Run("insert into t " + Numbers(300000));
    WaitFor([&] { return window.isNull(); });
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(frame->isVisible());
    ExpectSessionReleased();
}

// --- grid commands ---

TEST_F(WorksheetTest, GridCopySelectAllAndFreeze)
{
    Run("select level a, level * 10 b, 'x' c from dual connect by level <= 3");
    sql->grdLOG->SetSelection({1, 1, 2, 2});
    sql->mnu_GRID_CopyClick();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1\t10\r\n2\t20\r\n"));
    sql->grdLOG->setFocus();
    QTest::keyClick(sql->grdLOG, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(sql->grdLOG->Selection(), (TGridRect{1, 1, 3, 3}));
    sql->grdLOG->FocusCell(3, 1, true);
    sql->mnu_GRID_LOCKClick();
    EXPECT_EQ(sql->grdLOG->FixedCols(), 3);
    sql->mnu_GRID_UNLOCKClick();
    EXPECT_EQ(sql->grdLOG->FixedCols(), 1);
}

// --- history and registered statements ---

TEST_F(WorksheetTest, HistoryKeepsEachStatementOnceAndPicksWithoutRunning)
{
    Run("select 1 from dual");
    Run("  select 1 from dual\r\n");
    Run("select 2 from dual");
    EXPECT_EQ(History(), (QStringList{QStringLiteral("select 1 from dual"), QStringLiteral("select 2 from dual")}));
    sql->lstRIREKI->setCurrentRow(0);
    sql->lstRIREKIDblClick();
    EXPECT_EQ(cp932::ToUnicode(sql->txtSQL->Text()), QStringLiteral("select 1 from dual"));
    EXPECT_EQ(Cell(1, 1), QStringLiteral("2"));
}

TEST_F(WorksheetTest, LeftPanelToggleIsKeptInTheIniFile)
{
    // No key at first: hidden, and "0" written.
    EXPECT_FALSE(sql->PanelLEFT->isVisible());
    QFile ini(iniPath);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("RIREKI_TABLE=0"));
    ini.close();
    QTest::keyClick(sql->txtSQL, Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(sql->PanelLEFT->isVisible());
    EXPECT_TRUE(sql->mnu_RIREKI_TABLE_VIEW->isChecked());
    frame->OpenSQLWindow();
    Settle();
    auto *second = qobject_cast<TfrmSQL *>(frame->ActiveChild());
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->mnu_RIREKI_TABLE_VIEW->isChecked());
}

TEST_F(WorksheetTest, RegisteredStatementsAreLoadedIntoTheEditor)
{
    const QString file = folder->filePath(QStringLiteral("reg.ini"));
    QFile ini(file);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(cp932::Utf8ToCp932("[sql0]\r\ntitle=社員\r\nsql=select *\r\n  from dual\r\n[SQL1]\r\nTITLE=二番\r\nSQL=select 2 from dual\r\n").c_str());
    ini.close();
    sql->SetRegisteredSqlFile(file);
    sql->txtSQL->SetText("old");
    QTest::keyClick(sql->txtSQL, Qt::Key_F10);
    ASSERT_TRUE(sql->panelSELSQL->isVisible());
    EXPECT_FALSE(sql->panelRIGHT->isEnabled());
    ASSERT_EQ(sql->lstSQL->count(), 2);
    EXPECT_EQ(sql->lstSQL->item(0)->text(), QStringLiteral("社員"));
    // Esc anywhere closes it and leaves the editor alone.
    QTest::keyClick(sql->lstSQL, Qt::Key_Escape);
    EXPECT_FALSE(sql->panelSELSQL->isVisible());
    EXPECT_TRUE(sql->panelRIGHT->isEnabled());
    EXPECT_EQ(sql->txtSQL->Text(), "old");
    QTest::keyClick(sql->txtSQL, Qt::Key_F10);
    sql->lstSQL->setCurrentRow(0);
    QTest::mouseClick(sql->btnOK, Qt::LeftButton);
    EXPECT_FALSE(sql->panelSELSQL->isVisible());
    EXPECT_EQ(sql->txtSQL->Text(), "select *\r\n  from dual\r\n");
    // A missing file: an empty list, and OK reports the file error and keeps the overlay.
    sql->SetRegisteredSqlFile(folder->filePath(QStringLiteral("none.ini")));
    QTest::keyClick(sql->txtSQL, Qt::Key_F10);
    EXPECT_EQ(sql->lstSQL->count(), 0);
    {
        TMessageBoxCatcher catcher;
        QTest::mouseClick(sql->btnOK, Qt::LeftButton);
        EXPECT_EQ(catcher.Count(), 1);
    }
    EXPECT_TRUE(sql->panelSELSQL->isVisible());
    QTest::mouseClick(sql->btnCANCEL, Qt::LeftButton);
    EXPECT_FALSE(sql->panelSELSQL->isVisible());
}

// --- plans ---

TEST_F(WorksheetTest, PlanTableAndExplain)
{
    {
        TMessageBoxCatcher catcher;
        Run("select * from dual");
        sql->mnu_PLANClick();
        EXPECT_TRUE(Log().contains(QStringLiteral("ORA-00942"))) << Log().toStdString();
        sql->mnu_MakePLANTABLEClick();
        EXPECT_EQ(Log(), QStringLiteral("PLAN TABLEが作成されました。"));
        EXPECT_EQ(catcher.Texts.value(0), QStringLiteral("PLAN TABLEを作成しますか？"));
        sql->mnu_MakePLANTABLEClick();
        EXPECT_TRUE(Log().contains(QStringLiteral("ORA-00955"))) << Log().toStdString();
    }
    Run("create table t (n number)");
    Run("insert into t values (1)");
    sql->txtSQL->SetText("select * from t where n = 1");
    sql->mnu_PLANClick();
    const QString plan = Log();
    EXPECT_TRUE(plan.contains(QStringLiteral("Cost="))) << plan.toStdString();
    EXPECT_TRUE(plan.contains(QStringLiteral("TABLE ACCESS"))) << plan.toStdString();
    sql->mnu_PLANClick();
    EXPECT_EQ(Log(), plan);
    // Explaining rolled back the pending insert.
    Run("select count(*) from t");
    EXPECT_EQ(Cell(1, 1), QStringLiteral("0")) << Log().toStdString();
    {
        // Cancel leaves the table: the next explain still works.
        TMessageBoxCatcher catcher(QMessageBox::Cancel);
        sql->mnu_DelPLANTABLEClick();
        sql->mnu_PLANClick();
        EXPECT_TRUE(Log().contains(QStringLiteral("TABLE ACCESS"))) << Log().toStdString();
    }
    {
        TMessageBoxCatcher catcher;
        sql->mnu_DelPLANTABLEClick();
        EXPECT_EQ(Log(), QStringLiteral("PLAN TABLEが削除されました。"));
    }
}

// --- table browser ---

TEST_F(WorksheetTest, TableListInsertsQueriesAndDescribes)
{
    Run("create table zoo (animal varchar2(20))");
    Run("insert into zoo values ('cat')");
    Run("commit");
    // The list is filled on connecting.
    sql->Connect();
    Settle();
    QTreeWidgetItem *zoo = nullptr;
    for (int i = 0; i < sql->lstTAB->topLevelItemCount(); ++i)
        if (sql->lstTAB->topLevelItem(i)->text(0) == QStringLiteral("ZOO"))
            zoo = sql->lstTAB->topLevelItem(i);
    ASSERT_NE(zoo, nullptr);
    // Nothing selected: nothing happens.
    sql->txtSQL->SetText("select * from");
    sql->mnu_TAB_SELECTClick();
    EXPECT_EQ(sql->txtSQL->Text(), "select * from");
    sql->lstTAB->setCurrentItem(zoo);
    sql->txtSQL->SetSelStart(13);
    sql->lstTABDblClick();
    EXPECT_EQ(sql->txtSQL->Text(), "select * from ZOO ");
    sql->mnu_TAB_SELECTClick();
    Settle();
    EXPECT_EQ(sql->txtSQL->Text(), "select * from ZOO");
    EXPECT_EQ(Cell(1, 1), QStringLiteral("cat"));
    sql->mnu_TAB_DESCClick();
    Settle();
    EXPECT_EQ(Cell(1, 1), QStringLiteral("ANIMAL"));
    EXPECT_EQ(Cell(2, 1), QStringLiteral("VARCHAR2(20)"));
}

// --- CSV export ---

void AnswerSaveDialog(const QString &fileName)
{
    QTimer::singleShot(0, [fileName] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (fileName.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed into the name field, as a user does (selecting an existing file goes through the
        // dialog's folder model, which loads later).
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(fileName);
        static_cast<QDialog *>(dialog)->accept();
    });
}

QByteArray ReadFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST_F(WorksheetTest, CsvExportWritesEveryRecordByteForByte)
{
    Run("create table c (t varchar2(20), n number, d date, i number(5))");
    Run("insert into c values ('あ\"b,c', 2.5, timestamp '2024-03-07 13:05:00', 3)");
    Run("insert into c values (null, 3.5, null, null)");
    const QString target = folder->filePath(QStringLiteral("out.csv"));
    sql->txtSQL->SetText("select * from c order by n");
    AnswerSaveDialog(target);
    QTest::keyClick(sql->txtSQL, Qt::Key_F7);
    Settle();
    EXPECT_TRUE(QFile::exists(target)) << Log().toStdString();
    const std::string expected = cp932::Utf8ToCp932("\"あ\"b,c\",2,\"2024/03/07\",3\r\n\"\",4,\"\",\r\n");
    EXPECT_EQ(ReadFile(target).toStdString(), expected);
    // The log's text is a line break and the count.
    EXPECT_EQ(sql->txtLOG->Text(), cp932::Utf8ToCp932("\r\n2 件出力終了"));
    EXPECT_TRUE(sql->StatusPanel(1).startsWith(QStringLiteral("終了:")));

    // Overwrite question: Cancel leaves the file alone and the log empty.
    {
        TMessageBoxCatcher catcher(QMessageBox::Cancel);
        sql->txtSQL->SetText("select 1 from dual");
        AnswerSaveDialog(target);
        sql->mnu_FILEOUTClick();
        EXPECT_EQ(catcher.Texts.value(0), QStringLiteral("ファイルは既に存在します。上書きしますか？"));
    }
    EXPECT_EQ(ReadFile(target).toStdString(), expected);
    EXPECT_EQ(Log(), QString());
    // A cancelled dialog writes nothing and leaves the log as it was.
    sql->txtLOG->SetText("kept");
    AnswerSaveDialog(QString());
    sql->mnu_FILEOUTClick();
    EXPECT_EQ(Log(), QStringLiteral("kept"));
    // No records: an empty file.
    {
        TMessageBoxCatcher catcher(QMessageBox::Ok);
        sql->txtSQL->SetText("select * from c where 1 = 0");
        AnswerSaveDialog(target);
        sql->mnu_FILEOUTClick();
    }
    EXPECT_EQ(ReadFile(target), QByteArray());
    EXPECT_EQ(sql->txtLOG->Text(), cp932::Utf8ToCp932("\r\n0 件出力終了"));
}

TEST_F(WorksheetTest, CsvExportFailuresAreReportedNotTakenForSuccess)
{
    // A statement that is no query: the error in the log, the file created and empty.
    const QString target = folder->filePath(QStringLiteral("bad.csv"));
    sql->txtSQL->SetText("select nosuch from dual");
    AnswerSaveDialog(target);
    sql->mnu_FILEOUTClick();
    EXPECT_TRUE(Log().contains(QStringLiteral("ORA-00904"))) << Log().toStdString();
    EXPECT_EQ(ReadFile(target), QByteArray());
    // A disk that is full: the write error in the log, no count of lines reported as written.
    sql->txtSQL->SetText(Numbers(100000));
    AnswerSaveDialog(QStringLiteral("/dev/full"));
    {
        TMessageBoxCatcher catcher(QMessageBox::Ok);
        sql->mnu_FILEOUTClick();
    }
    EXPECT_TRUE(LogPageShown());
    EXPECT_FALSE(Log().contains(QStringLiteral("件出力終了"))) << Log().toStdString();
    EXPECT_FALSE(Log().isEmpty());
    // A disk that fills during the export (a limit on the size of the files this process writes):
    // what fitted stays in the file, the error is in the log, no success.
    {
        const QString partial = folder->filePath(QStringLiteral("partial.csv"));
        constexpr rlim_t kRoom = 256 * 1024;
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = before;
        limited.rlim_cur = kRoom;
        setrlimit(RLIMIT_FSIZE, &limited);
        sql->txtLOG->SetText({});
        AnswerSaveDialog(partial);
        sql->mnu_FILEOUTClick();
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
        const QByteArray written = ReadFile(partial);
        EXPECT_EQ(written.size(), static_cast<qsizetype>(kRoom));
        EXPECT_GT(written.count("\r\n"), 1000);
        EXPECT_TRUE(LogPageShown());
        EXPECT_FALSE(Log().contains(QStringLiteral("件出力終了"))) << Log().toStdString();
        EXPECT_TRUE(Log().contains(partial)) << Log().toStdString();
    }
    // A folder that cannot be written: the file error in a box.
    {
        TMessageBoxCatcher catcher(QMessageBox::Ok);
        AnswerSaveDialog(QStringLiteral("/proc/kestrim-no-folder/save.csv"));
        sql->mnu_FILEOUTClick();
        EXPECT_EQ(catcher.Count(), 1);
    }
}

// Presses Esc, or closes, once the export has counted lines in the log.
bool ExportProgressShown(const TfrmSQL *form)
{
    return cp932::ToUnicode(form->txtLOG->Text()).contains(QStringLiteral("件目を出力中"));
}

// Each line of an export of Numbers(): a whole number and CR LF.
int WholeNumberLines(const QByteArray &written)
{
    if (!written.endsWith("\r\n"))
        return -1;
    QList<QByteArray> lines = written.split('\n');
    lines.removeLast();
    for (const QByteArray &line : lines) {
        bool number = false;
        if (!line.endsWith('\r') || (line.chopped(1).toInt(&number), !number))
            return -1;
    }
    return static_cast<int>(lines.size());
}

TEST_F(WorksheetTest, EscOffersToStopAnExportAndKeepsTheLinesWritten)
{
    const QString target = folder->filePath(QStringLiteral("esc.csv"));
    const auto escWhileWriting = [this] {
        return TWhileBusy(sql, [this] { return ExportProgressShown(sql); },
                          [this] { QTest::keyClick(sql->txtLOG, Qt::Key_Escape); });
    };
    sql->txtSQL->SetText(Numbers(100000));
    {
        // Cancel goes on to the end.
        TMessageBoxCatcher catcher(QMessageBox::Cancel);
        const TWhileBusy esc = escWhileWriting();
        AnswerSaveDialog(target);
        sql->mnu_FILEOUTClick();
        ASSERT_GE(catcher.Count(), 1);
        EXPECT_EQ(catcher.Texts.first(), QStringLiteral("中断しますか？"));
        EXPECT_EQ(catcher.Titles.first(), QStringLiteral("警告"));
        EXPECT_EQ(Log(), QStringLiteral("\r\n100000 件出力終了"));
        EXPECT_EQ(WholeNumberLines(ReadFile(target)), 100000);
    }
    {
        // OK to the overwrite question, then OK to stopping.
        TMessageBoxCatcher catcher(QMessageBox::Ok);
        const TWhileBusy esc = escWhileWriting();
        AnswerSaveDialog(target);
        sql->mnu_FILEOUTClick();
        ASSERT_EQ(catcher.Count(), 2);
        EXPECT_EQ(catcher.Texts.at(1), QStringLiteral("中断しますか？"));
    }
    // The lines written so far stay, whole, and the log counts them without calling the export
    // complete.
    const int lines = WholeNumberLines(ReadFile(target));
    EXPECT_GE(lines, 100);
    EXPECT_LT(lines, 100000);
    EXPECT_EQ(Log(), QStringLiteral("\r\n%1 件出力終了\r\n中断しました。").arg(lines));
    EXPECT_TRUE(LogPageShown());
}

TEST_F(WorksheetTest, ClosingTheWindowOrTheFrameDuringAnExportLeavesWholeLinesAndNoTransaction)
{
    Run("create table t (n number)");
    for (const bool wholeFrame : {false, true}) {
        SCOPED_TRACE(wholeFrame ? "frame" : "window");
        if (!sql) {
            frame.reset();
            Settle();
            OpenFrame();
        }
        Run("insert into t values (1)");
        const QString target = folder->filePath(QStringLiteral("closed%1.csv").arg(int(wholeFrame)));
        QPointer<TfrmSQL> window(sql);
        const TWhileBusy closer(sql, [this] { return ExportProgressShown(sql); }, [this, window, wholeFrame] {
            if (wholeFrame)
                frame->close();
            else
                CloseWindow(window);
        });
        sql->txtSQL->SetText(Numbers(300000));
        AnswerSaveDialog(target);
        sql->mnu_FILEOUTClick();
        WaitFor([&] { return window.isNull(); });
        ASSERT_TRUE(window.isNull());
        sql = nullptr;
        // The file is closed with whole lines only: fewer than the query has, at least the ones the
        // log had counted.
        const int lines = WholeNumberLines(ReadFile(target));
        EXPECT_GE(lines, 100);
        EXPECT_LT(lines, 300000);
        EXPECT_EQ(frame->isVisible(), !wholeFrame);
        ExpectSessionReleased();
    }
}

} // namespace
