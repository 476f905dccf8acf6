// The client session: reads lines from the terminal or from scripts, cuts them into units,
// runs statements on the engine and prints their results, feedback and errors, and carries out
// the client's own commands. One Client lives for one run of kestrim-sql.
#pragma once

#include "localdb/client/bind_variables.h"
#include "localdb/client/client_settings.h"
#include "localdb/client/interrupt_watch.h"
#include "localdb/client/line_editor.h"
#include "localdb/client/output.h"
#include "localdb/client/plsql_errors.h"
#include "localdb/client/statement_splitter.h"
#include "localdb/client/substitution.h"
#include "localdb/client/value_text.h"
#include "localdb/localdb.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace localdb::client {

struct ClientOptions {
    bool silent = false;  // no banner, no prompts
};

class Client {
public:
    Client(ClientOptions options, Output &out);
    ~Client();

    // Logs on with "user/password@host"; prints "Connected." when announce is set, or the error.
    bool connect(const std::string &logon, bool announce);
    bool connected() const { return session_ != nullptr; }

    // Runs a script as "@path arguments" does, then returns (unless it asked to exit).
    void runScript(const std::string &path, const std::vector<std::string> &arguments);
    // Reads from standard input until EXIT or its end.
    void runStandardInput();

    bool exitRequested() const { return exitRequested_; }
    // Ends the run as EXIT does when input simply ends; returns the process exit status.
    int finish();

private:
    struct Source {
        std::FILE *file = nullptr;
        std::string directory;  // where "@@" looks for scripts; empty for the working folder
        bool interactive = false;
    };
    enum class ErrorAction { Continue, Exit };
    struct WheneverRule {
        ErrorAction action = ErrorAction::Continue;
        std::string exitCode = "FAILURE";  // SUCCESS, FAILURE, WARNING, SQL.SQLCODE or a number
        std::string transaction = "NONE";  // COMMIT, ROLLBACK or NONE
    };

    void runSource(Source &source);
    // A line the user answers a question with (a substitution value, a user name); Ctrl+C at
    // the question throws AnswerDiscarded, which drops the statement that asked.
    struct AnswerDiscarded {};
    std::optional<std::string> askLine(const std::string &prompt);
    void dispatch(const InputUnit &unit, Source &source);
    void dispatchUnit(const InputUnit &unit, Source &source);
    void runCommand(const std::string &line, Source &source);
    void runBuffer();
    bool runSql(const std::vector<std::string> &lines);
    // summary false leaves out the row count (PRINT shows a value, not a query).
    void printQuery(Cursor &cursor, const InterruptWatch &interrupt, bool summary = true);
    void printServerOutput();
    void startLineAfterInterrupt(const Error &e);
    // The engine keeps DBMS_OUTPUT lines only while its buffer is enabled, so SET SERVEROUTPUT
    // enables or disables it in the session as well.
    void switchServerOutput();
    void afterStatement(const std::string &command);
    void refreshDateDisplay();
    std::string substituteLine(const std::string &line);
    std::vector<std::string> substituteStatement(const std::vector<std::string> &lines);

    void sqlFailed(int code);
    void commandFailed(const std::string &message);
    void applyWhenever(const WheneverRule &rule, int sqlCode);
    void requestExit(int status, const std::string &transaction);
    void disconnect(bool commitFirst);

    void commandScript(const std::string &arguments, const std::string &directory);
    void commandShow(const std::string &arguments);
    void showErrors(const std::string &arguments);
    std::string completionAfterCreate(const std::string &sql, const std::string &command, std::int64_t rows);
    void commandDescribe(const std::string &arguments);
    void commandDefine(const std::string &arguments);
    void commandUndefine(const std::string &arguments);
    void commandSpool(const std::string &arguments);
    void commandConnect(const std::string &arguments);
    void commandExit(const std::string &arguments);
    void commandWhenever(const std::string &arguments);
    void commandVariable(const std::string &arguments);
    void commandPrint(const std::string &arguments);
    // names as PRINT takes them (":n" or n).
    void printBindVariables(const std::vector<std::string> &names);
    void listBuffer();

    ClientOptions options_;
    Output &out_;
    ClientSettings settings_;
    SubstitutionVariables variables_;
    BindVariables binds_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<LineEditor> lineEditor_;  // standard input and output are a terminal
    std::string lastHost_;
    DateDisplay dates_;
    int dateWidth_ = 9;

    std::optional<PlsqlUnit> lastUnit_;  // the PL/SQL unit created last, for SHOW ERRORS
    std::vector<std::string> buffer_;  // the last SQL statement or PL/SQL block

    WheneverRule sqlError_;
    WheneverRule osError_;
    int scriptDepth_ = 0;
    bool anyFailure_ = false;
    int lastSqlCode_ = 0;  // of the last failed statement, for EXIT SQL.SQLCODE
    bool exitRequested_ = false;
    int exitStatus_ = 0;
};

// Splits "@" arguments into words; double or single quotes keep blanks in one word.
std::vector<std::string> scriptArguments(const std::string &text);

// The exit status EXIT or WHENEVER ... EXIT asks for: SUCCESS 0, FAILURE 1, WARNING 2, a number
// (kept to 0..255 as the system keeps it), SQL.SQLCODE the last error's code (never 0 when
// there was an error, so that a failure cannot read as success). nullopt for other words.
std::optional<int> exitStatusFor(const std::string &word, int lastSqlCode);

}  // namespace localdb::client
