#include "localdb/catalog/sequence_number.h"

#include "localdb/system/connection.h"
#include "localdb/system/errors.h"
#include "localdb/functions/decimal_number.h"

#include <cstdint>
#include <limits>

namespace localdb {

SequenceNumber sequenceNumberLimit() {
    SequenceNumber n = 0;
    for (int i = 0; i < 28; ++i)
        n = n * 10 + 9;
    return n;
}

std::optional<SequenceNumber> parseSequenceNumber(std::string_view text) {
    auto d = functions::DecimalNumber::parse(text);
    if (!d || !d->isInteger())
        return std::nullopt;
    if (d->isZero())
        return SequenceNumber(0);
    // Room for a block's end past the largest value; the parser holds options to 28 digits.
    if (d->exponent() > 36)
        return std::nullopt;
    SequenceNumber n = 0;
    for (int i = 0; i < d->exponent(); ++i)
        n = n * 10 + (i < int(d->digits().size()) ? d->digits()[size_t(i)] - '0' : 0);
    return d->isNegative() ? -n : n;
}

std::string sequenceNumberText(SequenceNumber n) {
    if (n == 0)
        return "0";
    const bool negative = n < 0;
    std::string digits;
    for (; n != 0; n /= 10) {
        const int d = int(n % 10);
        digits.insert(digits.begin(), char('0' + (d < 0 ? -d : d)));
    }
    return negative ? "-" + digits : digits;
}

namespace {

bool fitsInt64(SequenceNumber n) {
    return n >= std::numeric_limits<std::int64_t>::min() && n <= std::numeric_limits<std::int64_t>::max();
}

}  // namespace

void bindSequenceNumber(Prepared &p, int index, SequenceNumber n) {
    if (fitsInt64(n))
        p.bind(index, std::int64_t(n));
    else
        p.bind(index, sequenceNumberText(n));
}

SequenceNumber readSequenceNumber(const Prepared &p, int column) {
    const std::string text = p.text(column);
    auto n = parseSequenceNumber(text);
    if (!n)
        raise(600, -1, {"sequence value " + text});
    return *n;
}

}  // namespace localdb
