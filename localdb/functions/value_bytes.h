// The bytes of a value in Oracle's internal form: what DUMP shows, VSIZE counts and
// STANDARD_HASH and ORA_HASH digest. NUMBER is base 100 with an exponent byte, DATE seven bytes,
// text its bytes in the database character set.
#pragma once

#include "localdb/functions/decimal_number.h"
#include "localdb/localdb.h"

#include <cstdint>
#include <vector>

namespace localdb::functions {

class Arguments;

using ByteString = std::vector<std::uint8_t>;

ByteString numberBytes(const DecimalNumber &number);
ByteString dateBytes(const DateTime &date);

// The internal form of argument i as SQLite holds it: numbers, text, raw; a date when asDate.
ByteString argumentBytes(const Arguments &a, int i, bool asDate);

}  // namespace localdb::functions
