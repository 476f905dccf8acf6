// DBMS_OUTPUT's per-session buffer.
#pragma once

#include "localdb/plsql/plsqlRuntime.h"

namespace localdb::plsql {

// size: bytes (raised to at least 2000, at most 1,000,000), -1: unlimited.
void outputEnable(OutputBuffer &b, std::int64_t size);
void outputDisable(OutputBuffer &b);
// Appends text to the current line and ends it when endLine; ORU-10027 past the limit.
void outputPut(OutputBuffer &b, const std::string &text, bool endLine);
// The oldest complete line; false when there is none.
bool outputGetLine(OutputBuffer &b, std::string &line);
// Every complete line, oldest first, removed from the buffer.
std::vector<std::string> outputTakeLines(OutputBuffer &b);

}  // namespace localdb::plsql
