// Running the worksheet's statement (F8): classification, the query fetch into grdLOG with its
// progress and Esc, commit and rollback, the column description, and failures in the log.
#include "sql/sql_form.h"

#include "classlib/cp932.h"
#include "classlib/string_grid.h"
#include "db/cursor_guard.h"
#include "db/escape_watch.h"
#include "db/message_box.h"
#include "db/ora_database.h"
#include "db/ora_error.h"
#include "db/ora_session.h"
#include "sql/column_description.h"
#include "sql/statement_text.h"
#include "sql/status_times.h"
#include "sql/value_text.h"
#include "sql/worksheet_command.h"
#include "editor/editor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTime>

using worksheet::ClockText;
using worksheet::ElapsedText;
using worksheet::TStatementKind;

namespace {

// Between two rounds of window messages during a fetch: short enough that Esc is answered at
// once, long enough that a million records do not spend their time asking for messages.
constexpr qint64 kMessageIntervalMs = 20;
constexpr qint64 kRepaintIntervalMs = 100;

} // namespace

void TfrmSQL::mnu_EXECUTEClick()
{
    TWorksheetCommand command(*this);
    if (!command.Started())
        return;
    RunStatement(command.Database());
}

bool TfrmSQL::AskCancel()
{
    return TEscapeWatch::Pressed() && msgbox::Confirm(this, QStringLiteral("中断しますか？"));
}

bool TfrmSQL::WhileEngineWorks()
{
    QPointer<TfrmSQL> self(this);
    QCoreApplication::processEvents();
    if (!self || FCloseRequested)
        return true;
    if (FCancelAllowed && AskCancel()) {
        FUserCancelled = true;
        return true;
    }
    return false;
}

void TfrmSQL::RunStatement(db::OraDatabase &database)
{
    QPointer<TfrmSQL> self(this);
    TDbWaitCursor waitCursor;
    const QTime start = QTime::currentTime();
    SetStatus(0, QStringLiteral("開始:") + ClockText(start));
    for (int i = 1; i < 4; ++i)
        SetStatus(i, QString());
    TEscapeWatch::Pressed();
    const std::string text = txtSQL->Text();
    FCurrentStatement = worksheet::RemoveComments(text);
    AddHistory(text);
    try {
        switch (worksheet::ClassifyStatement(FCurrentStatement)) {
        case TStatementKind::Query:
            FetchQuery(database, text);
            break;
        case TStatementKind::Commit:
            ShowLogPage();
            SessionRef()->DbCommitTrans();
            SessionRef()->DbBeginTrans();
            SetLogText(QStringLiteral("コミットが完了しました。"));
            break;
        case TStatementKind::Rollback:
            ShowLogPage();
            SessionRef()->DbRollback();
            SessionRef()->DbBeginTrans();
            SetLogText(QStringLiteral("ロールバックが完了しました。"));
            break;
        case TStatementKind::Describe:
            DescribeTable(database, worksheet::DescribedName(FCurrentStatement));
            break;
        case TStatementKind::Truncate:
            ShowLogPage();
            database.DbExecuteSQL(FCurrentStatement);
            SetLogText(QStringLiteral("クリアしました。"));
            break;
        case TStatementKind::Other: {
            ShowLogPage();
            // A long update or a PL/SQL block is stopped with Esc as a fetch is; the engine
            // then undoes the statement's own work and reports ORA-01013.
            FCancelAllowed = true;
            const std::int64_t rows = database.DbExecuteSQL(FCurrentStatement);
            FCancelAllowed = false;
            SetLogText(QString::number(rows) + QStringLiteral(" 件処理しました。"));
            break;
        }
        }
    } catch (const std::exception &error) {
        if (self)
            ShowFailure(error, database);
        return;
    }
    if (!self)
        return;
    txtSQL->setFocus();
    const QTime end = QTime::currentTime();
    SetStatus(1, QStringLiteral("終了:") + ClockText(end));
    SetStatus(2, QStringLiteral("時間:") + ElapsedText(start, end));
    grdLOG->SetRedraw(true);
    SetStatus(3, QString::number(FGridRecords) + QStringLiteral("件"));
    grdLOG->Repaint();
    QCoreApplication::processEvents();
}

namespace {

// Writes one field of the current record into its cell, by the field's type code; text values
// go in without a copy.
void WriteFieldCell(TStringGrid &grid, int col, int row, const db::OraField &field)
{
    const db::Variant &value = field.Value();
    const int type = field.type();
    if (field.binaryKind() && (value.index() == 1 || value.index() == 2)) {
        const double number = value.index() == 1 ? double(std::get<std::int64_t>(value)) : std::get<double>(value);
        grid.SetCells(col, row, db::BinaryNumberText(number, field.binaryKind() == 'F'));
        return;
    }
    if (const auto *text = std::get_if<std::string>(&value); text && type != 3) {
        if (type == 4 || type == 7 || type == 8 || type == 10 || type == 12)
            grid.SetCells(col, row, *text);
        return;
    }
    bool hasText = false;
    const std::string text = worksheet::GridCellText(type, value, hasText);
    if (hasText)
        grid.SetCells(col, row, text);
}

} // namespace

void TfrmSQL::FetchQuery(db::OraDatabase &database, const std::string &text)
{
    QPointer<TfrmSQL> self(this);
    FGridRecords = 0;
    Host()->ClearGrid(*grdLOG);
    ShowDataPage();
    QCoreApplication::processEvents();
    if (!self)
        return;
    grdLOG->setFocus();
    grdLOG->SetRedraw(false);
    // Esc may stop the query while the engine looks for its first row and between records.
    FCancelAllowed = true;
    // A cancel the user asked for ends in the engine's ORA-01013, which is no failure here.
    const auto userCancel = [this](const db::EOraError &error) {
        return error.Code() == 1013 && (FUserCancelled || FCloseRequested);
    };
    std::shared_ptr<db::OraDynaset> dynaset;
    try {
        dynaset = database.DbCreateDynaset(text, 4);
    } catch (const db::EOraError &error) {
        if (!self || !userCancel(error))
            throw;
    }
    if (dynaset) {
        const int fieldCount = dynaset->Fields().Count();
        grdLOG->SetColCount(fieldCount + 1);
        std::vector<std::shared_ptr<db::OraField>> fields;
        fields.reserve(static_cast<std::size_t>(fieldCount));
        for (int i = 0; i < fieldCount; ++i) {
            fields.push_back(dynaset->Fields(i));
            grdLOG->SetCells(i + 1, 0, fields.back()->name());
        }
        QElapsedTimer sinceMessages;
        QElapsedTimer sinceRepaint;
        sinceMessages.start();
        sinceRepaint.start();
        for (int n = 1; !dynaset->Eof(); ++n) {
            const int row = grdLOG->RowCount() - 1;
            grdLOG->SetCells(0, row, std::to_string(row));
            for (int i = 0; i < fieldCount; ++i) {
                const db::OraField &field = *fields[static_cast<std::size_t>(i)];
                if (field.type() != 11) {
                    WriteFieldCell(*grdLOG, i + 1, row, field);
                    continue;
                }
                auto binary = database.DbCreateDynaset(
                    worksheet::LongBinaryQuery(field.name(), FCurrentStatement, n), 8);
                std::string cell;
                if (!binary->Eof()) {
                    binary->MoveLast();
                    worksheet::AppendValueText(cell, binary->Fields(0)->Value(), false);
                }
                grdLOG->SetCells(i + 1, row, cell);
            }
            FGridRecords = n;
            try {
                dynaset->MoveNext();
            } catch (const db::EOraError &error) {
                if (!self || !userCancel(error))
                    throw;
                break;
            }
            if (sinceMessages.elapsed() >= kMessageIntervalMs) {
                QCoreApplication::processEvents();
                if (!self)
                    return;
                sinceMessages.start();
                if (FCloseRequested || FUserCancelled)
                    break;
            }
            if (n % 100 == 0) {
                if (sinceRepaint.elapsed() >= kRepaintIntervalMs) {
                    grdLOG->SetRedraw(true);
                    grdLOG->Repaint();
                    grdLOG->SetRedraw(false);
                    sinceRepaint.start();
                }
                SetStatus(3, QString::number(n) + QStringLiteral("件"));
            }
            if (AskCancel()) {
                if (!self)
                    return;
                break;
            }
            if (!dynaset->Eof())
                grdLOG->SetRowCount(grdLOG->RowCount() + 1);
        }
    }
    FCancelAllowed = false;
    // The result is let go before anything else runs on the session: an open cursor would hold
    // its snapshot through a later commit or rollback.
    dynaset.reset();
    Host()->AutoSizeGridColumns(*grdLOG);
}

void TfrmSQL::DescribeTable(db::OraDatabase &database, const std::string &name)
{
    ShowDataPage();
    auto dynaset = database.DbCreateDynaset(worksheet::ColumnDescriptionQuery(name), 8);
    FGridRecords = Host()->FillGridFromDynaset(std::move(dynaset), *grdLOG);
}

void TfrmSQL::ShowFailure(const std::exception &error, const db::OraDatabase &database)
{
    if (const auto *oraError = dynamic_cast<const db::EOraError *>(&error))
        ShowFailure(cp932::ToUnicode(oraError->Cp932Message()), database.LastServerErrPos());
    else
        ShowFailure(QString::fromUtf8(error.what()), 0);
}

void TfrmSQL::ShowFailure(const QString &message, int serverErrPos)
{
    ShowLogPage();
    if (serverErrPos > 0)
        {
        txtSQL->SetSelStart(serverErrPos);
        txtSQL->ScrollCaret();
    }
    txtSQL->setFocus();
    SetLogText(message);
    grdLOG->SetRedraw(true);
    QCoreApplication::processEvents();
}

void TfrmSQL::SetLogText(const QString &text)
{
    SetLogText(cp932::FromUnicode(text));
}
