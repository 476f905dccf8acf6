// PL/SQL values: conversions, assignment checks and the runtime's Oracle messages.
#include "localdb/plsql/plsqlValue.h"

#include "localdb/system/errors.h"
#include "localdb/functions/database_charset.h"
#include "localdb/functions/date_calendar.h"
#include "localdb/functions/date_format.h"
#include "localdb/functions/decimal_number.h"
#include "localdb/functions/number_text.h"
#include "localdb/functions/sqlite_arguments.h"

#include <cmath>
#include <cstdio>
#include <map>

namespace localdb::plsql {

using functions::DecimalNumber;

namespace {

// Messages of the PL/SQL runtime that the SQL engine never raises.
const std::map<int, const char *> &runtimeMessages() {
    static const std::map<int, const char *> m = {
        {1001, "invalid cursor"},
        {1013, "user requested cancel of current operation"},
        {1403, "no data found"},
        {1422, "exact fetch returns more than requested number of rows"},
        {1426, "numeric overflow"},
        {1476, "divisor is equal to zero"},
        {4030, "out of process memory when trying to allocate %s bytes (%s)"},
        {4061, "existing state of %s has been invalidated"},
        {4063, "%s has errors"},
        {4065, "not executed, altered or dropped %s"},
        {4067, "not executed, %s does not exist"},
        {4068, "existing state of packages%s%s%s has been discarded"},
        {6500, "PL/SQL: storage error"},
        {6501, "PL/SQL: program error"},
        {6502, "PL/SQL: numeric or value error"},
        {6503, "PL/SQL: Function returned without value"},
        {6504, "PL/SQL: Return types of Result Set variables or query do not match"},
        {6508, "PL/SQL: could not find program unit being called"},
        {6510, "PL/SQL: unhandled user-defined exception"},
        {6511, "PL/SQL: cursor already open"},
        {6512, "at %s"},
        {6530, "Reference to uninitialized composite"},
        {6531, "Reference to uninitialized collection"},
        {6550, "line %s, column %s:\n%s"},
        {6592, "CASE not found while executing CASE statement"},
        {14551, "cannot perform a DML operation inside a query "},
        {21000, "error number argument to raise_application_error of %s is out of range"},
        {24344, "success with compilation error"},
    };
    return m;
}

const char *kBufferTooSmall = "character string buffer too small";

std::int64_t checkedInteger(double v) {
    if (!(v >= -2147483648.0 && v <= 2147483647.0))
        raiseCode(1426);
    return std::int64_t(std::llround(v));
}

// The number rounded to the declared scale and checked against the precision.
Datum fitNumber(const PlType &t, Datum n) {
    if (t.kind == TypeKind::Integer) {
        if (auto *i = std::get_if<std::int64_t>(&n)) {
            if (*i < -2147483648LL || *i > 2147483647LL)
                raiseCode(1426);
            return n;
        }
        return checkedInteger(std::get<double>(n));
    }
    if (t.precision == TypeSpec::None && t.scale == TypeSpec::None)
        return n;
    const int scale = t.scale == TypeSpec::None ? 0 : t.scale;
    const int precision = t.precision == TypeSpec::None ? 38 : t.precision;
    DecimalNumber d = std::holds_alternative<std::int64_t>(n) ? DecimalNumber::fromInt64(std::get<std::int64_t>(n))
                                                              : DecimalNumber::fromDouble(std::get<double>(n));
    d = d.rounded(scale);
    // Digits left of the point may be at most precision - scale.
    if (!d.isZero() && d.exponent() > precision - scale)
        raiseCode(6502, "number precision too large");
    if (auto i = d.toInt64())
        return *i;
    return d.toDouble();
}

std::size_t databaseLength(const std::string &s, const SessionContext &session) {
    auto charset = functions::charsetFor(session.characterSet);
    if (charset == functions::DatabaseCharset::Utf8)
        return s.size();
    return functions::toDatabaseBytes(s, charset).size();
}

}  // namespace

int RecordType::find(const std::string &name) const {
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return int(i);
    return -1;
}

PlType PlType::ofColumn(const TypeSpec &spec) {
    PlType t;
    t.name = spec.name;
    if (spec.name == "NUMBER" || spec.name == "FLOAT" || spec.name == "INTEGER") {
        t.kind = TypeKind::Number;
        t.precision = spec.precision;
        t.scale = spec.scale;
        if (spec.name == "INTEGER" || (spec.name == "NUMBER" && spec.scale == TypeSpec::None &&
                                       spec.precision != TypeSpec::None))
            t.scale = 0;
        t.name = "NUMBER";
    } else if (spec.name == "DATE" || spec.name.rfind("TIMESTAMP", 0) == 0) {
        t.kind = TypeKind::Date;
    } else if (spec.name == "CHAR" || spec.name == "NCHAR") {
        t.kind = TypeKind::Char;
        t.length = spec.length;
    } else if (spec.name == "CLOB" || spec.name == "LONG" || spec.name == "NCLOB") {
        t.kind = TypeKind::Clob;
    } else if (spec.name == "RAW" || spec.name == "BLOB" || spec.name == "LONG RAW") {
        t.kind = TypeKind::Raw;
        t.length = spec.name == "RAW" ? spec.length : 0;
    } else {
        t.kind = TypeKind::Text;
        t.length = spec.length;
    }
    return t;
}

std::string messageOf(int code, const std::string &detail) {
    std::string text;
    auto it = runtimeMessages().find(code);
    if (it != runtimeMessages().end())
        text = it->second;
    else
        text = std::string(messageTemplate(code));
    // Arguments arrive "|"-separated in detail for templates with %s.
    std::string out;
    size_t argStart = 0;
    bool usedDetail = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
            size_t bar = detail.find('|', argStart);
            out += detail.substr(argStart, bar == std::string::npos ? std::string::npos : bar - argStart);
            argStart = bar == std::string::npos ? detail.size() : bar + 1;
            usedDetail = true;
            ++i;
        } else {
            out += text[i];
        }
    }
    if (!usedDetail && !detail.empty())
        out += ": " + detail;
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
    return prefix + out;
}

void raiseCode(int code, const std::string &detail) {
    PlError e;
    e.code = code;
    e.message = messageOf(code, detail);
    throw e;
}

std::string toText(const Datum &d, const SessionContext &session) {
    switch (d.index()) {
    case 0:
        return {};
    case 1:
        return std::to_string(std::get<std::int64_t>(d));
    case 2:
        return functions::defaultNumberText(DecimalNumber::fromDouble(std::get<double>(d)),
                                            session.nls.decimalCharacter());
    case 3:
        return std::get<std::string>(d);
    case 4:
        return functions::formatDate(std::get<DateTime>(d), session.nls.dateFormat,
                                     functions::dateSettingsOf(session));
    case 5: {
        std::string hex;
        char buf[4];
        for (auto b : std::get<Bytes>(d).data) {
            std::snprintf(buf, sizeof buf, "%02X", b);
            hex += buf;
        }
        return hex;
    }
    case 6:
        return std::get<bool>(d) ? "TRUE" : "FALSE";
    default:
        raiseCode(6502);
    }
}

Datum toNumber(const Datum &d, const SessionContext &session) {
    switch (d.index()) {
    case 0:
    case 1:
    case 2:
        return d;
    case 3: {
        auto n = DecimalNumber::parse(std::get<std::string>(d), session.nls.decimalCharacter());
        if (!n)
            raiseCode(6502, "character to number conversion error");
        if (auto i = n->toInt64())
            return *i;
        return n->toDouble();
    }
    default:
        raiseCode(6502);
    }
}

DateTime toDate(const Datum &d, const SessionContext &session) {
    if (auto *dt = std::get_if<DateTime>(&d))
        return *dt;
    if (auto *s = std::get_if<std::string>(&d)) {
        if (auto stored = functions::parseStorageDate(*s); stored && s->size() == 19)
            return *stored;
        try {
            return functions::parseDate(*s, session.nls.dateFormat, functions::dateSettingsOf(session));
        } catch (const Error &e) {
            PlError pe;
            pe.code = e.code();
            pe.message = e.what();
            throw pe;
        }
    }
    raiseCode(6502);
}

bool toBoolean(const Datum &d) {
    if (auto *b = std::get_if<bool>(&d))
        return *b;
    if (auto *i = std::get_if<std::int64_t>(&d))
        return *i != 0;
    return false;
}

double toDouble(const Datum &d) {
    if (auto *i = std::get_if<std::int64_t>(&d))
        return double(*i);
    if (auto *f = std::get_if<double>(&d))
        return *f;
    return 0;
}

Datum assignTo(const PlType &type, Datum value, const SessionContext &session) {
    if (auto *s = std::get_if<std::string>(&value); s && s->empty() && type.kind != TypeKind::Record)
        value = std::monostate{};
    if (isNull(value)) {
        if (type.notNull)
            raiseCode(6502);
        return value;
    }
    switch (type.kind) {
    case TypeKind::Number:
    case TypeKind::Integer:
        if (std::holds_alternative<bool>(value))
            raiseCode(6502);
        return fitNumber(type, toNumber(value, session));
    case TypeKind::Text:
    case TypeKind::Char:
    case TypeKind::Clob: {
        std::string s = toText(value, session);
        if (type.length > 0) {
            std::size_t len = databaseLength(s, session);
            if (len > std::size_t(type.length))
                raiseCode(6502, kBufferTooSmall);
            if (type.kind == TypeKind::Char)
                s.append(std::size_t(type.length) - len, ' ');
        }
        return s;
    }
    case TypeKind::Date:
        return toDate(value, session);
    case TypeKind::Boolean:
        if (!std::holds_alternative<bool>(value))
            raiseCode(6502);
        return value;
    case TypeKind::Raw:
        if (auto *b = std::get_if<Bytes>(&value)) {
            if (type.length > 0 && b->data.size() > std::size_t(type.length))
                raiseCode(6502, kBufferTooSmall);
            return value;
        }
        raiseCode(6502);
    case TypeKind::Record:
        if (auto *r = std::get_if<std::shared_ptr<Record>>(&value)) {
            auto copy = std::make_shared<Record>();
            copy->type = type.record;
            const auto &ft = type.record->types;
            if ((*r)->fields.size() != ft.size())
                raiseCode(6504);
            for (size_t i = 0; i < ft.size(); ++i)
                copy->fields.push_back(assignTo(ft[i], (*r)->fields[i], session));
            return copy;
        }
        raiseCode(6502);
    case TypeKind::Unknown:
        return value;
    }
    return value;
}

Datum initialValue(const PlType &type) {
    if (type.kind != TypeKind::Record)
        return {};
    auto r = std::make_shared<Record>();
    r->type = type.record;
    for (const auto &t : type.record->types)
        r->fields.push_back(initialValue(t));
    return r;
}

Datum deepCopy(const Datum &d) {
    if (auto *r = std::get_if<std::shared_ptr<Record>>(&d)) {
        auto copy = std::make_shared<Record>();
        copy->type = (*r)->type;
        for (const auto &f : (*r)->fields)
            copy->fields.push_back(deepCopy(f));
        return copy;
    }
    return d;
}

Value toValue(const Datum &d) {
    switch (d.index()) {
    case 1:
        return std::get<std::int64_t>(d);
    case 2:
        return std::get<double>(d);
    case 3:
        return std::get<std::string>(d);
    case 4:
        return std::get<DateTime>(d);
    case 5:
        return std::get<Bytes>(d);
    case 6:
        return std::int64_t(std::get<bool>(d) ? 1 : 0);
    default:
        return std::monostate{};
    }
}

Datum fromValue(const Value &v) {
    switch (v.index()) {
    case 1:
        return std::get<std::int64_t>(v);
    case 2:
        return std::get<double>(v);
    case 3:
        return std::get<std::string>(v);
    case 4:
        return std::get<DateTime>(v);
    case 5:
        return std::get<Bytes>(v);
    default:
        return std::monostate{};
    }
}

}  // namespace localdb::plsql
