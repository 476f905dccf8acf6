// The registered statements of "sql.ini", a file the user writes by hand beside the program:
// sections [SQL0], [SQL1], ... each with a TITLE key and an SQL line whose text after the first
// "=" begins the statement, every following line up to the next "[SQL" line belonging to it.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace worksheet {

// The titles of SQL0, SQL1, ... up to the first section without a title (at most 127 bytes
// each). A missing or unreadable file gives none.
std::vector<std::string> ReadRegisteredTitles(const QString &fileName);

// The statement of section SQL<index>: lines joined by line feeds, each ended by one. Nothing
// when the section or an SQL line after it is missing. Raises EFOpenError when the file cannot
// be opened.
std::optional<std::string> LoadRegisteredStatement(const QString &fileName, int index);

} // namespace worksheet
