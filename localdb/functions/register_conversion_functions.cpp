// SQLite entry points of TO_CHAR, TO_DATE and TO_NUMBER.
#include "localdb/functions/date_format.h"
#include "localdb/functions/function_registry.h"
#include "localdb/functions/nls_parameters.h"
#include "localdb/functions/number_format.h"
#include "localdb/functions/number_text.h"

namespace localdb::functions {

namespace {

// The session's NLS settings with the call's nlsparams argument (index 2) applied.
NlsSettings callSettings(Arguments &a)
{
    NlsSettings nls = a.session().nls;
    if (a.count() > 2)
        applyNlsParameters(a.text(2), nls);
    return nls;
}

NumberSymbols numberSymbols(const NlsSettings &nls)
{
    NumberSymbols symbols;
    symbols.decimal = nls.decimalCharacter();
    symbols.group = nls.groupCharacter();
    symbols.currency = nls.currency;
    if (nls.isoCurrency == "AMERICA")
        symbols.isoCurrency = "USD";
    else if (nls.isoCurrency == "JAPAN")
        symbols.isoCurrency = "JPY";
    else if (nls.isoCurrency == "UNITED KINGDOM")
        symbols.isoCurrency = "GBP";
    else
        symbols.isoCurrency = "EUR";
    return symbols;
}

DateFormatSettings dateSettings(Arguments &a, const NlsSettings &nls)
{
    DateFormatSettings settings = dateSettingsOf(a.session());
    settings.language = dateLanguageFor(nls.language);
    return settings;
}

// TO_CHAR(number [, fmt [, nls]]); TO_CHAR of text without a model is the text itself.
void toCharBody(Arguments &a)
{
    if (a.count() == 1) {
        a.setText(a.text(0));
        return;
    }
    NlsSettings nls = callSettings(a);
    a.setText(formatNumber(a.number(0), a.text(1), numberSymbols(nls)));
}

// ora_binary_to_char(value, single): BINARY_DOUBLE (single 0) or BINARY_FLOAT (1) as text.
void binaryToCharBody(Arguments &a)
{
    if (a.isNull(0))
        return;
    a.setText(binaryNumberText(a.real(0), a.real(1) != 0));
}

void toCharDateBody(Arguments &a)
{
    NlsSettings nls = callSettings(a);
    std::string model = a.count() > 1 ? a.text(1) : nls.dateFormat;
    a.setText(formatDate(a.date(0), model, dateSettings(a, nls)));
}

void toDateBody(Arguments &a)
{
    NlsSettings nls = callSettings(a);
    std::string model = a.count() > 1 ? a.text(1) : nls.dateFormat;
    a.setDate(parseDate(a.text(0), model, dateSettings(a, nls)));
}

void toNumberBody(Arguments &a)
{
    if (a.count() == 1) {
        a.setNumber(a.number(0));
        return;
    }
    NlsSettings nls = callSettings(a);
    if (a.type(0) != SQLITE_TEXT && a.type(0) != SQLITE_BLOB) {
        // A number given to TO_NUMBER with a model goes through its default text first.
        a.setNumber(parseNumberWithModel(defaultNumberText(a.number(0), nls.decimalCharacter()), a.text(1),
                                         numberSymbols(nls)));
        return;
    }
    a.setNumber(parseNumberWithModel(a.text(0), a.text(1), numberSymbols(nls)));
}

}  // namespace

std::vector<ScalarImplementation> conversionFunctionImplementations()
{
    return {
        {"ora_to_char", scalarEntry<toCharBody>},
        {"ora_to_char_date", scalarEntry<toCharDateBody>},
        {"ora_binary_to_char", scalarEntry<binaryToCharBody>},
        {"ora_to_date", scalarEntry<toDateBody>},
        {"ora_to_number", scalarEntry<toNumberBody>},
    };
}

}  // namespace localdb::functions
