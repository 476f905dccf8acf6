// Host strings: a database file path, an alias from the user's alias file, or "demo".
//
// The alias file is ~/.config/Kestrim/aliases.ini (the user's configuration folder), an ini file
// whose section [aliases] maps alias names (compared without regard to case) to database files:
//     [aliases]
//     orcl=/home/me/databases/orcl.kdb
// The demo database lives in the user's data folder as demo.kdb and is created on first use.
#pragma once

#include <string>

namespace localdb {

std::string aliasFilePath();
std::string demoDatabasePath();

// The database file a host string names, or "" when it names none (ORA-12154 for the caller).
// isDemo is set for the built-in demo alias.
std::string resolveHost(const std::string &host, bool &isDemo);

}  // namespace localdb
