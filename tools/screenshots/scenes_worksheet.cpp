// Scenes of the SQL worksheet, connected to a copy of the demo database: a query's rows in the
// grid, an execution plan in the log, a column description, and an error with its caret.
#include "tools/screenshots/scene_registry.h"

#include "app/main_form.h"
#include "classlib/cp932.h"
#include "db/form_helpers.h"
#include "editor/editor.h"
#include "localdb/catalog/demo_database.h"
#include "localdb/localdb.h"
#include "sql/sql_form.h"

#include <QApplication>
#include <QTemporaryDir>

#include <stdexcept>

namespace {

// One copy of the demo database for all scenes, with a plan table, removed at exit.
const QString &DemoCopy()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString file = folder.filePath(QStringLiteral("demo.kdb"));
        localdb::createDemoDatabase(file.toStdString());
        auto session = localdb::Session::open(file.toStdString(), "SCOTT", "TIGER");
        session->execute("create table PLAN_TABLE (statement_id varchar2(30), timestamp date, remarks varchar2(80), "
                         "operation varchar2(30), options varchar2(30), object_node varchar2(128), "
                         "object_owner varchar2(30), object_name varchar2(30), object_instance numeric, "
                         "object_type varchar2(30), optimizer varchar2(255), search_columns number, id numeric, "
                         "parent_id numeric, position numeric, cost numeric, cardinality numeric, bytes numeric, "
                         "other_tag varchar2(255), partition_start varchar2(255), partition_stop varchar2(255), "
                         "partition_id numeric, other long)");
        return file;
    }();
    return path;
}

// A frame of 1000 x 640 pixels with one worksheet connected as SCOTT, the left panel shown.
std::unique_ptr<TMainForm> Frame(TfrmSQL *&sql)
{
    // The windows' Japanese font names map to the installed fonts, as at the program's start.
    formutil::InstallFontSubstitutions();
    static QTemporaryDir iniFolder;
    const QString ini = iniFolder.filePath(QStringLiteral("kestrim.ini"));
    QFile file(ini);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the ini file");
    file.write("[START]\r\nFORM=S\r\n[SQL]\r\nRIREKI_TABLE=1\r\n");
    file.close();
    auto frame = std::make_unique<TMainForm>();
    frame->SetIniFileName(ini);
    frame->SetStartArguments({QStringLiteral("scott/tiger@") + DemoCopy()});
    frame->resize(1000, 640);
    frame->show();
    for (int i = 0; i < 200 && frame->ChildCounter() == 0; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    sql = qobject_cast<TfrmSQL *>(frame->ActiveChild());
    if (!sql || !sql->Connected())
        throw std::runtime_error("the worksheet did not connect");
    return frame;
}

void Run(TfrmSQL &sql, const char *utf8)
{
    sql.txtSQL->SetText(cp932::FromUnicode(QString::fromUtf8(utf8)));
    sql.mnu_EXECUTEClick();
    QApplication::processEvents();
}

std::unique_ptr<QWidget> QueryScene()
{
    TfrmSQL *sql = nullptr;
    auto frame = Frame(sql);
    Run(*sql, "select * from dept");
    Run(*sql, "select empno, ename, job, mgr, hiredate, sal, comm, deptno\n  from emp\n where sal > 1000 -- 給与\n order by deptno, sal desc");
    return frame;
}

std::unique_ptr<QWidget> PlanScene()
{
    TfrmSQL *sql = nullptr;
    auto frame = Frame(sql);
    sql->txtSQL->SetText("select d.dname, count(*)\n  from emp e, dept d\n where e.deptno = d.deptno\n group by d.dname\n order by 2 desc");
    sql->mnu_PLANClick();
    QApplication::processEvents();
    return frame;
}

std::unique_ptr<QWidget> DescribeScene()
{
    TfrmSQL *sql = nullptr;
    auto frame = Frame(sql);
    Run(*sql, "desc emp");
    return frame;
}

std::unique_ptr<QWidget> ErrorScene()
{
    TfrmSQL *sql = nullptr;
    auto frame = Frame(sql);
    Run(*sql, "select empno, ename,\n       salary * 12 \"年収\"\n  from emp");
    return frame;
}

const screenshots::TSceneRegistration query("worksheet_query", QueryScene);
const screenshots::TSceneRegistration plan("worksheet_plan", PlanScene);
const screenshots::TSceneRegistration describe("worksheet_describe", DescribeScene);
const screenshots::TSceneRegistration error("worksheet_error", ErrorScene);

} // namespace
