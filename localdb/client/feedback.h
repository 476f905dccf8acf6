// The messages the client prints after a statement: "Table created.", "3 rows updated.",
// "Commit complete." ... derived from the engine's command name and row count, and the error
// block "ERROR at line n:" with the offending line and an asterisk under the fault.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace localdb::client {

// The completion message of a statement that is not a query; empty when there is none.
std::string completionMessage(const std::string &command, std::int64_t rowsAffected);

// The message after a query's rows: "no rows selected", "1 row selected.", "14 rows selected.";
// empty when FEEDBACK is off or the rows are fewer than its threshold.
std::string querySummary(long long rows, int feedbackThreshold);

// The lines describing a failed statement. position is the byte offset of the fault in the
// statement text (lines joined by line feeds), -1 when the engine gave none: the first line is
// shown with the asterisk in its first column then, as for run-time errors.
std::vector<std::string> errorReport(const std::vector<std::string> &statementLines, int position,
                                     const std::string &message);

// Where a PL/SQL compilation error of a block lies, from the "ORA-06550: line L, column C:" that
// starts its message (columns count characters), as a byte offset for errorReport; -1 when the
// message has none or it lies outside the text.
int plsqlErrorPosition(const std::vector<std::string> &statementLines, const std::string &message);

// "ERROR:" and the message, for failures that have no statement line to point at (a failed
// logon, DESCRIBE of an unknown object, an error while fetching rows).
std::vector<std::string> plainErrorReport(const std::string &message);

}  // namespace localdb::client
