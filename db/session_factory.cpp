// The table of program identifiers a session object can be created by.
#include "db/session_factory.h"

#include "classlib/cp932.h"
#include "db/ora_error.h"

namespace db {

std::shared_ptr<OraSession> CreateSessionObject(std::string_view progId)
{
    if (cp932::SameText(progId, kSessionProgId)) return std::make_shared<OraSession>();
    throw EOraError(0, "クラス文字列が無効です: " + cp932::Cp932ToUtf8(progId));
}

} // namespace db
