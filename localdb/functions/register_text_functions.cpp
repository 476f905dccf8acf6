// SQLite entry points of the character and RAW functions.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/function_registry.h"
#include "localdb/functions/raw_functions.h"
#include "localdb/functions/text_functions.h"
#include "localdb/functions/value_bytes.h"
#include "localdb/functions/width_conversion.h"

#include <optional>

namespace localdb::functions {

namespace {

DatabaseCharset charsetOf(const Arguments &a) { return charsetFor(a.session().characterSet); }

std::optional<double> optionalReal(Arguments &a, int i)
{
    if (a.count() <= i)
        return std::nullopt;
    return a.real(i);
}

double realOr(Arguments &a, int i, double fallback) { return a.count() > i ? a.real(i) : fallback; }

void asciiBody(Arguments &a) { a.setInteger(asciiCode(a.text(0), charsetOf(a))); }
void chrBody(Arguments &a) { a.setText(chrText(a.real(0), charsetOf(a))); }
void initcapBody(Arguments &a) { a.setText(initcapText(a.text(0))); }
void upperBody(Arguments &a) { a.setText(upperText(a.text(0))); }
void lowerBody(Arguments &a) { a.setText(lowerText(a.text(0))); }
void lengthBody(Arguments &a) { a.setInteger(lengthOf(a.text(0))); }
void lengthbBody(Arguments &a) { a.setInteger(lengthbOf(a.text(0), charsetOf(a))); }
void soundexBody(Arguments &a) { a.setText(soundexText(a.text(0))); }
void translateBody(Arguments &a) { a.setText(translateText(a.text(0), a.text(1), a.text(2))); }

void instrBody(Arguments &a)
{
    a.setInteger(instr(a.text(0), a.text(1), realOr(a, 2, 1), realOr(a, 3, 1)));
}

void instrbBody(Arguments &a)
{
    a.setInteger(instrb(a.text(0), a.text(1), realOr(a, 2, 1), realOr(a, 3, 1), charsetOf(a)));
}

void substrBody(Arguments &a) { a.setText(substr(a.text(0), a.real(1), optionalReal(a, 2))); }
void substrbBody(Arguments &a) { a.setText(substrb(a.text(0), a.real(1), optionalReal(a, 2), charsetOf(a))); }

void lpadBody(Arguments &a) { a.setText(lpad(a.text(0), a.real(1), a.count() > 2 ? a.text(2) : " ")); }
void rpadBody(Arguments &a) { a.setText(rpad(a.text(0), a.real(1), a.count() > 2 ? a.text(2) : " ")); }
void ltrimBody(Arguments &a) { a.setText(trimCharacters(a.text(0), a.count() > 1 ? a.text(1) : " ", true, false)); }
void rtrimBody(Arguments &a) { a.setText(trimCharacters(a.text(0), a.count() > 1 ? a.text(1) : " ", false, true)); }

// ora_trim(source [, mode [, character]]): mode LEADING, TRAILING or BOTH (NULL is BOTH).
void trimBody(Arguments &a)
{
    if (a.isNull(0) || (a.count() > 2 && a.isNull(2)) || a.text(0).empty()
        || (a.count() > 2 && a.text(2).empty()))
        return;
    std::string mode = ascii::upper(a.count() > 1 && !a.isNull(1) ? a.text(1) : "BOTH");
    std::string character = a.count() > 2 ? a.text(2) : " ";
    if (lengthOf(character) != 1)
        raiseError(30001);
    bool leading = mode != "TRAILING";
    bool trailing = mode != "LEADING";
    a.setText(trimCharacters(a.text(0), character, leading, trailing));
}

// NULL counts as empty on either side; an empty result is NULL.
void concatBody(Arguments &a)
{
    a.setText(a.text(0) + a.text(1));
}

// A NULL search returns the text; a NULL replacement removes the matches.
void replaceBody(Arguments &a)
{
    if (a.isNull(0))
        return;
    std::string search = a.isNull(1) ? std::string() : a.text(1);
    std::string replacement = a.count() > 2 && !a.isNull(2) ? a.text(2) : std::string();
    a.setText(replaceText(a.text(0), search, replacement));
}

// RAWTOHEX of text shows the text's bytes in the database character set.
void rawtohexBody(Arguments &a)
{
    if (a.type(0) == SQLITE_BLOB) {
        a.setText(rawToHex(a.raw(0)));
        return;
    }
    std::string bytes = toDatabaseBytes(a.text(0), charsetOf(a));
    a.setText(rawToHex(std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
}

void hextorawBody(Arguments &a) { a.setRaw(hexToRaw(a.text(0))); }

void toMultiByteBody(Arguments &a) { a.setText(toMultiByte(a.text(0))); }
void toSingleByteBody(Arguments &a) { a.setText(toSingleByte(a.text(0))); }

void vsizeBody(Arguments &a)
{
    switch (a.type(0)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        a.setInteger(static_cast<std::int64_t>(numberBytes(a.number(0)).size()));
        return;
    case SQLITE_BLOB:
        a.setInteger(static_cast<std::int64_t>(a.raw(0).size()));
        return;
    default:
        a.setInteger(lengthbOf(a.text(0), charsetOf(a)));
    }
}

void vsizeDateBody(Arguments &a) { a.setInteger(7); }

}  // namespace

std::vector<ScalarImplementation> textFunctionImplementations()
{
    using enum NullArguments;
    return {
        {"ora_ascii", scalarEntry<asciiBody>},
        {"ora_chr", scalarEntry<chrBody>},
        {"ora_concat", scalarEntry<concatBody, Handled>},
        {"ora_initcap", scalarEntry<initcapBody>},
        {"ora_instr", scalarEntry<instrBody>},
        {"ora_instrb", scalarEntry<instrbBody>},
        {"ora_length", scalarEntry<lengthBody>},
        {"ora_lengthb", scalarEntry<lengthbBody>},
        {"ora_lower", scalarEntry<lowerBody>},
        {"ora_lpad", scalarEntry<lpadBody>},
        {"ora_ltrim", scalarEntry<ltrimBody>},
        {"ora_replace", scalarEntry<replaceBody, Handled>},
        {"ora_rpad", scalarEntry<rpadBody>},
        {"ora_rtrim", scalarEntry<rtrimBody>},
        {"ora_soundex", scalarEntry<soundexBody>},
        {"ora_substr", scalarEntry<substrBody>},
        {"ora_substrb", scalarEntry<substrbBody>},
        {"ora_translate", scalarEntry<translateBody>},
        {"ora_trim", scalarEntry<trimBody, Handled>},
        {"ora_upper", scalarEntry<upperBody>},
        {"ora_nls_upper", scalarEntry<upperBody>},
        {"ora_nls_lower", scalarEntry<lowerBody>},
        {"ora_nls_initcap", scalarEntry<initcapBody>},
        {"ora_to_multi_byte", scalarEntry<toMultiByteBody>},
        {"ora_to_single_byte", scalarEntry<toSingleByteBody>},
        {"ora_vsize", scalarEntry<vsizeBody>},
        {"ora_vsize_date", scalarEntry<vsizeDateBody>},
        {"ora_rawtohex", scalarEntry<rawtohexBody>},
        {"ora_hextoraw", scalarEntry<hextorawBody>},
    };
}

}  // namespace localdb::functions
