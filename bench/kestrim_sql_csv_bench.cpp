// bench_kestrim_sql: kestrim-sql printing a million rows of eight columns (numbers, texts,
// dates) with SET MARKUP CSV ON, against the sqlite3 program printing the same stored rows with
// -csv, both to /dev/null, in one run. Each figure is the processor time (user and system) the
// program spent, the best of three rounds; the ratio is kestrim-sql's over sqlite3's.
//
// KESTRIM_BENCH_ROWS sets another row count for a quick try.
#include "bench/support/scratch_database.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char *const kCreateTable =
    "create table bench_rows (id number(9), name varchar2(20), code varchar2(8), born date, "
    "amount number(9,2), qty number(5), note varchar2(16), stamp date)";
const char *const kFillTable =
    "insert into bench_rows select level, 'name' || level, "
    "decode(mod(level, 4), 0, 'A', 1, 'BB', 2, 'CCC', 'DDDD'), "
    "to_date('1970-01-01', 'YYYY-MM-DD') + mod(level, 20000), mod(level, 100000) / 4, mod(level, 1000), "
    "case when mod(level, 3) <> 0 then 'note, \"' || mod(level, 97) || '\"' end, "
    "to_date('2020-01-01', 'YYYY-MM-DD') + mod(level, 1000) + 0.5 "
    "from dual connect by level <= ";

double childrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// Runs a program with standard input from a file and standard output to another; the
// processor time it took. A program that fails ends the benchmark: its figure would mean nothing.
double runProgram(const std::vector<std::string> &arguments, const std::string &input, const std::string &output) {
    const double before = childrenCpuSeconds();
    const pid_t pid = fork();
    if (pid == 0) {
        if (!std::freopen(input.c_str(), "r", stdin) || !std::freopen(output.c_str(), "w", stdout))
            _exit(126);
        std::vector<char *> argv;
        for (const std::string &a : arguments)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s ended with status %d\n", arguments[0].c_str(), status);
        std::exit(1);
    }
    return childrenCpuSeconds() - before;
}

long long countLines(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n');
}

}  // namespace

int main() {
    long long rows = 1000000;
    if (const char *text = std::getenv("KESTRIM_BENCH_ROWS"))
        rows = std::max(1000LL, std::atoll(text));

    const bench::ScratchDatabase scratch;
    const std::string &database = scratch.path();
    const std::filesystem::path folder = std::filesystem::path(database).parent_path();
    {
        auto session = scratch.openSystem();
        session->execute(kCreateTable);
        session->execute(kFillTable + std::to_string(rows));
    }
    const std::string table = "SYSTEM.BENCH_ROWS";  // the engine's name of it in the file

    const std::string clientScript = (folder / "client.sql").string();
    std::ofstream(clientScript) << "set markup csv on\nset feedback off\nselect * from bench_rows;\nexit\n";
    const std::string shellScript = (folder / "shell.sql").string();
    std::ofstream(shellScript) << "select * from \"" << table << "\";\n";
    const std::vector<std::string> client = {KESTRIM_SQL_PROGRAM, "-S", "system/MANAGER@" + database};
    const std::vector<std::string> shell = {"sqlite3", "-csv", "-readonly", database};

    // Both print every row: a heading and the rows, nothing more.
    const std::string check = (folder / "check.csv").string();
    runProgram(client, clientScript, check);
    const long long clientLines = countLines(check);
    runProgram(shell, shellScript, check);
    const long long shellLines = countLines(check);
    std::filesystem::remove(check);
    if (clientLines != rows + 1 || shellLines != rows) {
        std::fprintf(stderr, "printed %lld and %lld lines for %lld rows\n", clientLines, shellLines, rows);
        return 1;
    }

    double clientSeconds = 1e30;
    double shellSeconds = 1e30;
    for (int round = 0; round < 3; ++round) {
        clientSeconds = std::min(clientSeconds, runProgram(client, clientScript, "/dev/null"));
        shellSeconds = std::min(shellSeconds, runProgram(shell, shellScript, "/dev/null"));
    }

    std::printf("CSV of %lld rows of 8 columns: kestrim-sql %.3f s, sqlite3 %.3f s (processor time)\n", rows,
                clientSeconds, shellSeconds);
    std::printf("ratio kestrim_sql_csv %.3f <= 1.5\n", clientSeconds / shellSeconds);
    return 0;
}
