// bench_worksheet: the worksheet run as a user runs it (a frame with a connected SQL window,
// F8's code path, repaints and window messages included) on a table of a million rows and eight
// columns (numbers, short texts, dates) in a copy of the demo database, against the sqlite3
// command-line program printing the same rows as CSV, in one run:
// - the fetch into grdLOG against sqlite3 -csv writing to /dev/null (CPU time of both);
// - the grid's cell memory against the size of the CSV text;
// - the CSV export against sqlite3 -csv writing to a file;
// - the longest time between two rounds of window messages during the fetch, which bounds how
//   long an Esc waits for its question.
#include "app/main_form.h"
#include "classlib/string_grid.h"
#include "localdb/catalog/demo_database.h"
#include "localdb/localdb.h"
#include "sql/sql_form.h"
#include "editor/editor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

namespace {

int kRows = 1000000;

const char *const kCreateTable =
    "create table bench_rows (id number(9), name varchar2(20), code varchar2(8), born date, "
    "amount number(9,2), qty number(5), note varchar2(16), stamp date)";
const char *const kFillTable =
    "insert into bench_rows select seq, 'name' || seq, decode(mod(seq, 4), 0, 'A', 1, 'BB', 2, 'CCC', 'DDDD'), "
    "to_date('1970-01-01', 'YYYY-MM-DD') + mod(seq, 20000), mod(seq, 100000) / 4, mod(seq, 1000), "
    "case when mod(seq, 3) <> 0 then 'note ' || mod(seq, 97) end, "
    "to_date('2020-01-01', 'YYYY-MM-DD') + mod(seq, 1000) + 0.5 "
    "from (select a.n + 10 * b.n + 100 * c.n + 1000 * d.n + 10000 * e.n + 100000 * f.n + 1 seq "
    "from digits a, digits b, digits c, digits d, digits e, digits f) where seq <= ";
const char *const kQuery = "select * from bench_rows";

double ProcessCpu()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double ChildrenCpu()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

std::string Capture(const std::string &command)
{
    std::string out;
    if (FILE *pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

// CPU seconds the sqlite3 program needs to print the table as CSV to target.
double SqliteCsv(const std::string &database, const std::string &table, const std::string &target)
{
    const std::string command = "sqlite3 -csv '" + database + "' 'select * from \"" + table + "\"' > '" + target + "'";
    const double before = ChildrenCpu();
    if (std::system(command.c_str()) != 0)
        std::abort();
    return ChildrenCpu() - before;
}

struct Worksheet {
    std::unique_ptr<TMainForm> frame;
    TfrmSQL *sql = nullptr;
};

Worksheet OpenWorksheet(const std::filesystem::path &folder, const std::string &database)
{
    const std::filesystem::path ini = folder / "kestrim.ini";
    if (FILE *file = std::fopen(ini.c_str(), "wb")) {
        std::fputs("[START]\r\nFORM=S\r\n[SQL]\r\nRIREKI_TABLE=1\r\n", file);
        std::fclose(file);
    }
    Worksheet w;
    w.frame = std::make_unique<TMainForm>();
    w.frame->SetIniFileName(QString::fromStdString(ini.string()));
    w.frame->SetStartArguments({QStringLiteral("scott/tiger@") + QString::fromStdString(database)});
    w.frame->resize(1200, 800);
    w.frame->show();
    for (int i = 0; i < 200 && w.frame->ChildCounter() == 0; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    w.sql = qobject_cast<TfrmSQL *>(w.frame->ActiveChild());
    if (!w.sql || !w.sql->Connected())
        std::abort();
    return w;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (const char *rows = std::getenv("KESTRIM_BENCH_ROWS"))
        kRows = std::max(1000, std::atoi(rows));

    char pattern[] = "/tmp/kestrim-bench-ws-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const std::filesystem::path folder = pattern;
    const std::string database = (folder / "demo.kdb").string();
    {
        localdb::createDemoDatabase(database);
        auto session = localdb::Session::open(database, "SCOTT", "TIGER");
        session->execute(kCreateTable);
        session->execute("create table digits (n number(1))");
        session->execute("insert into digits select level - 1 from dual connect by level <= 10");
        session->execute(kFillTable + std::to_string(kRows));
    }
    // The engine's own name of the table in the database file.
    std::string table;
    {
        const std::string tables = Capture("sqlite3 '" + database + "' .tables");
        for (std::size_t start = 0; start < tables.size();) {
            const std::size_t end = tables.find_first_of(" \n", start);
            const std::string name = tables.substr(start, end - start);
            if (name.find("BENCH_ROWS") != std::string::npos)
                table = name;
            if (end == std::string::npos)
                break;
            start = tables.find_first_not_of(" \n", end);
        }
    }
    if (table.empty())
        return 1;
    const std::string csvBaseline = (folder / "sqlite.csv").string();
    double printNull = 1e9;
    double printFile = 1e9;
    for (int round = 0; round < 3; ++round) {
        printNull = std::min(printNull, SqliteCsv(database, table, "/dev/null"));
        printFile = std::min(printFile, SqliteCsv(database, table, csvBaseline));
    }
    struct stat csvStat {};
    stat(csvBaseline.c_str(), &csvStat);
    const double csvBytes = static_cast<double>(csvStat.st_size);

    Worksheet w = OpenWorksheet(folder, database);
    double fetch = 1e9;
    double worstGapMs = 0;
    double cellBytes = 0;
    for (int round = 0; round < 3; ++round) {
        w.sql->txtSQL->SetText(kQuery);
        // A timer that fires on every round of window messages: the longest pause between two
        // firings is the longest an Esc would wait.
        QElapsedTimer sinceRound;
        qint64 worst = 0;
        QTimer rounds;
        rounds.setInterval(0);
        QObject::connect(&rounds, &QTimer::timeout, [&] {
            if (sinceRound.isValid())
                worst = std::max(worst, sinceRound.elapsed());
            sinceRound.start();
        });
        rounds.start();
        const double start = ProcessCpu();
        w.sql->mnu_EXECUTEClick();
        const double spent = ProcessCpu() - start;
        rounds.stop();
        if (w.sql->grdLOG->RowCount() != kRows + 1)
            std::abort();
        fetch = std::min(fetch, spent);
        // The worst pause of every round counts, not only the best round's.
        worstGapMs = std::max(worstGapMs, static_cast<double>(worst));
        cellBytes = static_cast<double>(w.sql->grdLOG->CellStore().MemoryBytes());
    }

    const QString exportFile = QString::fromStdString((folder / "worksheet.csv").string());
    double exportTime = 1e9;
    for (int round = 0; round < 3; ++round) {
        std::filesystem::remove(exportFile.toStdString());
        QTimer::singleShot(0, [exportFile] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                std::abort();
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(exportFile);
            static_cast<QDialog *>(dialog)->accept();
        });
        w.sql->txtSQL->SetText(kQuery);
        const double start = ProcessCpu();
        w.sql->mnu_FILEOUTClick();
        exportTime = std::min(exportTime, ProcessCpu() - start);
    }
    const auto exported = std::filesystem::file_size(exportFile.toStdString());
    w.frame->close();
    w.frame.reset();
    std::filesystem::remove_all(folder);

    std::printf("rows %d, columns 8; sqlite3 -csv: %.3f s to /dev/null, %.3f s to a file of %.0f bytes\n", kRows,
                printNull, printFile, csvBytes);
    std::printf("worksheet fetch into grdLOG: %.3f s of CPU time, %.0f bytes of cell memory, worst pause "
                "between message rounds %.0f ms\n",
                fetch, cellBytes, worstGapMs);
    std::printf("worksheet CSV export: %.3f s of CPU time, %ju bytes\n", exportTime, static_cast<std::uintmax_t>(exported));
    std::printf("ratio worksheet_fetch_time %.3f <= 2\n", fetch / printNull);
    std::printf("ratio worksheet_grid_memory %.3f <= 2\n", cellBytes / csvBytes);
    std::printf("ratio worksheet_export_time %.3f <= 1.5\n", exportTime / printFile);
    std::printf("ratio worksheet_message_gap_seconds %.3f <= 0.2\n", worstGapMs / 1000.0);
    return 0;
}
