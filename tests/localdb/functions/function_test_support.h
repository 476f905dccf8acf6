// Small helpers shared by the function library's tests.
#pragma once

#include "localdb/localdb.h"

#include <algorithm>
#include <string>

namespace functiontest {

// The ORA code the call raises, or 0 when it returns normally.
int errorCode(auto &&call)
{
    try {
        call();
    } catch (const localdb::Error &e) {
        return e.code();
    }
    return 0;
}

// Blanks shown as '_', so that expected texts in the tables show where the blanks fall.
inline std::string blanksShown(std::string text)
{
    std::replace(text.begin(), text.end(), ' ', '_');
    return text;
}

}  // namespace functiontest
