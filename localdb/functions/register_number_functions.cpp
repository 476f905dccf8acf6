// SQLite entry points of the numeric functions.
#include "localdb/functions/function_registry.h"
#include "localdb/functions/numeric_functions.h"

#include <algorithm>
#include <cmath>

namespace localdb::functions {

namespace {

// Decimal places for ROUND and TRUNC: the argument truncated, bounded so that absurd values
// behave like large ones.
int placesOf(Arguments &a, int i)
{
    if (a.count() <= i)
        return 0;
    return static_cast<int>(std::trunc(std::clamp(a.real(i), -100000.0, 100000.0)));
}

void absBody(Arguments &a) { a.setNumber(a.number(0).absolute()); }
void signBody(Arguments &a)
{
    DecimalNumber n = a.number(0);
    a.setInteger(n.isZero() ? 0 : (n.isNegative() ? -1 : 1));
}
void ceilBody(Arguments &a) { a.setNumber(ceilNumber(a.number(0))); }
void floorBody(Arguments &a) { a.setNumber(floorNumber(a.number(0))); }
void roundBody(Arguments &a) { a.setNumber(a.number(0).rounded(placesOf(a, 1))); }
void truncBody(Arguments &a) { a.setNumber(a.number(0).truncated(placesOf(a, 1))); }
void modBody(Arguments &a) { a.setNumber(modNumber(a.number(0), a.number(1))); }
void remainderBody(Arguments &a) { a.setNumber(remainderNumber(a.number(0), a.number(1))); }
void powerBody(Arguments &a) { a.setNumber(powerNumber(a.real(0), a.real(1))); }
void sqrtBody(Arguments &a) { a.setNumber(sqrtNumber(a.real(0))); }
void expBody(Arguments &a) { a.setNumber(expNumber(a.real(0))); }
void lnBody(Arguments &a) { a.setNumber(lnNumber(a.real(0))); }
void logBody(Arguments &a) { a.setNumber(logNumber(a.real(0), a.real(1))); }
void sinBody(Arguments &a) { a.setNumber(std::sin(a.real(0))); }
void cosBody(Arguments &a) { a.setNumber(std::cos(a.real(0))); }
void tanBody(Arguments &a) { a.setNumber(std::tan(a.real(0))); }
void sinhBody(Arguments &a) { a.setNumber(std::sinh(a.real(0))); }
void coshBody(Arguments &a) { a.setNumber(std::cosh(a.real(0))); }
void tanhBody(Arguments &a) { a.setNumber(std::tanh(a.real(0))); }
void asinBody(Arguments &a) { a.setNumber(asinNumber(a.real(0))); }
void acosBody(Arguments &a) { a.setNumber(acosNumber(a.real(0))); }
void atanBody(Arguments &a) { a.setNumber(std::atan(a.real(0))); }
void atan2Body(Arguments &a) { a.setNumber(std::atan2(a.real(0), a.real(1))); }
void bitandBody(Arguments &a)
{
    auto left = a.number(0).truncated(0).toInt64();
    auto right = a.number(1).truncated(0).toInt64();
    if (!left || !right)
        raiseError(1426);
    a.setInteger(*left & *right);
}

}  // namespace

std::vector<ScalarImplementation> numberFunctionImplementations()
{
    return {
        {"ora_abs", scalarEntry<absBody>},
        {"ora_sign", scalarEntry<signBody>},
        {"ora_ceil", scalarEntry<ceilBody>},
        {"ora_floor", scalarEntry<floorBody>},
        {"ora_round", scalarEntry<roundBody>},
        {"ora_trunc", scalarEntry<truncBody>},
        {"ora_mod", scalarEntry<modBody>},
        {"ora_remainder", scalarEntry<remainderBody>},
        {"ora_power", scalarEntry<powerBody>},
        {"ora_sqrt", scalarEntry<sqrtBody>},
        {"ora_exp", scalarEntry<expBody>},
        {"ora_ln", scalarEntry<lnBody>},
        {"ora_log", scalarEntry<logBody>},
        {"ora_sin", scalarEntry<sinBody>},
        {"ora_cos", scalarEntry<cosBody>},
        {"ora_tan", scalarEntry<tanBody>},
        {"ora_sinh", scalarEntry<sinhBody>},
        {"ora_cosh", scalarEntry<coshBody>},
        {"ora_tanh", scalarEntry<tanhBody>},
        {"ora_asin", scalarEntry<asinBody>},
        {"ora_acos", scalarEntry<acosBody>},
        {"ora_atan", scalarEntry<atanBody>},
        {"ora_atan2", scalarEntry<atan2Body>},
        {"ora_bitand", scalarEntry<bitandBody>},
    };
}

}  // namespace localdb::functions
