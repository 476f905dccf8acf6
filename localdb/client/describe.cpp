// Objects are looked up the way a name in a query is: the current schema first, then private
// and public synonyms (followed a few levels), and finally the engine itself, which knows the
// dictionary views that have no entry in ALL_TAB_COLUMNS.
#include "localdb/client/describe.h"

#include "localdb/client/command_names.h"
#include "localdb/client/text_width.h"

#include <algorithm>
#include <cctype>

namespace localdb::client {
namespace {

constexpr int kNameField = 41;
constexpr int kNullField = 8;
constexpr int kTypeField = 28;
constexpr int kSynonymLevels = 8;
constexpr int kArgumentField = 30;
constexpr int kArgumentTypeField = 23;
constexpr int kInOutField = 6;

std::optional<long long> numberOf(const Value &v) {
    if (auto i = std::get_if<std::int64_t>(&v))
        return *i;
    if (auto d = std::get_if<double>(&v))
        return static_cast<long long>(*d);
    if (auto s = std::get_if<std::string>(&v)) {
        try {
            return std::stoll(*s);
        } catch (const std::exception &) {
        }
    }
    return std::nullopt;
}

std::string textOf(const Value &v) {
    if (auto s = std::get_if<std::string>(&v))
        return *s;
    return {};
}

// One part of a possibly qualified name: quoted parts keep their case, others fold to upper.
// Returns false for text that is not a name, so nothing odd ever reaches a statement.
bool splitName(const std::string &typed, std::vector<std::string> &parts) {
    std::string_view text = trimmed(typed);
    if (!text.empty() && text.back() == ';')
        text.remove_suffix(1);
    while (!text.empty()) {
        std::string part;
        if (text.front() == '"') {
            const size_t close = text.find('"', 1);
            if (close == std::string_view::npos || close == 1)
                return false;
            part = std::string(text.substr(1, close - 1));
            text.remove_prefix(close + 1);
        } else {
            size_t end = 0;
            while (end < text.size() && text[end] != '.')
                ++end;
            for (char c : text.substr(0, end))
                if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#' ||
                      static_cast<unsigned char>(c) >= 0x80))
                    return false;
            part = upperAscii(text.substr(0, end));
            text.remove_prefix(end);
        }
        if (part.empty())
            return false;
        parts.push_back(part);
        if (text.empty())
            break;
        if (text.front() != '.')
            return false;
        text.remove_prefix(1);
        if (text.empty())
            return false;
    }
    return !parts.empty() && parts.size() <= 2;
}

std::string quoted(const std::string &identifier) {
    std::string out = "\"";
    for (char c : identifier) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::vector<DescribedColumn> dictionaryColumns(Session &session, const std::string &owner, const std::string &name) {
    std::vector<Bind> binds{{"o", owner}, {"t", name}};
    auto cursor = session.query("SELECT column_name, nullable, data_type, data_length, data_precision, data_scale, "
                                "char_used, char_length FROM all_tab_columns WHERE owner = :o AND table_name = :t "
                                "ORDER BY column_id",
                                &binds);
    std::vector<DescribedColumn> columns;
    while (cursor->next()) {
        DescribedColumn c;
        c.name = textOf(cursor->value(0));
        c.notNull = textOf(cursor->value(1)) == "N";
        // A length in characters is declared as CHAR_LENGTH; DATA_LENGTH counts its bytes.
        const std::string charUsed = textOf(cursor->value(6));
        const long long length = numberOf(cursor->value(charUsed == "C" ? 7 : 3)).value_or(0);
        c.type = describedType(textOf(cursor->value(2)), length, numberOf(cursor->value(4)), numberOf(cursor->value(5)),
                               charUsed);
        columns.push_back(std::move(c));
    }
    return columns;
}

// The object a synonym in owner (or a public one) stands for.
std::optional<std::pair<std::string, std::string>> synonymTarget(Session &session, const std::string &owner,
                                                                  const std::string &name, bool publicToo) {
    std::vector<Bind> binds{{"o", owner}, {"t", name}, {"p", std::string(publicToo ? "PUBLIC" : owner)}};
    auto cursor = session.query("SELECT table_owner, table_name FROM all_synonyms WHERE synonym_name = :t "
                                "AND (owner = :o OR owner = :p) ORDER BY CASE owner WHEN 'PUBLIC' THEN 1 ELSE 0 END",
                                &binds);
    if (!cursor->next())
        return std::nullopt;
    return std::make_pair(textOf(cursor->value(0)), textOf(cursor->value(1)));
}

std::string currentSchema(Session &session) {
    auto cursor = session.query("SELECT SYS_CONTEXT('USERENV', 'CURRENT_SCHEMA') FROM dual");
    return cursor->next() ? textOf(cursor->value(0)) : session.user();
}

// The procedures and functions of a standalone unit or a package, from ALL_ARGUMENTS.
std::vector<DescribedSubprogram> subprogramsOf(Session &session, const std::string &owner, const std::string &name,
                                               const std::string &objectType) {
    std::vector<Bind> binds{{"o", owner}, {"n", name}};
    auto cursor = session.query(
        "SELECT object_name, overload, argument_name, position, data_type, in_out, "
        "CASE WHEN default_value IS NULL THEN 'N' ELSE 'Y' END FROM all_arguments "
        "WHERE owner = :o AND ((package_name IS NULL AND object_name = :n) OR package_name = :n) "
        "AND NVL(data_level, 0) = 0 ORDER BY object_name, overload, sequence",
        &binds);
    std::vector<DescribedSubprogram> out;
    std::string current;
    while (cursor->next()) {
        const std::string object = textOf(cursor->value(0));
        const std::string overload = textOf(cursor->value(1));
        if (out.empty() || object + "/" + overload != current) {
            current = object + "/" + overload;
            DescribedSubprogram sub;
            sub.kind = objectType == "FUNCTION" ? "FUNCTION" : "PROCEDURE";
            sub.name = object;
            out.push_back(std::move(sub));
        }
        DescribedSubprogram &sub = out.back();
        const std::string argument = textOf(cursor->value(2));
        const std::optional<long long> position = numberOf(cursor->value(3));
        const std::string type = textOf(cursor->value(4));
        if (argument.empty() && position && *position == 0) {
            sub.kind = "FUNCTION";
            sub.returns = type;
        } else if (!argument.empty()) {
            const std::string inOut = textOf(cursor->value(5));
            sub.arguments.push_back(
                DescribedArgument{argument, type, inOut == "IN/OUT" || inOut == "IN OUT" ? "IN/OUT" : inOut,
                                  textOf(cursor->value(6)) == "Y"});
        }
    }
    return out;
}

std::optional<std::string> unitType(Session &session, const std::string &owner, const std::string &name) {
    std::vector<Bind> binds{{"o", owner}, {"n", name}};
    auto cursor = session.query("SELECT object_type FROM all_objects WHERE owner = :o AND object_name = :n "
                                "AND object_type IN ('PROCEDURE', 'FUNCTION', 'PACKAGE')",
                                &binds);
    if (!cursor->next())
        return std::nullopt;
    return textOf(cursor->value(0));
}

}  // namespace

std::vector<std::string> subprogramLines(const std::vector<DescribedSubprogram> &subprograms) {
    std::vector<std::string> lines;
    for (const DescribedSubprogram &sub : subprograms) {
        lines.push_back(sub.kind + " " + sub.name + (sub.kind == "FUNCTION" ? " RETURNS " + sub.returns : ""));
        if (sub.arguments.empty())
            continue;
        lines.push_back(" " + padRight("Argument Name", kArgumentField) + " " +
                        padRight("Type", kArgumentTypeField) + " In/Out Default?");
        lines.push_back(" " + std::string(kArgumentField, '-') + " " + std::string(kArgumentTypeField, '-') + " " +
                        std::string(kInOutField, '-') + " --------");
        for (const DescribedArgument &a : sub.arguments) {
            std::string line = " " + padRight(a.name, kArgumentField) + " " + padRight(a.type, kArgumentTypeField) +
                               " " + padRight(a.inOut, kInOutField) + (a.hasDefault ? " DEFAULT" : "");
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            lines.push_back(line);
        }
    }
    return lines;
}

std::vector<std::string> describe(Session &session, const std::string &typed) {
    try {
        return describeLines(describeObject(session, typed));
    } catch (const Error &e) {
        if (e.code() != 4043)
            throw;
        std::vector<std::string> parts;
        if (!splitName(typed, parts))
            throw;
        const std::string owner = parts.size() == 2 ? parts[0] : currentSchema(session);
        std::optional<std::string> type = unitType(session, owner, parts.back());
        if (!type)
            throw;
        std::vector<DescribedSubprogram> subprograms = subprogramsOf(session, owner, parts.back(), *type);
        if (*type != "PACKAGE") {
            // A standalone unit is headed by the name as the user typed it.
            if (subprograms.empty())
                subprograms.push_back(DescribedSubprogram{*type, {}, {}, {}});
            subprograms.front().name = std::string(trimmed(typed));
            if (!subprograms.front().name.empty() && subprograms.front().name.back() == ';')
                subprograms.front().name.pop_back();
        }
        return subprogramLines(subprograms);
    }
}

std::string describedType(const std::string &dataType, long long length, std::optional<long long> precision,
                          std::optional<long long> scale, const std::string &charUsed) {
    if (dataType == "NUMBER") {
        if (!precision)
            return scale && *scale == 0 ? "NUMBER(38)" : "NUMBER";
        if (!scale || *scale == 0)
            return "NUMBER(" + std::to_string(*precision) + ")";
        return "NUMBER(" + std::to_string(*precision) + "," + std::to_string(*scale) + ")";
    }
    if (dataType == "FLOAT")
        return "FLOAT(" + std::to_string(precision.value_or(126)) + ")";
    if (dataType == "VARCHAR2" || dataType == "VARCHAR" || dataType == "CHAR")
        return dataType + "(" + std::to_string(length) + (charUsed == "C" ? " CHAR)" : ")");
    if (dataType == "NVARCHAR2" || dataType == "NCHAR" || dataType == "RAW")
        return dataType + "(" + std::to_string(length) + ")";
    return dataType;
}

std::vector<std::string> describeLines(const std::vector<DescribedColumn> &columns) {
    int nameWidth = kNameField;
    int typeWidth = kTypeField;
    for (const DescribedColumn &c : columns) {
        nameWidth = std::max(nameWidth, displayWidth(c.name));
        typeWidth = std::max(typeWidth, displayWidth(c.type));
    }
    std::vector<std::string> lines;
    lines.push_back(" " + padRight("Name", nameWidth) + " " + padRight("Null?", kNullField) + " Type");
    lines.push_back(" " + std::string(static_cast<size_t>(nameWidth), '-') + " " + std::string(kNullField, '-') + " " +
                    std::string(static_cast<size_t>(typeWidth), '-'));
    for (const DescribedColumn &c : columns) {
        std::string line = " " + padRight(c.name, nameWidth) + " " + padRight(c.notNull ? "NOT NULL" : "", kNullField) +
                           " " + c.type;
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<DescribedColumn> describeObject(Session &session, const std::string &typed) {
    std::vector<std::string> parts;
    const std::string shown(trimmed(typed));
    if (!splitName(typed, parts))
        throw Error(4043, "ORA-04043: object " + shown + " does not exist");
    const bool qualified = parts.size() == 2;
    std::string owner = qualified ? parts[0] : currentSchema(session);
    std::string name = parts.back();
    for (int level = 0; level < kSynonymLevels; ++level) {
        std::vector<DescribedColumn> columns = dictionaryColumns(session, owner, name);
        if (!columns.empty())
            return columns;
        auto target = synonymTarget(session, owner, name, !qualified || level > 0);
        if (!target)
            break;
        owner = target->first;
        name = target->second;
    }
    // Views the dictionary does not list (its own views among them) still have columns.
    try {
        std::string reference = qualified ? quoted(parts[0]) + "." + quoted(parts[1]) : quoted(parts[0]);
        auto cursor = session.query("SELECT * FROM " + reference + " WHERE 1 = 0");
        std::vector<DescribedColumn> columns;
        for (const Column &c : cursor->columns())
            columns.push_back(DescribedColumn{c.name, false, c.oracleType});
        if (!columns.empty())
            return columns;
    } catch (const Error &) {
    }
    throw Error(4043, "ORA-04043: object " + shown + " does not exist");
}

}  // namespace localdb::client
