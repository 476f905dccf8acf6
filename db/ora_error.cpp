// The session interface's error and its translation from the engine's error.
#include "db/ora_error.h"

#include "classlib/cp932.h"
#include "localdb/localdb.h"

namespace db {

EOraError::EOraError(int code, const std::string &utf8Message, int position)
    : Exception(utf8Message), code_(code), position_(position)
{
}

std::string EOraError::Cp932Message() const { return cp932::Utf8ToCp932(what()); }

EOraError SessionBusyError() { return EOraError(0, "このセッションでは別の処理を実行中です"); }

EOraError FromEngineError(const localdb::Error &error, std::string_view cp932Sql)
{
    int position = -1;
    if (error.position() >= 0) {
        position = static_cast<int>(
            cp932::Utf8OffsetToCp932Offset(cp932Sql, static_cast<std::size_t>(error.position())));
    }
    return EOraError(error.code(), error.what(), position);
}

} // namespace db
