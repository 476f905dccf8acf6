// Runs the engine's logic test files: plain text files of statements with their expected rows or
// errors, each file against a fresh database in a private temporary folder.
//
// Directives (a blank line ends a statement; expected results follow "----"):
//   # comment
//   statement ok                       the statement must succeed
//   statement error                    the statement must fail with the message after ----
//                                      (an optional line "at N" then pins the error position)
//   query <types> [nosort|rowsort]     rows after ----, one per line, values separated by a tab;
//                                      NULL for null, dates as YYYY-MM-DD HH:MM:SS. One letter per
//                                      column, checked against every non-null value: I integer,
//                                      R number with a fraction part possible (integer or double),
//                                      T text, D date, B binary
//   columns                            the statement's result columns: "NAME TYPECODE ORACLETYPE"
//   connect <session> <user> <password>  opens (or switches to) a named session
//   session <session>                  switches to an open session
//   load demo                          replaces the database by a fresh demo database and
//                                      connects session "default" as SCOTT
//   transaction begin|commit|rollback  the session interface's transaction calls
//   output                             the lines DBMS_OUTPUT holds (Session::takeOutput), one per
//                                      line after ----; (empty) for an empty line
#include "localdb/catalog/demo_database.h"
#include "localdb/localdb.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string formatValue(const localdb::Value &v) {
    switch (v.index()) {
    case 0:
        return "NULL";
    case 1:
        return std::to_string(std::get<std::int64_t>(v));
    case 2: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", std::get<double>(v));
        return buf;
    }
    case 3: {
        const std::string &s = std::get<std::string>(v);
        return s.empty() ? "(empty)" : s;
    }
    case 4: {
        const auto &d = std::get<localdb::DateTime>(v);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                      d.second);
        return buf;
    }
    default: {
        std::string hex;
        char buf[4];
        for (auto b : std::get<localdb::Bytes>(v).data) {
            std::snprintf(buf, sizeof buf, "%02X", b);
            hex += buf;
        }
        return hex;
    }
    }
}

// Whether a value may stand in a column of the given type letter; null fits every column.
bool fitsTypeLetter(const localdb::Value &v, char letter) {
    switch (v.index()) {
    case 0:
        return true;
    case 1:
        return letter == 'I' || letter == 'R';
    case 2:
        return letter == 'R';
    case 3:
        return letter == 'T';
    case 4:
        return letter == 'D';
    default:
        return letter == 'B';
    }
}

struct Runner {
    std::string file;
    std::filesystem::path folder;
    std::string database;
    std::map<std::string, std::unique_ptr<localdb::Session>> sessions;
    std::string current = "default";
    int failures = 0;

    localdb::Session &session() {
        auto it = sessions.find(current);
        if (it == sessions.end() || !it->second)
            throw std::runtime_error("no session " + current);
        return *it->second;
    }

    void fail(int line, const std::string &message) {
        ++failures;
        std::cerr << file << ":" << line << ": " << message << "\n";
    }

    void run(const std::vector<std::string> &lines) {
        size_t i = 0;
        auto block = [&](size_t &k, std::vector<std::string> &statement, std::vector<std::string> &expected,
                         bool &hasExpected) {
            while (k < lines.size() && !lines[k].empty() && lines[k] != "----")
                statement.push_back(lines[k++]);
            if (k < lines.size() && lines[k] == "----") {
                hasExpected = true;
                ++k;
                while (k < lines.size() && !lines[k].empty())
                    expected.push_back(lines[k++]);
            }
        };
        while (i < lines.size()) {
            const std::string line = lines[i];
            const int lineNo = int(i + 1);
            ++i;
            if (line.empty() || line[0] == '#')
                continue;
            std::istringstream words(line);
            std::string directive;
            words >> directive;
            try {
                if (directive == "connect") {
                    std::string name, user, password;
                    words >> name >> user >> password;
                    sessions[name] = localdb::Session::open(database, user, password);
                    current = name;
                    continue;
                }
                if (directive == "session") {
                    words >> current;
                    continue;
                }
                if (directive == "load") {
                    sessions.clear();
                    database = (folder / "demo.kdb").string();
                    localdb::createDemoDatabase(database);
                    sessions["default"] = localdb::Session::open(database, "SCOTT", "TIGER");
                    current = "default";
                    continue;
                }
                if (directive == "transaction") {
                    std::string what;
                    words >> what;
                    if (what == "begin")
                        session().beginTransaction();
                    else if (what == "commit")
                        session().commit();
                    else
                        session().rollback();
                    continue;
                }
            } catch (const std::exception &e) {
                fail(lineNo, std::string("directive failed: ") + e.what());
                continue;
            }
            std::vector<std::string> statement, expected;
            bool hasExpected = false;
            block(i, statement, expected, hasExpected);
            std::string sql;
            for (size_t k = 0; k < statement.size(); ++k)
                sql += (k ? "\n" : "") + statement[k];
            if (directive == "output") {
                std::vector<std::string> actual;
                for (const auto &l : session().takeOutput())
                    actual.push_back(l.empty() ? "(empty)" : l);
                if (actual != expected) {
                    std::string got;
                    for (const auto &l : actual)
                        got += "\n    " + l;
                    fail(lineNo, "wrong output; got:" + got);
                }
                continue;
            }
            if (directive == "statement") {
                std::string mode;
                words >> mode;
                try {
                    auto result = session().execute(sql);
                    // A query's errors may come with its rows: fetch them all.
                    if (result.cursor)
                        while (result.cursor->next()) {
                        }
                    if (mode != "ok")
                        fail(lineNo, "statement succeeded, expected error: " + (expected.empty() ? "" : expected[0]));
                } catch (const localdb::Error &e) {
                    if (mode == "ok") {
                        fail(lineNo, std::string("statement failed: ") + e.what());
                        continue;
                    }
                    std::string want, wantAt;
                    for (const auto &x : expected) {
                        if (x.rfind("at ", 0) == 0)
                            wantAt = x.substr(3);
                        else
                            want += (want.empty() ? "" : "\n") + x;
                    }
                    if (!want.empty() && want != e.what())
                        fail(lineNo, "wrong error\n  expected: " + want + "\n  actual:   " + e.what());
                    if (!wantAt.empty() && std::to_string(e.position()) != wantAt)
                        fail(lineNo, "wrong error position: expected " + wantAt + ", got " +
                                         std::to_string(e.position()));
                }
                continue;
            }
            if (directive == "query" || directive == "columns") {
                std::string types, sort;
                words >> types >> sort;
                std::vector<std::string> actual, typeErrors;
                try {
                    auto result = session().execute(sql);
                    if (!result.cursor) {
                        fail(lineNo, "not a query");
                        continue;
                    }
                    if (directive == "columns") {
                        for (const auto &c : result.cursor->columns())
                            actual.push_back(c.name + " " + std::to_string(int(c.type)) + " " + c.oracleType);
                    } else {
                        const size_t width = result.cursor->columns().size();
                        if (types.size() != width)
                            fail(lineNo, "type letters \"" + types + "\" for " + std::to_string(width) +
                                             " columns");
                        while (result.cursor->next()) {
                            std::string row;
                            for (size_t c = 0; c < width; ++c) {
                                const localdb::Value &v = result.cursor->value(int(c));
                                if (c < types.size() && !fitsTypeLetter(v, types[c]))
                                    typeErrors.push_back("row " + std::to_string(actual.size() + 1) +
                                                         " column " + std::to_string(c + 1) + ": " +
                                                         formatValue(v) + " is not of type " + types[c]);
                                row += (c ? "\t" : "") + formatValue(v);
                            }
                            actual.push_back(row);
                        }
                    }
                } catch (const localdb::Error &e) {
                    fail(lineNo, std::string("query failed: ") + e.what());
                    continue;
                }
                if (!typeErrors.empty())
                    fail(lineNo, "wrong column type: " + typeErrors.front() +
                                     (typeErrors.size() > 1 ? " (and " + std::to_string(typeErrors.size() - 1) +
                                                                  " more)"
                                                            : ""));
                if (sort == "rowsort") {
                    std::sort(actual.begin(), actual.end());
                    std::sort(expected.begin(), expected.end());
                }
                if (actual != expected) {
                    std::string m = "wrong result\n  expected:\n";
                    for (const auto &x : expected)
                        m += "    " + x + "\n";
                    m += "  actual:\n";
                    for (const auto &x : actual)
                        m += "    " + x + "\n";
                    fail(lineNo, m);
                }
                continue;
            }
            fail(lineNo, "unknown directive: " + directive);
        }
    }
};

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::cerr << "usage: sql_logic_runner FILE.test...\n";
        return 2;
    }
    int failures = 0;
    for (int a = 1; a < argc; ++a) {
        Runner r;
        r.file = argv[a];
        std::ifstream in(r.file);
        if (!in) {
            std::cerr << r.file << ": cannot read\n";
            return 2;
        }
        std::vector<std::string> lines;
        for (std::string l; std::getline(in, l);) {
            if (!l.empty() && l.back() == '\r')
                l.pop_back();
            lines.push_back(l);
        }
        char pattern[] = "/tmp/kestrim-sqltest-XXXXXX";
        const char *dir = mkdtemp(pattern);
        if (!dir) {
            std::cerr << "cannot create a temporary folder\n";
            return 2;
        }
        r.folder = dir;
        r.database = (r.folder / "test.kdb").string();
        try {
            localdb::Session::createDatabase(r.database, "MANAGER");
            r.sessions["default"] = localdb::Session::open(r.database, "SYSTEM", "MANAGER");
        } catch (const std::exception &e) {
            std::cerr << r.file << ": cannot create the test database: " << e.what() << "\n";
            return 2;
        }
        r.run(lines);
        r.sessions.clear();
        std::filesystem::remove_all(r.folder);
        failures += r.failures;
    }
    return failures ? 1 : 0;
}
