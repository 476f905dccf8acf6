// Feeds random PL/SQL text to the compiler and runs what compiles on a scratch database: blocks,
// stored procedures, package specifications and bodies, each unit then called. Any outcome other than success or an
// Oracle error (ORA-, PLS- inside ORA-06550 or ORA-24344) is a fault.
//
// Input: the first byte chooses how the rest is sent (as it is, as a procedure's body, as a
// package specification or as a package body); the rest is the text, mostly UTF-8.
#include "localdb/localdb.h"
#include "localdb_scratch.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

namespace {

constexpr size_t kMaxText = 4096;
constexpr int kMaxRows = 32;
// A statement that runs longer (a runaway loop, a large join) is stopped with ORA-01013: its time
// tells nothing.
constexpr auto kTimeLimit = std::chrono::milliseconds(100);

std::chrono::steady_clock::time_point deadline;

// One session per process (see localdb_scratch.h), so that units can call each other across inputs.
localdb::Session &session()
{
    static std::unique_ptr<localdb::Session> s = [] {
        auto session = fuzz::openScratchDemo("/tmp/kestrim-fuzz-plsql-XXXXXX");
        session->setProgressHandler([] { return std::chrono::steady_clock::now() > deadline; }, 50);
        session->execute("BEGIN DBMS_OUTPUT.ENABLE(NULL); END;");
        return session;
    }();
    return *s;
}

void fail(const char *what)
{
    std::fprintf(stderr, "not an Oracle error: %s\n", what);
    std::abort();
}

// Runs one statement; false when it failed with an Oracle error.
bool run(const std::string &sql)
{
    deadline = std::chrono::steady_clock::now() + kTimeLimit;
    try {
        localdb::StatementResult result = session().execute(sql);
        fuzz::readRows(result, kMaxRows);
        session().takeOutput();
        return true;
    } catch (const localdb::Error &e) {
        const std::string text = e.what();
        if (text.rfind("ORA-", 0) != 0)
            fail(text.c_str());
        if (text.rfind("ORA-00600", 0) == 0)
            fail(text.c_str());
    } catch (const std::exception &e) {
        fail(e.what());
    }
    session().takeOutput();
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    if (size < 1 || size > kMaxText)
        return 0;
    const int shape = data[0] % 4;
    const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    switch (shape) {
    case 0:
        run(text);
        break;
    case 1:
        if (run("CREATE OR REPLACE PROCEDURE fz_proc AS " + text))
            run("BEGIN fz_proc; END;");
        break;
    case 2:
        if (run("CREATE OR REPLACE PACKAGE fz_pkg AS " + text))
            run("BEGIN DBMS_OUTPUT.PUT_LINE(fz_pkg.g); fz_pkg.p; END;");
        break;
    default:
        if (run("CREATE OR REPLACE PACKAGE BODY fz_pkg AS " + text))
            run("BEGIN fz_pkg.p; END;");
        break;
    }
    return 0;
}
