// Oracle's numeric functions where decimal exactness or Oracle's own rules matter: MOD with the
// dividend's sign, REMAINDER, CEIL and FLOOR on decimals, and the range checks of SQRT, LN, LOG,
// POWER and the inverse trigonometric functions (ORA-01428 naming the offending value).
#pragma once

#include "localdb/functions/decimal_number.h"

namespace localdb::functions {

// m - n * TRUNC(m / n); MOD(m, 0) = m. Exact for decimals of up to 38 digits.
DecimalNumber modNumber(const DecimalNumber &m, const DecimalNumber &n);
// m - n * ROUND(m / n) with halves going to the even quotient; ORA-01476 for n = 0.
DecimalNumber remainderNumber(const DecimalNumber &m, const DecimalNumber &n);
DecimalNumber ceilNumber(const DecimalNumber &n);
DecimalNumber floorNumber(const DecimalNumber &n);

// The transcendental functions, with Oracle's errors: ORA-01428 for an argument outside the
// function's domain, ORA-01426 for a result beyond the number range.
double sqrtNumber(double n);
double lnNumber(double n);
double logNumber(double base, double n);
double expNumber(double n);
double powerNumber(double m, double n);
double asinNumber(double n);
double acosNumber(double n);

}  // namespace localdb::functions
