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
        nls.timestampFormat = "RR-MM-DD HH24:MI:SSXFF";
        nls.timestampTzFormat = "RR-MM-DD HH24:MI:SSXFF TZR";
        nls.numericCharacters = ".,";
        nls.currency = "\xEF\xBF\xA5";  // U+FFE5 fullwidth yen sign
    } else {
        nls.dateFormat = "DD-MON-RR";
        nls.timestampFormat = "DD-MON-RR HH.MI.SSXFF AM";
        nls.timestampTzFormat = "DD-MON-RR HH.MI.SSXFF AM TZR";
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
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    statementTime = DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                             local.tm_hour, local.tm_min, local.tm_sec};
    statementNanos = static_cast<int>(now.tv_nsec);
}

}  // namespace localdb
