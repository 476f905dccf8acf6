// The user name ends at the first "/" or "@"; a host may itself hold "/" (a file path), so the
// password ends at the last "@".
#include "localdb/client/logon.h"

#include "localdb/client/command_names.h"

namespace localdb::client {

std::optional<LogonParts> parseLogon(const std::string &typed) {
    std::string text(trimmed(typed));
    if (!text.empty() && text.back() == ';')
        text.pop_back();
    // " AS SYSDBA" / " AS SYSOPER": every session of the embedded engine is an ordinary one.
    const std::string upper = upperAscii(text);
    for (const char *role : {" AS SYSDBA", " AS SYSOPER"}) {
        const std::string r(role);
        if (upper.size() > r.size() && upper.compare(upper.size() - r.size(), r.size(), r) == 0) {
            text = std::string(trimmed(text.substr(0, text.size() - r.size())));
            break;
        }
    }
    LogonParts parts;
    const size_t userEnd = text.find_first_of("/@");
    parts.user = text.substr(0, userEnd);
    if (parts.user.empty())
        return std::nullopt;
    if (userEnd == std::string::npos)
        return parts;
    std::string rest = text.substr(userEnd + 1);
    if (text[userEnd] == '@') {
        parts.host = rest;
        return parts;
    }
    if (!rest.empty() && rest.front() == '"') {
        const size_t close = rest.find('"', 1);
        if (close != std::string::npos) {
            parts.password = rest.substr(1, close - 1);
            rest = rest.substr(close + 1);
            if (!rest.empty() && rest.front() == '@')
                parts.host = rest.substr(1);
            return parts;
        }
    }
    const size_t at = rest.rfind('@');
    parts.password = rest.substr(0, at);
    if (at != std::string::npos)
        parts.host = rest.substr(at + 1);
    return parts;
}

}  // namespace localdb::client
