// Feeds random statement text to the SQL front end (tokenizer and parser) and then to a session
// on a scratch database. Any outcome other than a result or an Oracle error (a crash, a read out
// of bounds, another exception type) is a fault, and so is ORA-00600: the engine's internal error
// is what SQL it generated and SQLite refused turns into, where Oracle gives an error of its own.
//
// Input: the statement text itself, as bytes (mostly UTF-8, but any byte may occur).
#include "localdb/localdb.h"
#include "localdb/sql/parser.h"
#include "localdb/sql/statement.h"
#include "localdb/sql/tokenizer.h"
#include "localdb_scratch.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

namespace {

// Longer texts add nothing the parser has not seen and slow the session part down.
constexpr size_t kMaxText = 2048;
// Enough rows to run the statement's row-by-row parts without letting a huge join dominate.
constexpr int kMaxRows = 64;

// One session per process (see localdb_scratch.h).
localdb::Session &session()
{
    static std::unique_ptr<localdb::Session> s = fuzz::openScratchDemo("/tmp/kestrim-fuzz-sql-XXXXXX");
    return *s;
}

void fail(const char *what)
{
    std::fprintf(stderr, "not an Oracle error: %s\n", what);
    std::abort();
}

void checkOracleError(const localdb::Error &e, const std::string &sql)
{
    if (e.code() != 600)
        return;
    std::fprintf(stderr, "internal error for: %s\n", sql.c_str());
    fail(e.what());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    if (size > kMaxText)
        return 0;
    const std::string sql(reinterpret_cast<const char *>(data), size);
    try {
        localdb::tokenize(sql);
        localdb::parseStatement(sql);
    } catch (const localdb::Error &e) {
        checkOracleError(e, sql);
        return 0;  // the session would report the same error
    } catch (const std::exception &e) {
        fail(e.what());
    }
    try {
        localdb::StatementResult result = session().execute(sql);
        fuzz::readRows(result, kMaxRows);
    } catch (const localdb::Error &e) {
        checkOracleError(e, sql);
    } catch (const std::exception &e) {
        fail(e.what());
    }
    return 0;
}
