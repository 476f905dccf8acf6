// The data dictionary: DUAL and the USER_/ALL_/DBA_ views with Oracle's names and columns, kept
// as SQLite views over the catalogue tables and registered as SYS objects with public synonyms.
#pragma once

namespace localdb {

class Connection;

// The dictionary's layout version; a database made by an older engine gets its views rebuilt.
constexpr int kDictionaryVersion = 3;

// Creates (or re-creates) SYS.DUAL, the dictionary views, their catalogue entries and their
// public synonyms. Needs the SQL functions kdb_user() and kdb_is_dba() registered.
void installDictionary(Connection &db);

// Rebuilds the views when the stored version is older than kDictionaryVersion.
void upgradeDictionary(Connection &db);

}  // namespace localdb
