// The values USERENV and SYS_CONTEXT report.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/session_functions.h"

#include "localdb/functions/function_errors.h"
#include "localdb/functions/utf8_text.h"


namespace localdb::functions {

namespace {

std::optional<std::string> orNull(const std::string &value)
{
    if (value.empty())
        return std::nullopt;
    return value;
}

std::string languageText(const SessionContext &s)
{
    return s.nls.language + "_" + s.nls.territory + "." + s.characterSet;
}

}  // namespace

std::optional<std::string> userenv(std::string_view parameter, const SessionContext &s)
{
    std::string p = ascii::upper(parameter);
    if (p == "SESSIONID" || p == "SID")
        return std::to_string(s.sessionId);
    if (p == "TERMINAL")
        return orNull(s.terminal);
    if (p == "LANGUAGE")
        return languageText(s);
    if (p == "LANG")
        return s.nls.language == "JAPANESE" ? "JA" : "US";
    if (p == "ISDBA")
        return s.isDba ? "TRUE" : "FALSE";
    if (p == "ENTRYID")
        return "0";
    if (p == "INSTANCE")
        return "1";
    if (p == "CLIENT_INFO")
        return orNull(s.clientInfo);
    raiseError(2003);
}

std::optional<std::string> sysContext(std::string_view nameSpace, std::string_view parameter, int length,
                                      const SessionContext &s)
{
    if (ascii::upper(nameSpace) != "USERENV")
        return std::nullopt;
    std::string p = ascii::upper(parameter);
    std::optional<std::string> value;
    if (p == "SESSION_USER" || p == "CURRENT_USER")
        value = s.sessionUser;
    else if (p == "CURRENT_SCHEMA")
        value = s.currentSchema;
    else if (p == "SESSION_USERID" || p == "CURRENT_USERID")
        value = std::to_string(s.userId);
    else if (p == "CURRENT_SCHEMAID")
        value = std::to_string(s.schemaId);
    else if (p == "OS_USER")
        value = orNull(s.osUser);
    else if (p == "HOST" || p == "SERVER_HOST")
        value = orNull(s.hostName);
    else if (p == "TERMINAL")
        value = orNull(s.terminal);
    else if (p == "IP_ADDRESS")
        value = "127.0.0.1";
    else if (p == "DB_NAME" || p == "SERVICE_NAME" || p == "INSTANCE_NAME")
        value = s.databaseName;
    else if (p == "INSTANCE")
        value = "1";
    else if (p == "SESSIONID" || p == "SID")
        value = std::to_string(s.sessionId);
    else if (p == "ENTRYID" || p == "FG_JOB_ID")
        value = "0";
    else if (p == "LANGUAGE")
        value = languageText(s);
    else if (p == "NLS_TERRITORY")
        value = s.nls.territory;
    else if (p == "NLS_CURRENCY")
        value = s.nls.currency;
    else if (p == "NLS_CALENDAR")
        value = "GREGORIAN";
    else if (p == "NLS_DATE_FORMAT")
        value = s.nls.dateFormat;
    else if (p == "NLS_DATE_LANGUAGE")
        value = s.nls.language;
    else if (p == "NLS_SORT")
        value = "BINARY";
    else if (p == "ISDBA")
        value = s.isDba ? "TRUE" : "FALSE";
    else if (p == "AUTHENTICATION_TYPE")
        value = "DATABASE";
    else if (p == "CLIENT_INFO")
        value = orNull(s.clientInfo);
    else if (p == "MODULE")
        value = orNull(s.module);
    else if (p == "ACTION")
        value = orNull(s.action);
    else if (p == "CLIENT_IDENTIFIER")
        value = orNull(s.clientIdentifier);
    else if (p == "DB_DOMAIN" || p == "NETWORK_PROTOCOL" || p == "PROXY_USER" || p == "BG_JOB_ID"
             || p == "EXTERNAL_NAME")
        value = std::nullopt;
    else
        raiseError(2003);
    if (value && length > 0 && static_cast<int>(value->size()) > length) {
        // Cut at a character boundary so the result stays valid UTF-8.
        std::size_t cut = 0;
        while (cut < value->size()) {
            std::size_t next = cut + utf8::charLength(*value, cut);
            if (next > static_cast<std::size_t>(length))
                break;
            cut = next;
        }
        value->resize(cut);
    }
    return value;
}

}  // namespace localdb::functions
