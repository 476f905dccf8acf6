// The SET options the client keeps and SHOW reports. Options that only shape printed reports
// elsewhere (NEWPAGE, TRIMSPOOL, TERMOUT ...) are accepted with a note so that scripts written
// for Oracle's command-line tools run unchanged.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace localdb::client {

// What COLUMN sets for the results' columns of one name.
struct ColumnFormat {
    std::optional<int> width;            // FORMAT An: the width of a text or date column
    std::optional<std::string> heading;  // HEADING text
};

struct ClientSettings {
    bool echo = false;
    int feedback = 6;        // 0 = OFF; queries report their row count from this many rows on
    bool heading = true;
    int pageSize = 14;       // 0: no headings, no page breaks
    int lineSize = 80;
    bool defineEnabled = true;
    char defineChar = '&';
    bool verify = true;
    bool serverOutput = false;
    // DBMS_OUTPUT's buffer in bytes (SET SERVEROUTPUT ON SIZE n); 0 for UNLIMITED.
    int serverOutputSize = 0;
    // How lines wider than LINESIZE print: at word boundaries (their leading blanks dropped),
    // cut at the line's width onto further lines, or cut off.
    enum class OutputFormat { WordWrapped, Wrapped, Truncated };
    OutputFormat serverOutputFormat = OutputFormat::WordWrapped;
    bool markupCsv = false;
    char csvDelimiter = ',';
    bool csvQuote = true;
    int numWidth = 10;
    int longWidth = 80;      // characters shown of LONG and CLOB values
    std::string nullText;    // shown for NULL
    std::string colSep = " ";
    bool wrap = true;
    bool autoCommit = false;
    bool autoPrint = false;  // bind variables a block or EXEC used are printed after it
    bool sqlBlankLines = false;
    bool timing = false;
    bool termOut = true;     // OFF hides the output of scripts (a spool file still gets it)
    std::string sqlPrompt = "SQL> ";
    std::map<std::string, ColumnFormat> columns;  // by upper-case column name
};


// What a SET command did: an error stops it, notes are printed and the command goes on.
struct SetOutcome {
    std::string error;                // empty when the command was accepted
    std::vector<std::string> notes;   // options accepted without effect
};

// Applies "SET option value [option value ...]" (the arguments after SET).
SetOutcome applySet(ClientSettings &settings, const std::string &arguments);

// Applies "COLUMN name [FORMAT An] [HEADING text] [CLEAR]" (the arguments after COLUMN).
// Number formats are accepted with a note.
SetOutcome applyColumn(ClientSettings &settings, const std::string &arguments);

// The text SHOW gives for one option ("linesize 80", "feedback ON for 6 or more rows"); an empty
// text when the option is unknown.
std::string showSetting(const ClientSettings &settings, const std::string &option);

}  // namespace localdb::client
