// Execution plans (Ctrl+F9) and the plan table commands.
#include "sql/sql_form.h"

#include "db/cursor_guard.h"
#include "db/message_box.h"
#include "db/ora_database.h"
#include "db/ora_session.h"
#include "sql/plan_text.h"
#include "sql/worksheet_command.h"
#include "editor/editor.h"

#include <QCoreApplication>

void TfrmSQL::mnu_PLANClick()
{
    TWorksheetCommand command(*this);
    if (!command.Started())
        return;
    QPointer<TfrmSQL> self(this);
    TDbWaitCursor waitCursor;
    ShowLogPage();
    for (int i = 0; i < 4; ++i)
        SetStatus(i, QString());
    const std::string text = txtSQL->Text();
    AddHistory(text);
    db::OraDatabase &database = command.Database();
    try {
        database.DbExecuteSQL(std::string(worksheet::PlanDeleteStatement()));
        database.ExecuteSQL(worksheet::ExplainStatement(text));
        std::string plan;
        {
            auto dynaset = database.DbCreateDynaset(std::string(worksheet::PlanQuery()), 8);
            auto field = dynaset->Fields(0);
            for (; !dynaset->Eof(); dynaset->MoveNext()) {
                if (const auto *line = std::get_if<std::string>(&field->Value()))
                    plan += *line;
                plan += '\r';
            }
        }
        SetLogText(plan);
        QCoreApplication::processEvents();
        if (!self)
            return;
        // Explaining ends the open transaction: the plan rows are not kept, nor the user's work.
        command.Session().DbRollback();
        command.Session().DbBeginTrans();
    } catch (const std::exception &error) {
        if (self)
            ShowFailure(error, database);
    }
}

void TfrmSQL::mnu_MakePLANTABLEClick()
{
    RunPlanTableCommand(QStringLiteral("PLAN TABLEを作成しますか？"), worksheet::CreatePlanTableStatement(),
                        QStringLiteral("PLAN TABLEが作成されました。"));
}

void TfrmSQL::mnu_DelPLANTABLEClick()
{
    RunPlanTableCommand(QStringLiteral("PLAN TABLEを削除しますか？"), worksheet::DropPlanTableStatement(),
                        QStringLiteral("PLAN TABLEが削除されました。"));
}

void TfrmSQL::RunPlanTableCommand(const QString &question, std::string_view statement, const QString &done)
{
    TWorksheetCommand command(*this);
    if (!command.Started() || !msgbox::Confirm(this, question))
        return;
    QPointer<TfrmSQL> self(this);
    TDbWaitCursor waitCursor;
    try {
        command.Database().ExecuteSQL(std::string(statement));
        ShowLogPage();
        SetLogText(done);
        QCoreApplication::processEvents();
    } catch (const std::exception &error) {
        if (self)
            ShowFailure(error, command.Database());
    }
}
