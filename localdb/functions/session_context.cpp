// The session state read by the built-in functions: territory defaults and the statement clock.
#include "localdb/functions/session_context.h"

#include <ctime>

namespace localdb {

void applyTerritory(NlsSettings &nls, const std::string &territory)
{
    nls.territory = territory;
    nls.isoCurrency = territory;
    if (territory == "JAPAN") {
        nls.dateFormat = "RR-MM-DD";
        nls.numericCharacters = ".,";
        nls.currency = "\xEF\xBF\xA5";  // U+FFE5 fullwidth yen sign
    } else {
        nls.dateFormat = "DD-MON-RR";
        nls.numericCharacters = ".,";
        nls.currency = "$";
    }
}

DateTime currentLocalDateTime()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                    local.tm_hour, local.tm_min, local.tm_sec};
}

void SessionContext::startStatement()
{
    statementTime = currentLocalDateTime();
}

}  // namespace localdb
