// The table of Oracle's built-in functions offered by the function library.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/function_catalog.h"


namespace localdb {

namespace {

using R = FunctionResult;

FunctionInfo scalar(std::string_view oracle, std::string_view sqlite, int minArgs, int maxArgs,
                    std::string_view parameters, FunctionResult result)
{
    FunctionInfo info;
    info.oracleName = oracle;
    info.sqliteName = sqlite;
    info.minArguments = minArgs;
    info.maxArguments = maxArgs;
    info.parameters = parameters;
    info.result = result;
    return info;
}

// Reads the session (NLS settings, user, clock): not usable where a fixed result is required.
FunctionInfo sessional(FunctionInfo info)
{
    info.deterministic = false;
    return info;
}

FunctionInfo onDate(FunctionInfo info)
{
    info.dateFirstArgument = true;
    return info;
}

FunctionInfo aggregate(std::string_view oracle, std::string_view sqlite)
{
    FunctionInfo info = scalar(oracle, sqlite, 1, 1, "N", R::Number);
    info.aggregate = true;
    return info;
}

FunctionInfo listagg()
{
    FunctionInfo info = scalar("LISTAGG", "ora_listagg", 1, 2, "T", R::Text);
    info.aggregate = true;
    return info;
}

// The JSON aggregates take their clauses as arguments too and pass every value as it is.
FunctionInfo jsonAggregate(std::string_view oracle, std::string_view sqlite, int minArgs, int maxArgs)
{
    FunctionInfo info = scalar(oracle, sqlite, minArgs, maxArgs, "A", R::Text);
    info.aggregate = true;
    return info;
}

std::vector<FunctionInfo> buildCatalog()
{
    return {
        // Numbers.
        scalar("ABS", "ora_abs", 1, 1, "N", R::Number),
        scalar("ACOS", "ora_acos", 1, 1, "N", R::Number),
        scalar("ASIN", "ora_asin", 1, 1, "N", R::Number),
        scalar("ATAN", "ora_atan", 1, 1, "N", R::Number),
        scalar("ATAN2", "ora_atan2", 2, 2, "N", R::Number),
        scalar("BITAND", "ora_bitand", 2, 2, "N", R::Number),
        scalar("CEIL", "ora_ceil", 1, 1, "N", R::Number),
        scalar("COS", "ora_cos", 1, 1, "N", R::Number),
        scalar("COSH", "ora_cosh", 1, 1, "N", R::Number),
        scalar("EXP", "ora_exp", 1, 1, "N", R::Number),
        scalar("FLOOR", "ora_floor", 1, 1, "N", R::Number),
        scalar("LN", "ora_ln", 1, 1, "N", R::Number),
        scalar("LOG", "ora_log", 2, 2, "N", R::Number),
        scalar("MOD", "ora_mod", 2, 2, "N", R::Number),
        scalar("POWER", "ora_power", 2, 2, "N", R::Number),
        scalar("REMAINDER", "ora_remainder", 2, 2, "N", R::Number),
        scalar("ROUND", "ora_round", 1, 2, "N", R::Number),
        scalar("SIGN", "ora_sign", 1, 1, "N", R::Number),
        scalar("SIN", "ora_sin", 1, 1, "N", R::Number),
        scalar("SINH", "ora_sinh", 1, 1, "N", R::Number),
        scalar("SQRT", "ora_sqrt", 1, 1, "N", R::Number),
        scalar("TAN", "ora_tan", 1, 1, "N", R::Number),
        scalar("TANH", "ora_tanh", 1, 1, "N", R::Number),
        scalar("TRUNC", "ora_trunc", 1, 2, "N", R::Number),

        // Characters.
        scalar("ASCII", "ora_ascii", 1, 1, "T", R::Number),
        scalar("CHR", "ora_chr", 1, 1, "N", R::Text),
        scalar("CONCAT", "ora_concat", 2, 2, "T", R::Text),
        scalar("INITCAP", "ora_initcap", 1, 1, "T", R::Text),
        scalar("INSTR", "ora_instr", 2, 4, "TTN", R::Number),
        scalar("INSTRB", "ora_instrb", 2, 4, "TTN", R::Number),
        scalar("LENGTH", "ora_length", 1, 1, "T", R::Number),
        scalar("LENGTHB", "ora_lengthb", 1, 1, "T", R::Number),
        scalar("LOWER", "ora_lower", 1, 1, "T", R::Text),
        scalar("LPAD", "ora_lpad", 2, 3, "TNT", R::Text),
        scalar("LTRIM", "ora_ltrim", 1, 2, "T", R::Text),
        scalar("REPLACE", "ora_replace", 2, 3, "T", R::Text),
        scalar("RPAD", "ora_rpad", 2, 3, "TNT", R::Text),
        scalar("RTRIM", "ora_rtrim", 1, 2, "T", R::Text),
        scalar("SOUNDEX", "ora_soundex", 1, 1, "T", R::Text),
        scalar("SUBSTR", "ora_substr", 2, 3, "TN", R::Text),
        scalar("SUBSTRB", "ora_substrb", 2, 3, "TN", R::Text),
        scalar("TRANSLATE", "ora_translate", 3, 3, "T", R::Text),
        // TRIM([LEADING|TRAILING|BOTH] [c FROM] s) arrives as ora_trim(s [, mode [, c]]) with mode
        // the keyword as text ('LEADING', 'TRAILING' or 'BOTH').
        scalar("TRIM", "ora_trim", 1, 3, "T", R::Text),
        scalar("UPPER", "ora_upper", 1, 1, "T", R::Text),
        // The NLS_ forms take an optional 'NLS_SORT = ...' that binary sorting does not need.
        scalar("NLS_INITCAP", "ora_nls_initcap", 1, 2, "T", R::Text),
        scalar("NLS_LOWER", "ora_nls_lower", 1, 2, "T", R::Text),
        scalar("NLS_UPPER", "ora_nls_upper", 1, 2, "T", R::Text),
        scalar("TO_MULTI_BYTE", "ora_to_multi_byte", 1, 1, "T", R::Text),
        scalar("TO_SINGLE_BYTE", "ora_to_single_byte", 1, 1, "T", R::Text),
        // VSIZE: bytes of Oracle's internal form (a DATE takes 7).
        scalar("VSIZE", "ora_vsize", 1, 1, "A", R::Number),
        onDate(scalar("VSIZE", "ora_vsize_date", 1, 1, "D", R::Number)),

        // Regular expressions. REGEXP_LIKE is a condition: 1, 0 or NULL.
        scalar("REGEXP_LIKE", "ora_regexp_like", 2, 3, "T", R::Number),
        scalar("REGEXP_SUBSTR", "ora_regexp_substr", 2, 6, "TTNNTN", R::Text),
        scalar("REGEXP_INSTR", "ora_regexp_instr", 2, 7, "TTNNNTN", R::Number),
        scalar("REGEXP_REPLACE", "ora_regexp_replace", 2, 6, "TTTNNT", R::Text),
        scalar("REGEXP_COUNT", "ora_regexp_count", 2, 4, "TTNT", R::Number),

        // Internal forms, hashes and identifiers. DUMP of a text literal or CHAR column reports
        // the fixed-length type; the binder picks ora_dump_char for it.
        scalar("DUMP", "ora_dump", 1, 4, "AN", R::Text),
        scalar("DUMP", "ora_dump_char", 1, 4, "AN", R::Text),
        onDate(scalar("DUMP", "ora_dump_date", 1, 4, "DN", R::Text)),
        scalar("STANDARD_HASH", "ora_standard_hash", 1, 2, "AT", R::Raw),
        onDate(scalar("STANDARD_HASH", "ora_standard_hash_date", 1, 2, "DT", R::Raw)),
        scalar("ORA_HASH", "ora_ora_hash", 1, 3, "AN", R::Number),
        onDate(scalar("ORA_HASH", "ora_ora_hash_date", 1, 3, "DN", R::Number)),
        sessional(scalar("SYS_GUID", "ora_sys_guid", 0, 0, "", R::Raw)),
        scalar("NANVL", "ora_nanvl", 2, 2, "N", R::Number),
        scalar("WIDTH_BUCKET", "ora_width_bucket", 4, 4, "N", R::Number),
        scalar("TO_BINARY_DOUBLE", "ora_to_binary_double", 1, 1, "A", R::Number),
        scalar("TO_BINARY_FLOAT", "ora_to_binary_float", 1, 1, "A", R::Number),
        scalar("UNISTR", "ora_unistr", 1, 1, "T", R::Text),
        scalar("ASCIISTR", "ora_asciistr", 1, 1, "T", R::Text),
        scalar("COMPOSE", "ora_compose", 1, 1, "T", R::Text),
        scalar("DECOMPOSE", "ora_decompose", 1, 1, "T", R::Text),

        // JSON (at most 126 arguments: SQLite's limit on a call, less one). The parser spells the clauses out as trailing text arguments; names with a blank
        // are forms no statement can call directly (IS JSON, FORMAT JSON, JSON_VALUE RETURNING).
        scalar("IS JSON", "ora_is_json", 3, 3, "AT", R::Number),
        scalar("JSON_VALUE", "ora_json_value", 7, 7, "ATTTATA", R::Text),
        scalar("JSON_VALUE NUMBER", "ora_json_value", 7, 7, "ATTTATA", R::Number),
        scalar("JSON_VALUE DATE", "ora_json_value", 7, 7, "ATTTATA", R::Date),
        scalar("JSON_QUERY", "ora_json_query", 5, 5, "AT", R::Text),
        scalar("JSON_EXISTS", "ora_json_exists", 3, 3, "AT", R::Number),
        scalar("JSON_OBJECT", "ora_json_object", 1, 126, "TA", R::Text),
        scalar("JSON_ARRAY", "ora_json_array", 1, 126, "TA", R::Text),
        scalar("FORMAT JSON", "ora_json_formatted", 1, 1, "T", R::Text),
        scalar("JSON DATE", "ora_json_date", 1, 1, "D", R::Text),
        jsonAggregate("JSON_ARRAYAGG", "ora_json_arrayagg", 2, 126),
        jsonAggregate("JSON_OBJECTAGG", "ora_json_objectagg", 3, 3),

        // Conversion.
        sessional(scalar("TO_CHAR", "ora_to_char", 1, 3, "ATT", R::Text)),
        sessional(onDate(scalar("TO_CHAR", "ora_to_char_date", 1, 3, "DTT", R::Text))),
        scalar("BINARY TO_CHAR", "ora_binary_to_char", 2, 2, "AA", R::Text),
        sessional(scalar("TO_DATE", "ora_to_date", 1, 3, "T", R::Date)),
        sessional(scalar("TO_NUMBER", "ora_to_number", 1, 3, "T", R::Number)),
        scalar("RAWTOHEX", "ora_rawtohex", 1, 1, "A", R::Text),
        scalar("HEXTORAW", "ora_hextoraw", 1, 1, "T", R::Raw),

        // Dates.
        scalar("ADD_MONTHS", "ora_add_months", 2, 2, "DN", R::Date),
        // EXTRACT(YEAR FROM d) arrives as ora_extract('YEAR', d).
        scalar("EXTRACT", "ora_extract", 2, 2, "TD", R::Number),
        scalar("LAST_DAY", "ora_last_day", 1, 1, "D", R::Date),
        scalar("MONTHS_BETWEEN", "ora_months_between", 2, 2, "D", R::Number),
        sessional(scalar("NEXT_DAY", "ora_next_day", 2, 2, "DT", R::Date)),
        sessional(onDate(scalar("ROUND", "ora_round_date", 1, 2, "DT", R::Date))),
        sessional(onDate(scalar("TRUNC", "ora_trunc_date", 1, 2, "DT", R::Date))),
        sessional(scalar("SYSDATE", "ora_sysdate", 0, 0, "", R::Date)),

        // Session information.
        sessional(scalar("USER", "ora_user", 0, 0, "", R::Text)),
        sessional(scalar("UID", "ora_uid", 0, 0, "", R::Number)),
        sessional(scalar("USERENV", "ora_userenv", 1, 1, "T", R::Text)),
        sessional(scalar("SYS_CONTEXT", "ora_sys_context", 2, 3, "TTN", R::Text)),

        // Aggregates SQLite lacks (COUNT, SUM, AVG, MIN and MAX are SQLite's own).
        aggregate("MEDIAN", "ora_median"),
        aggregate("STDDEV", "ora_stddev"),
        aggregate("STDDEV_POP", "ora_stddev_pop"),
        aggregate("STDDEV_SAMP", "ora_stddev_samp"),
        aggregate("VARIANCE", "ora_variance"),
        aggregate("VAR_POP", "ora_var_pop"),
        aggregate("VAR_SAMP", "ora_var_samp"),
        // LISTAGG(x [, delimiter]) WITHIN GROUP (ORDER BY ...): the engine orders the rows; the
        // aggregate joins them in the order it receives them.
        listagg(),
    };
}

}  // namespace

const std::vector<FunctionInfo> &allFunctions()
{
    static const std::vector<FunctionInfo> catalog = buildCatalog();
    return catalog;
}

const FunctionInfo *findFunction(std::string_view oracleName, bool firstArgumentIsDate)
{
    const FunctionInfo *found = nullptr;
    for (const FunctionInfo &info : allFunctions()) {
        if (info.oracleName != oracleName)
            continue;
        if (info.dateFirstArgument == firstArgumentIsDate)
            return &info;
        if (!found)
            found = &info;
    }
    return found;
}

int oracleErrorCode(std::string_view message)
{
    if (message.size() < 11 || message.substr(0, 4) != "ORA-" || message.substr(9, 2) != ": ")
        return 0;
    int code = 0;
    for (char c : message.substr(4, 5)) {
        if (!functions::ascii::isDigit(c))
            return 0;
        code = code * 10 + (c - '0');
    }
    return code;
}

}  // namespace localdb
