// Sequence numbers: integers of up to 28 decimal digits, counted exactly. They are kept in a
// 128-bit integer (a double stops counting by one past 2^53), stored in the catalogue as an
// SQLite integer when they fit 64 bits and as their decimal text otherwise.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace localdb {

class Prepared;

__extension__ typedef __int128 SequenceNumber;

// The largest magnitude a sequence number may have: 28 nines.
SequenceNumber sequenceNumberLimit();

// An integer written as decimal digits with an optional sign, or as a number with an exponent
// that is still a whole number ("1.0e+27", as SQLite prints a stored double). nullopt for other
// text, a fraction, or more than 36 digits.
std::optional<SequenceNumber> parseSequenceNumber(std::string_view text);
std::string sequenceNumberText(SequenceNumber n);

void bindSequenceNumber(Prepared &p, int index, SequenceNumber n);
// Throws ORA-00600 when the stored value is not a sequence number (a damaged catalogue).
SequenceNumber readSequenceNumber(const Prepared &p, int column);

}  // namespace localdb
