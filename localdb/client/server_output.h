// DBMS_OUTPUT lines as SET SERVEROUTPUT prints them: lines wider than LINESIZE are broken at
// word boundaries (WORD_WRAPPED, which also drops a line's leading blanks), cut at the width onto
// further lines (WRAPPED), or cut off (TRUNCATED). Line feeds inside a line start new lines.
#pragma once

#include "localdb/client/client_settings.h"

#include <string>
#include <vector>

namespace localdb::client {

std::vector<std::string> serverOutputLines(const std::string &line, const ClientSettings &settings);

}  // namespace localdb::client
