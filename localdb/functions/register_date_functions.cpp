// SQLite entry points of the date functions, date arithmetic and the session functions.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/date_calendar.h"
#include "localdb/functions/date_functions.h"
#include "localdb/functions/function_registry.h"
#include "localdb/functions/session_functions.h"

#include <algorithm>
#include <cmath>

namespace localdb::functions {

namespace {

int firstDayOf(Arguments &a) { return firstDayOfWeek(a.session().nls.territory); }

void addMonthsBody(Arguments &a) { a.setDate(addMonths(a.date(0), a.real(1))); }
void lastDayBody(Arguments &a) { a.setDate(lastDay(a.date(0))); }
void monthsBetweenBody(Arguments &a) { a.setNumber(monthsBetween(a.date(0), a.date(1))); }
void nextDayBody(Arguments &a)
{
    a.setDate(nextDay(a.date(0), a.text(1), dateLanguageFor(a.session().nls.language)));
}
void roundDateBody(Arguments &a)
{
    a.setDate(roundDate(a.date(0), a.count() > 1 ? a.text(1) : "DD", firstDayOf(a)));
}
void truncDateBody(Arguments &a)
{
    a.setDate(truncDate(a.date(0), a.count() > 1 ? a.text(1) : "DD", firstDayOf(a)));
}
void extractBody(Arguments &a)
{
    std::string part = ascii::upper(a.text(0));
    DateTime d = a.date(1);
    static const struct {
        const char *name;
        int DateTime::*field;
    } kParts[] = {{"YEAR", &DateTime::year},  {"MONTH", &DateTime::month},   {"DAY", &DateTime::day},
                  {"HOUR", &DateTime::hour}, {"MINUTE", &DateTime::minute}, {"SECOND", &DateTime::second}};
    for (const auto &p : kParts) {
        if (part == p.name) {
            a.setInteger(d.*(p.field));
            return;
        }
    }
    raiseError(30076);
}
void sysdateBody(Arguments &a) { a.setDate(dateSettingsOf(a.session()).now); }
void dateAddBody(Arguments &a) { a.setDate(addDays(a.date(0), a.real(1))); }
void dateDiffBody(Arguments &a) { a.setNumber(daysBetween(a.date(0), a.date(1))); }

void userBody(Arguments &a) { a.setText(a.session().sessionUser); }
void uidBody(Arguments &a) { a.setInteger(a.session().userId); }
void userenvBody(Arguments &a) { a.setText(userenv(a.text(0), a.session())); }
void sysContextBody(Arguments &a)
{
    int length = a.count() > 2 ? static_cast<int>(std::clamp(a.real(2), 1.0, 4000.0)) : 256;
    a.setText(sysContext(a.text(0), a.text(1), length, a.session()));
}

}  // namespace

std::vector<ScalarImplementation> dateFunctionImplementations()
{
    return {
        {"ora_add_months", scalarEntry<addMonthsBody>},
        {"ora_last_day", scalarEntry<lastDayBody>},
        {"ora_months_between", scalarEntry<monthsBetweenBody>},
        {"ora_next_day", scalarEntry<nextDayBody>},
        {"ora_round_date", scalarEntry<roundDateBody>},
        {"ora_trunc_date", scalarEntry<truncDateBody>},
        {"ora_extract", scalarEntry<extractBody>},
        {"ora_sysdate", scalarEntry<sysdateBody>},
        {"ora_date_add", scalarEntry<dateAddBody>},
        {"ora_date_diff", scalarEntry<dateDiffBody>},
    };
}

std::vector<ScalarImplementation> sessionFunctionImplementations()
{
    return {
        {"ora_user", scalarEntry<userBody>},
        {"ora_uid", scalarEntry<uidBody>},
        {"ora_userenv", scalarEntry<userenvBody>},
        {"ora_sys_context", scalarEntry<sysContextBody>},
    };
}

}  // namespace localdb::functions
