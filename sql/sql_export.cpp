// Writing the statement's records to a CSV file (F7), with progress in the log and Esc.
#include "sql/sql_form.h"

#include "classlib/cp932.h"
#include "classlib/errors.h"
#include "db/cursor_guard.h"
#include "db/escape_watch.h"
#include "db/message_box.h"
#include "db/ora_database.h"
#include "db/ora_error.h"
#include "sql/csv_file.h"
#include "sql/csv_line.h"
#include "sql/status_times.h"
#include "sql/worksheet_command.h"
#include "editor/editor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTime>

void TfrmSQL::mnu_FILEOUTClick()
{
    TWorksheetCommand command(*this);
    if (!command.Started())
        return;
    TEscapeWatch::Pressed();
    const QString fileName = Host()->ExecuteSaveDialog(QStringLiteral("save.csv"));
    if (fileName.isEmpty())
        return;
    txtLOG->SetText({});
    if (QFileInfo::exists(fileName) &&
        !msgbox::Confirm(this, QStringLiteral("ファイルは既に存在します。上書きしますか？")))
        return;
    ExportCsv(command.Database(), fileName);
}

// Writes a line per record of the query; false when Esc or the window closing stopped it first.
bool TfrmSQL::WriteCsvRecords(db::OraDatabase &database, const std::string &text, worksheet::TCsvFile &file,
                              int &count)
{
    QPointer<TfrmSQL> self(this);
    auto dynaset = database.DbCreateDynaset(text, 8);
    const int fieldCount = dynaset->Fields().Count();
    std::vector<std::shared_ptr<db::OraField>> fields;
    for (int i = 0; i < fieldCount; ++i)
        fields.push_back(dynaset->Fields(i));
    std::string line;
    QElapsedTimer sinceMessages;
    sinceMessages.start();
    while (!dynaset->Eof()) {
        line.clear();
        for (int i = 0; i < fieldCount; ++i) {
            if (i > 0)
                line += ',';
            const db::OraField &field = *fields[static_cast<std::size_t>(i)];
            worksheet::AppendCsvField(line, field.type(), field.Value());
        }
        line += "\r\n";
        file.Write(line);
        dynaset->MoveNext();
        ++count;
        if (count % 100 == 0)
            SetLogText(QStringLiteral("\r\n%1 件目を出力中").arg(count));
        if (sinceMessages.elapsed() >= 20) {
            QCoreApplication::processEvents();
            // The window waits for its command before it closes, so it is still here.
            if (!self || FCloseRequested)
                return false;
            sinceMessages.start();
        }
        if (AskCancel())
            return false;
    }
    return true;
}

void TfrmSQL::ExportCsv(db::OraDatabase &database, const QString &fileName)
{
    QPointer<TfrmSQL> self(this);
    worksheet::TCsvFile file;
    try {
        file.Create(fileName);
    } catch (const std::exception &error) {
        msgbox::ShowError(this, QString::fromUtf8(error.what()));
        return;
    }
    THourglassCursor hourglass;
    const QTime start = QTime::currentTime();
    SetStatus(0, QStringLiteral("開始:") + worksheet::ClockText(start));
    const std::string text = txtSQL->Text();
    AddHistory(text);
    ShowLogPage();
    int count = 0;
    // Stopped by the user's Esc or by the window closing: the lines written so far stay, and the
    // log says the export did not reach the end.
    bool stopped = false;
    try {
        FCancelAllowed = true;
        try {
            stopped = !WriteCsvRecords(database, text, file, count);
        } catch (const db::EOraError &error) {
            // The engine's answer to the user's Esc or to the window closing ends the export
            // like an Esc between records.
            if (!self || error.Code() != 1013 || !(FUserCancelled || FCloseRequested))
                throw;
            stopped = true;
        }
        FCancelAllowed = false;
        // Closing flushes the last lines: a disk that fills now is a failure like any other.
        file.Close();
    } catch (const std::exception &error) {
        FCancelAllowed = false;
        // The lines written so far stay in the file.
        file.CloseQuietly();
        if (self)
            ShowFailure(error, database);
        return;
    }
    if (!self)
        return;
    QString log = QStringLiteral("\r\n%1 件出力終了").arg(count);
    if (stopped)
        log += QStringLiteral("\r\n中断しました。");
    SetLogText(log);
    const QTime end = QTime::currentTime();
    SetStatus(1, QStringLiteral("終了:") + worksheet::ClockText(end));
    SetStatus(2, QStringLiteral("時間:") + worksheet::ElapsedText(start, end));
    SetStatus(3, QString());
    QCoreApplication::processEvents();
}
