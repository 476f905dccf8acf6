// bench_app: a million rows of ten columns filled into the string grid through the dynaset and
// the grid filler, against the same rows read into plain vectors, in one run. Reports the time
// ratio and the grid's memory against the bytes of text it holds.
//
// The rows come from a generated cursor of the engine's interface (numbers, dates, Japanese and
// ASCII text, nulls), so both sides pay the same for producing them.
#include "app/grid_filler.h"
#include "classlib/string_grid.h"
#include "db/ora_dynaset.h"
#include "localdb/localdb.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

int kRows = 1000000;

// Ten columns shaped like an employee table: id, name (kanji), department, hire date, salary,
// commission (often null), job, mail address, flag, remark (kanji, sometimes null).
class GeneratedRows : public localdb::Cursor {
public:
    explicit GeneratedRows(int rows) : rows_(rows), values_(10)
    {
        auto column = [](const char *name, localdb::FieldType type) {
            localdb::Column c;
            c.name = name;
            c.type = type;
            return c;
        };
        columns_ = {column("EMPNO", localdb::LongInteger), column("ENAME", localdb::Text),
                    column("DEPTNO", localdb::Integer),     column("HIREDATE", localdb::Date),
                    column("SAL", localdb::Double),         column("COMM", localdb::Double),
                    column("JOB", localdb::Text),           column("EMAIL", localdb::Text),
                    column("FLAG", localdb::Text),          column("REMARK", localdb::Text)};
    }
    const std::vector<localdb::Column> &columns() const override { return columns_; }
    bool next() override
    {
        if (row_ >= rows_) return false;
        const int i = ++row_;
        static const char *const jobs[] = {"CLERK", "SALESMAN", "MANAGER", "ANALYST", "PRESIDENT"};
        values_[0] = std::int64_t{i};
        values_[1] = "\xe7\xa4\xbe\xe5\x93\xa1" + std::to_string(i);  // 社員n
        values_[2] = std::int64_t{10 * (i % 4 + 1)};
        values_[3] = localdb::DateTime{1980 + i % 40, 1 + i % 12, 1 + i % 28, i % 3 ? 0 : 9, 0, 0};
        values_[4] = 800.0 + (i % 4000) + 0.5;
        values_[5] = i % 3 ? localdb::Value{} : localdb::Value{(i % 1400) * 1.0};
        values_[6] = std::string(jobs[i % 5]);
        values_[7] = "user" + std::to_string(i) + "@example.jp";
        values_[8] = std::string(i % 2 ? "Y" : "N");
        values_[9] = i % 4 ? localdb::Value{std::string("\xe6\x9c\xac\xe7\xa4\xbe\xe5\x8b\xa4\xe5\x8b\x99")}  // 本社勤務
                           : localdb::Value{};
        return true;
    }
    const localdb::Value &value(int column) const override { return values_[static_cast<std::size_t>(column)]; }

private:
    int rows_;
    int row_ = 0;
    std::vector<localdb::Column> columns_;
    std::vector<localdb::Value> values_;
};

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The baseline: every value of every row copied into one plain vector per column.
double ReadIntoVectors()
{
    const auto start = std::chrono::steady_clock::now();
    GeneratedRows rows(kRows);
    std::vector<std::vector<localdb::Value>> columns(rows.columns().size());
    while (rows.next()) {
        for (std::size_t c = 0; c < columns.size(); ++c) columns[c].push_back(rows.value(static_cast<int>(c)));
    }
    const double elapsed = Seconds(std::chrono::steady_clock::now() - start);
    if (columns[0].size() != kRows) std::abort();
    return elapsed;
}

struct GridResult {
    double seconds = 0;
    std::size_t memory = 0;
    std::size_t text = 0;
};

GridResult FillGrid()
{
    TStringGrid grid;
    grid.resize(800, 600);
    grid.show();
    QApplication::processEvents();
    const auto start = std::chrono::steady_clock::now();
    auto dynaset = std::make_shared<db::OraDynaset>(nullptr, std::make_unique<GeneratedRows>(kRows));
    const int records = app::FillGridFromDynaset(std::move(dynaset), grid);
    GridResult result;
    result.seconds = Seconds(std::chrono::steady_clock::now() - start);
    if (records != kRows || grid.RowCount() != kRows + 1) std::abort();
    result.memory = grid.CellStore().MemoryBytes();
    result.text = grid.CellStore().TextBytes();
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (const char *rows = std::getenv("KESTRIM_BENCH_ROWS")) kRows = std::max(1000, std::atoi(rows));

    // Two rounds, the best of each side, so that a busy moment of the machine counts less.
    double plain = 1e9;
    GridResult grid;
    grid.seconds = 1e9;
    for (int round = 0; round < 2; ++round) {
        plain = std::min(plain, ReadIntoVectors());
        GridResult r = FillGrid();
        if (r.seconds < grid.seconds) grid = r;
    }
    std::printf("rows %d, columns 10 (generated in memory)\n", kRows);
    std::printf("plain vectors: %.3f s\n", plain);
    std::printf("string grid:   %.3f s, %zu bytes of cell memory for %zu bytes of text\n", grid.seconds,
                grid.memory, grid.text);
    std::printf("ratio grid_fill_time %.3f <= 2\n", grid.seconds / plain);
    std::printf("ratio grid_fill_memory %.3f <= 2\n", static_cast<double>(grid.memory) / static_cast<double>(grid.text));
    return 0;
}
