// Reading from the terminal: lines, and passwords without echo.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace localdb::client {

// The next line of file without its line feed; nullopt at the end.
std::optional<std::string> readLine(std::FILE *file);

// Shows prompt and reads a line from standard input, without echo when it is a terminal.
std::optional<std::string> readPassword(const std::string &prompt);

bool standardInputIsTerminal();

}  // namespace localdb::client
