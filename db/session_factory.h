// Creates the database session object by its program identifier, as every child window's Connect
// does; "OracleInProcServer.XOraSession" is the one identifier known.
#pragma once

#include "db/ora_session.h"

#include <memory>
#include <string_view>

namespace db {

inline constexpr const char *kSessionProgId = "OracleInProcServer.XOraSession";

// The identifier compares without regard to case; an unknown one raises EOraError.
std::shared_ptr<OraSession> CreateSessionObject(std::string_view progId);

} // namespace db
