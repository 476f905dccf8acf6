// SQLite entry points of the smaller functions: DUMP, STANDARD_HASH, ORA_HASH, SYS_GUID, NANVL,
// WIDTH_BUCKET, TO_BINARY_DOUBLE and TO_BINARY_FLOAT, UNISTR, ASCIISTR, COMPOSE and DECOMPOSE.
#include "localdb/functions/function_registry.h"
#include "localdb/functions/number_text.h"
#include "localdb/functions/text_functions.h"
#include "localdb/functions/unicode_text.h"
#include "localdb/functions/value_bytes.h"

#include <QCryptographicHash>

#include <sodium.h>

#include <cmath>
#include <cstdio>

namespace localdb::functions {

namespace {

// Oracle's type codes in DUMP.
enum TypeCode { VarcharCode = 1, NumberCode = 2, DateCode = 12, RawCode = 23, CharCode = 96 };

std::string dumpText(const Arguments &a, int typeCode, const ByteString &bytes)
{
    int format = a.count() > 1 && !a.isNull(1) ? int(a.real(1)) : 10;
    const bool showCharset = format >= 1000;
    const int base = format % 1000;
    std::int64_t start = a.count() > 2 && !a.isNull(2) ? std::int64_t(a.real(2)) : 1;
    std::int64_t length = a.count() > 3 && !a.isNull(3) ? std::int64_t(a.real(3)) : std::int64_t(bytes.size());
    // A negative start counts from the end, as in SUBSTR.
    std::int64_t size = std::int64_t(bytes.size());
    std::int64_t first = start > 0 ? start - 1 : start < 0 ? std::max<std::int64_t>(size + start, 0) : 0;
    std::int64_t last = std::min(size, first + std::max<std::int64_t>(length, 0));
    std::string text = "Typ=" + std::to_string(typeCode) + " Len=" + std::to_string(bytes.size());
    if (showCharset && (typeCode == VarcharCode || typeCode == CharCode))
        text += " CharacterSet=" + a.session().characterSet;
    text += ": ";
    for (std::int64_t k = first; k < last; ++k) {
        unsigned b = bytes[std::size_t(k)];
        char item[8];
        if (base == 16)
            std::snprintf(item, sizeof item, "%x", b);
        else if (base == 8)
            std::snprintf(item, sizeof item, "%o", b);
        else if (base == 17 && b >= 0x20 && b < 0x7F)
            std::snprintf(item, sizeof item, "%c", char(b));
        else
            std::snprintf(item, sizeof item, "%u", b);
        text += (k > first ? "," : "") + std::string(item);
    }
    return text;
}

// DUMP(NULL) shows the word NULL.
template <int Code, bool AsDate>
void dumpBody(Arguments &a)
{
    if (a.isNull(0) || (a.type(0) == SQLITE_TEXT && a.text(0).empty())) {
        a.setText("NULL");
        return;
    }
    int code = Code;
    if (code == VarcharCode) {
        int t = a.type(0);
        code = t == SQLITE_INTEGER || t == SQLITE_FLOAT ? NumberCode : t == SQLITE_BLOB ? RawCode : VarcharCode;
    }
    a.setText(dumpText(a, code, argumentBytes(a, 0, AsDate)));
}

template <bool AsDate>
void standardHashBody(Arguments &a)
{
    std::string method = a.count() > 1 ? a.text(1) : "SHA1";
    for (char &c : method)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    QCryptographicHash::Algorithm algorithm;
    if (method == "SHA1")
        algorithm = QCryptographicHash::Sha1;
    else if (method == "SHA256")
        algorithm = QCryptographicHash::Sha256;
    else if (method == "SHA384")
        algorithm = QCryptographicHash::Sha384;
    else if (method == "SHA512")
        algorithm = QCryptographicHash::Sha512;
    else if (method == "MD5")
        algorithm = QCryptographicHash::Md5;
    else
        raiseError(3052);
    ByteString bytes = argumentBytes(a, 0, AsDate);
    QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())), algorithm);
    a.setRaw(ByteString(digest.begin(), digest.end()));
}

constexpr double kMaxHashArgument = 4294967295.0;

double hashArgument(const Arguments &a, int i, double fallback)
{
    if (a.count() <= i)
        return fallback;
    double value = std::trunc(a.real(i));
    if (value < 0 || value > kMaxHashArgument)
        raiseOutOfRange(defaultNumberText(DecimalNumber::fromDouble(a.real(i))));
    return value;
}

// ORA_HASH: a 32-bit digest of the value's internal bytes and the seed, reduced to a bucket.
template <bool AsDate>
void oraHashBody(Arguments &a)
{
    double maxBucket = hashArgument(a, 1, kMaxHashArgument);
    auto seed = std::uint32_t(hashArgument(a, 2, 0));
    ByteString bytes = argumentBytes(a, 0, AsDate);
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(&seed), sizeof seed));
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())));
    QByteArray digest = hash.result();
    std::uint32_t value = 0;
    for (int k = 0; k < 4; ++k)
        value = (value << 8) | std::uint8_t(digest[k]);
    a.setInteger(std::int64_t(value % (std::uint64_t(maxBucket) + 1)));
}

void sysGuidBody(Arguments &a)
{
    ByteString guid(16);
    randombytes_buf(guid.data(), guid.size());
    a.setRaw(guid);
}

// NANVL(x, alt): alt when x is not a number; NULL when x is NULL.
void nanvlBody(Arguments &a)
{
    if (a.isNull(0))
        return;
    if (a.type(0) == SQLITE_FLOAT && std::isnan(a.real(0))) {
        if (!a.isNull(1))
            a.setNumber(a.number(1));
        return;
    }
    a.setNumber(a.number(0));
}

[[noreturn]] void invalidBucketArgument(int position)
{
    throw Error(30494, "ORA-30494: The argument [" + std::to_string(position)
                           + "] of WIDTH_BUCKET function is NULL or invalid.");
}

// WIDTH_BUCKET(x, low, high, n): equal-width buckets 1..n, 0 below the range, n + 1 above it; a
// range given high to low numbers its buckets downwards.
void widthBucketBody(Arguments &a)
{
    for (int k = 1; k < 4; ++k) {
        if (a.isNull(k))
            invalidBucketArgument(k + 1);
    }
    if (a.isNull(0))
        return;
    double x = a.real(0), low = a.real(1), high = a.real(2), n = a.real(3);
    if (n < 1 || n != std::trunc(n) || n > 2147483647.0)
        invalidBucketArgument(4);
    if (low == high)
        invalidBucketArgument(3);
    double bucket;
    if (low < high)
        bucket = x < low ? 0 : x >= high ? n + 1 : std::floor((x - low) * n / (high - low)) + 1;
    else
        bucket = x > low ? 0 : x <= high ? n + 1 : std::floor((low - x) * n / (low - high)) + 1;
    a.setInteger(std::int64_t(bucket));
}

// TO_BINARY_DOUBLE and TO_BINARY_FLOAT: numbers pass, text is read as a number (ORA-01722).
template <bool Single>
void toBinaryBody(Arguments &a)
{
    double value = a.real(0);
    if (Single)
        value = double(float(value));
    a.setNumber(value);
}

void unistrBody(Arguments &a) { a.setText(unistrText(a.text(0))); }
void asciistrBody(Arguments &a) { a.setText(asciistrText(a.text(0))); }
void composeBody(Arguments &a) { a.setText(composeText(a.text(0))); }
void decomposeBody(Arguments &a) { a.setText(decomposeText(a.text(0))); }

}  // namespace

std::vector<ScalarImplementation> miscFunctionImplementations()
{
    using enum NullArguments;
    return {
        {"ora_dump", scalarEntry<dumpBody<VarcharCode, false>, Handled>},
        {"ora_dump_char", scalarEntry<dumpBody<CharCode, false>, Handled>},
        {"ora_dump_date", scalarEntry<dumpBody<DateCode, true>, Handled>},
        {"ora_standard_hash", scalarEntry<standardHashBody<false>>},
        {"ora_standard_hash_date", scalarEntry<standardHashBody<true>>},
        {"ora_ora_hash", scalarEntry<oraHashBody<false>>},
        {"ora_ora_hash_date", scalarEntry<oraHashBody<true>>},
        {"ora_sys_guid", scalarEntry<sysGuidBody>},
        {"ora_nanvl", scalarEntry<nanvlBody, Handled>},
        {"ora_width_bucket", scalarEntry<widthBucketBody, Handled>},
        {"ora_to_binary_double", scalarEntry<toBinaryBody<false>>},
        {"ora_to_binary_float", scalarEntry<toBinaryBody<true>>},
        {"ora_unistr", scalarEntry<unistrBody>},
        {"ora_asciistr", scalarEntry<asciistrBody>},
        {"ora_compose", scalarEntry<composeBody>},
        {"ora_decompose", scalarEntry<decomposeBody>},
    };
}

}  // namespace localdb::functions
