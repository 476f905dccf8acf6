// Logon strings as the client takes them: "user/password@host", "user@host" (the password is
// asked for), "user/password" (the host of the last connection, or "demo"), with an optional
// " AS SYSDBA" that means nothing to the embedded engine. A password holding "@" or "/" can be
// written in double quotes.
#pragma once

#include <optional>
#include <string>

namespace localdb::client {

struct LogonParts {
    std::string user;
    std::optional<std::string> password;  // nullopt when it must be asked for
    std::string host;                     // empty when none was given
};

// nullopt when there is no user name.
std::optional<LogonParts> parseLogon(const std::string &text);

}  // namespace localdb::client
