// The per-session state Oracle's built-in functions read: NLS settings, the user and schema, the
// database character set and the statement's SYSDATE. The engine keeps one SessionContext per
// session and hands it to the SQLite functions as their user data, so ALTER SESSION takes effect
// on the next call without re-registering anything.
#pragma once

#include "localdb/localdb.h"

#include <cstdint>
#include <string>

namespace localdb {

// The NLS settings a session can change with ALTER SESSION.
struct NlsSettings {
    std::string dateFormat = "DD-MON-RR";  // NLS_DATE_FORMAT
    std::string timestampFormat = "DD-MON-RR HH.MI.SSXFF AM";        // NLS_TIMESTAMP_FORMAT
    std::string timestampTzFormat = "DD-MON-RR HH.MI.SSXFF AM TZR";  // NLS_TIMESTAMP_TZ_FORMAT
    std::string timeZone;  // TIME_ZONE ('+09:00' or a region); empty: the operating system's offset
    std::string language = "AMERICAN";     // NLS_LANGUAGE; also the date language (names of months
                                           // and days): AMERICAN (English) or JAPANESE
    std::string territory = "AMERICA";     // NLS_TERRITORY: first day of the week, defaults below
    std::string numericCharacters = ".,";  // NLS_NUMERIC_CHARACTERS: decimal character, then group
    std::string currency = "$";            // NLS_CURRENCY (format element L)
    std::string isoCurrency = "AMERICA";   // NLS_ISO_CURRENCY territory (format element C)

    char decimalCharacter() const { return numericCharacters.size() > 0 ? numericCharacters[0] : '.'; }
    char groupCharacter() const { return numericCharacters.size() > 1 ? numericCharacters[1] : ','; }
};

// Sets the territory and the settings that follow from it, as ALTER SESSION SET NLS_TERRITORY
// does: date format, numeric characters and currency (AMERICA and JAPAN known; others keep the
// AMERICA defaults). territory is upper case.
void applyTerritory(NlsSettings &nls, const std::string &territory);

class Sequences;

struct SessionContext {
    NlsSettings nls;

    // The session's sequence numbers, for NEXTVAL and CURRVAL (none in a bare function test).
    Sequences *sequences = nullptr;

    std::string sessionUser = "SYSTEM";  // USER, SYS_CONTEXT('USERENV','SESSION_USER'), upper case
    std::string currentSchema = "SYSTEM";  // changed by ALTER SESSION SET CURRENT_SCHEMA
    std::int64_t userId = 0;               // UID
    std::int64_t schemaId = 0;
    std::int64_t sessionId = 0;            // USERENV('SESSIONID'), SYS_CONTEXT ... 'SID'
    bool isDba = false;

    // Character set the database counts bytes in (LENGTHB, SUBSTRB, INSTRB, ASCII, CHR,
    // RAWTOHEX of text): "JA16SJIS" (code page 932) or "AL32UTF8" (the stored UTF-8 itself).
    std::string characterSet = "JA16SJIS";
    std::string databaseName = "KESTRIM";
    std::string hostName;     // client machine (SYS_CONTEXT 'HOST', 'SERVER_HOST')
    std::string osUser;       // SYS_CONTEXT 'OS_USER'
    std::string terminal;     // USERENV('TERMINAL')
    std::string clientInfo;   // DBMS_APPLICATION_INFO values, empty when not set
    std::string module;
    std::string action;
    std::string clientIdentifier;

    // SYSDATE: read once when a statement starts so that every reference in it agrees.
    DateTime statementTime;
    int statementNanos = 0;  // fraction of statementTime's second, for SYSTIMESTAMP

    // Reads the local clock into statementTime; the engine calls it at the start of each statement.
    void startStatement();
};

// The local date and time now, to the second.
DateTime currentLocalDateTime();

}  // namespace localdb
