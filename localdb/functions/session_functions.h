// USERENV and SYS_CONTEXT('USERENV', ...): the session's identity and settings as text.
#pragma once

#include "localdb/functions/session_context.h"

#include <optional>
#include <string>
#include <string_view>

namespace localdb::functions {

// nullopt stands for NULL (a setting that is not set). ORA-02003 for an unknown parameter.
std::optional<std::string> userenv(std::string_view parameter, const SessionContext &session);
// Namespaces other than USERENV hold nothing here, so they give NULL. The result is cut to
// length bytes (256 by default).
std::optional<std::string> sysContext(std::string_view nameSpace, std::string_view parameter, int length,
                                      const SessionContext &session);

}  // namespace localdb::functions
