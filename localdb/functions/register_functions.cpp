// Registration of the built-in functions on a SQLite connection: every catalogue entry under its
// ora_ name for each argument count it accepts (so SQLite itself rejects other counts), plus the
// helpers for date arithmetic.
#include "localdb/functions/function_catalog.h"
#include "localdb/functions/function_registry.h"
#include "localdb/functions/json_functions.h"
#include "localdb/functions/session_context.h"
#include "localdb/functions/timestamp_functions.h"

#include <sqlite3.h>

#include <map>
#include <stdexcept>
#include <string>

namespace localdb {

namespace {

using functions::ScalarEntry;

std::map<std::string_view, ScalarEntry> implementations()
{
    std::map<std::string_view, ScalarEntry> entries;
    for (auto group : {functions::numberFunctionImplementations(), functions::textFunctionImplementations(),
                       functions::conversionFunctionImplementations(), functions::dateFunctionImplementations(),
                       functions::sessionFunctionImplementations(), functions::regexFunctionImplementations(),
                       functions::miscFunctionImplementations(), functions::jsonFunctionImplementations()}) {
        for (const auto &implementation : group)
            entries[implementation.sqliteName] = implementation.entry;
    }
    return entries;
}

void registerScalar(sqlite3 *db, std::string_view name, int arguments, bool deterministic, SessionContext *context,
                    ScalarEntry entry)
{
    // Innocuous: no side effects, so the functions may appear in views and triggers even where
    // the connection does not trust the schema.
    int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS | (deterministic ? SQLITE_DETERMINISTIC : 0);
    int rc = sqlite3_create_function_v2(db, std::string(name).c_str(), arguments, flags, context, entry, nullptr,
                                        nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw std::runtime_error("cannot register the function " + std::string(name) + ": " + sqlite3_errmsg(db));
}

}  // namespace

void registerOracleFunctions(sqlite3 *db, SessionContext *context)
{
    static const std::map<std::string_view, ScalarEntry> entries = implementations();
    for (const FunctionInfo &info : allFunctions()) {
        if (info.aggregate)
            continue;
        auto found = entries.find(info.sqliteName);
        if (found == entries.end())
            throw std::logic_error("no implementation for " + std::string(info.sqliteName));
        for (int n = info.minArguments; n <= info.maxArguments; ++n)
            registerScalar(db, info.sqliteName, n, info.deterministic, context, found->second);
    }
    // Date arithmetic helpers for the binder's operators.
    registerScalar(db, kDateAddFunction, 2, false, context, entries.at(kDateAddFunction));
    registerScalar(db, kDateDiffFunction, 2, false, context, entries.at(kDateDiffFunction));
    functions::registerAggregates(db, context);
    functions::registerWindowFunctions(db, context);
    functions::registerOrderedAggregates(db, context);
    functions::registerJsonAggregates(db, context);
    functions::registerJsonTableModule(db);
    functions::registerTimestampFunctions(db, context);
}

}  // namespace localdb
