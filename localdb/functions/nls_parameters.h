// The optional 'nlsparams' argument of TO_CHAR, TO_DATE and TO_NUMBER, such as
// 'NLS_DATE_LANGUAGE = JAPANESE' or 'NLS_NUMERIC_CHARACTERS = '',.'''. It overrides the
// session's settings for that one call.
#pragma once

#include "localdb/functions/session_context.h"

#include <string_view>

namespace localdb::functions {

// Applies the settings named in text to nls; ORA-12702 for text it cannot read.
void applyNlsParameters(std::string_view text, NlsSettings &nls);

}  // namespace localdb::functions
