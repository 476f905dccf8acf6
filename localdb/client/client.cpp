// Reading input and running statements. Every statement's failure is caught here, once, and
// printed; nothing the engine throws ends the client unless WHENEVER SQLERROR asks for it.
#include "localdb/client/client.h"

#include "localdb/client/feedback.h"
#include "localdb/client/interrupt_watch.h"
#include "localdb/client/logon.h"
#include "localdb/client/result_formatter.h"
#include "localdb/client/server_output.h"
#include "localdb/client/terminal.h"
#include "localdb/client/text_width.h"
#include "localdb/functions/session_context.h"

#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace localdb::client {
namespace {

std::string joinLines(const std::vector<std::string> &lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += lines[i];
    }
    return text;
}

std::string continuationPrompt(int lineNumber) {
    char text[16];
    std::snprintf(text, sizeof text, "%3d  ", lineNumber);
    return text;
}

std::string elapsedText(std::chrono::steady_clock::duration elapsed) {
    const long long centis = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 10;
    char text[48];
    std::snprintf(text, sizeof text, "Elapsed: %02lld:%02lld:%02lld.%02lld", centis / 360000, centis / 6000 % 60,
                  centis / 100 % 60, centis % 100);
    return text;
}

}  // namespace

Client::Client(ClientOptions options, Output &out) : options_(options), out_(out) {}

Client::~Client() = default;

bool Client::connect(const std::string &logon, bool announce) {
    std::optional<LogonParts> parts = parseLogon(logon);
    if (!parts) {
        out_.line("usage: CONNECT user/password@host");
        return false;
    }
    if (!parts->password) {
        parts->password = readPassword("Enter password: ");
        if (!parts->password)
            parts->password = std::string();
    }
    const std::string host = !parts->host.empty() ? parts->host : !lastHost_.empty() ? lastHost_ : "demo";
    try {
        session_ = Session::open(host, parts->user, *parts->password);
        // The client keeps work open until COMMIT, ROLLBACK, DDL or EXIT, as Oracle's clients do.
        session_->beginTransaction();
    } catch (const std::exception &e) {
        session_.reset();
        for (const std::string &line : plainErrorReport(e.what()))
            out_.line(line);
        out_.line("");
        return false;
    }
    lastHost_ = host;
    if (settings_.serverOutput)
        switchServerOutput();
    variables_.define("_USER", session_->user());
    variables_.define("_CONNECT_IDENTIFIER", host);
    refreshDateDisplay();
    if (announce)
        out_.line("Connected.");
    return true;
}

void Client::refreshDateDisplay() {
    dates_ = DateDisplay();
    if (session_) {
        try {
            auto cursor = session_->query("SELECT SYS_CONTEXT('USERENV', 'NLS_DATE_FORMAT'), "
                                          "SYS_CONTEXT('USERENV', 'NLS_DATE_LANGUAGE') FROM dual");
            if (cursor->next()) {
                if (auto *format = std::get_if<std::string>(&cursor->value(0)))
                    dates_.format = *format;
                if (auto *language = std::get_if<std::string>(&cursor->value(1)))
                    dates_.settings.language = functions::dateLanguageFor(*language);
            }
        } catch (const std::exception &) {
            // The default format stands.
        }
    }
    dates_.settings.now = currentLocalDateTime();
    try {
        dates_.model = functions::parseDateFormatModel(dates_.format);
    } catch (const std::exception &) {
        // Each date then reports the format's fault as it is printed.
    }
    // The widest text the format gives: long month and day names, two-digit fields.
    dateWidth_ = 1;
    for (const DateTime &sample : {DateTime{2000, 9, 27, 23, 59, 59}, DateTime{2000, 12, 31, 12, 0, 0},
                                   DateTime{2000, 2, 23, 20, 30, 30}}) {
        if (auto text = valueText(Value(sample), dates_))
            dateWidth_ = std::max(dateWidth_, displayWidth(*text));
    }
}

void Client::runStandardInput() {
    Source source;
    source.file = stdin;
    source.interactive = true;
    // Only a person at a terminal edits lines; piped input and scripts are read as they come.
    struct sigaction previous {};
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
        lineEditor_ = std::make_unique<LineEditor>(LineEditor::defaultHistoryFile());
        // A Ctrl+C between a call and the next prompt (while results print) must not end the
        // program; the prompt and the calls have handlers of their own.
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGINT, &ignore, &previous);
    }
    runSource(source);
    if (lineEditor_)
        sigaction(SIGINT, &previous, nullptr);
    lineEditor_.reset();
}

std::optional<std::string> Client::askLine(const std::string &prompt) {
    if (lineEditor_) {
        LineEditor::Typed typed = lineEditor_->readLine(prompt, false);
        if (typed.kind == LineEditor::Typed::Discarded)
            throw AnswerDiscarded{};
        if (typed.kind == LineEditor::Typed::End)
            return std::nullopt;
        return typed.text;
    }
    out_.prompt(prompt);
    return readLine(stdin);
}

void Client::runSource(Source &source) {
    StatementSplitter splitter;
    bool firstLine = true;
    while (!exitRequested_) {
        splitter.setBlankLinesAllowed(settings_.sqlBlankLines);
        const std::string prompt = source.interactive && !options_.silent
                                       ? (splitter.pending() ? continuationPrompt(splitter.pendingLines() + 1)
                                                             : settings_.sqlPrompt)
                                       : std::string();
        std::optional<std::string> line;
        if (source.interactive && lineEditor_) {
            LineEditor::Typed typed = lineEditor_->readLine(prompt, false);
            if (typed.kind == LineEditor::Typed::Discarded) {
                // Ctrl+C throws away the statement being typed, all of its lines.
                splitter = StatementSplitter();
                continue;
            }
            if (typed.kind == LineEditor::Typed::Line) {
                // A password typed in a CONNECT line stays out of the history file.
                const std::optional<RecognisedCommand> command = recogniseCommand(typed.text);
                if (!command || command->id != CommandId::Connect ||
                    command->arguments.find('/') == std::string::npos)
                    lineEditor_->remember(typed.text);
                line = std::move(typed.text);
            }
        } else {
            if (!prompt.empty())
                out_.prompt(prompt);
            line = readLine(source.file);
        }
        if (!line)
            break;
        // Editors on other systems start UTF-8 files with a byte order mark; it is not SQL.
        if (firstLine && line->rfind("\xEF\xBB\xBF", 0) == 0)
            line->erase(0, 3);
        firstLine = false;
        if (!line->empty() && line->back() == '\r')
            line->pop_back();
        out_.setTerminalSuppressed(!settings_.termOut && scriptDepth_ > 0);
        if (!source.interactive && settings_.echo) {
            const std::string prefix = options_.silent ? ""
                                       : splitter.pending() ? continuationPrompt(splitter.pendingLines() + 1)
                                                            : settings_.sqlPrompt;
            out_.line(prefix + *line);
        }
        if (std::optional<InputUnit> unit = splitter.feed(*line))
            dispatch(*unit, source);
    }
    if (!exitRequested_)
        if (std::optional<InputUnit> unit = splitter.finish())
            dispatch(*unit, source);
    if (source.interactive && !options_.silent && !exitRequested_)
        out_.prompt("\n");
}

void Client::dispatch(const InputUnit &unit, Source &source) {
    out_.setTerminalSuppressed(!settings_.termOut && scriptDepth_ > 0);
    try {
        dispatchUnit(unit, source);
    } catch (const AnswerDiscarded &) {
        // Ctrl+C at a question (a substitution value, a user name): the statement is dropped.
    }
    out_.flush();
}

void Client::dispatchUnit(const InputUnit &unit, Source &source) {
    switch (unit.kind) {
    case InputUnit::Statement:
        if (unit.lines.empty())
            return;
        buffer_ = unit.lines;
        runBuffer();
        break;
    case InputUnit::Abandoned:
        if (!unit.lines.empty()) {
            buffer_ = unit.lines;
        }
        break;
    case InputUnit::RunBuffer:
        if (buffer_.empty())
            commandFailed("nothing in the statement buffer to run.");
        else
            runBuffer();
        break;
    case InputUnit::Command:
        runCommand(unit.lines.empty() ? std::string() : unit.lines.front(), source);
        break;
    }
}

std::string Client::substituteLine(const std::string &line) {
    if (!settings_.defineEnabled || line.find(settings_.defineChar) == std::string::npos)
        return line;
    return variables_.substitute(line, settings_.defineChar, [this](const std::string &name) {
        std::optional<std::string> value = askLine("Enter value for " + name + ": ");
        if (value && !value->empty() && value->back() == '\r')
            value->pop_back();
        return value;
    });
}

std::vector<std::string> Client::substituteStatement(const std::vector<std::string> &lines) {
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (const std::string &line : lines)
        out.push_back(substituteLine(line));
    if (settings_.verify)
        for (const std::string &line : verifyLines(lines, out))
            out_.line(line);
    return out;
}

void Client::runBuffer() {
    const std::vector<std::string> lines = substituteStatement(buffer_);
    runSql(lines);
}

bool Client::runSql(const std::vector<std::string> &lines) {
    if (!session_) {
        out_.line("Not connected.");
        anyFailure_ = true;
        applyWhenever(sqlError_, 1);
        return false;
    }
    const auto started = std::chrono::steady_clock::now();
    std::string command;
    bool ok = true;
    try {
        const std::string sql = joinLines(lines);
        std::vector<std::string> undeclared;
        std::vector<Bind> binds = binds_.bindsFor(sql, undeclared);
        if (!undeclared.empty()) {
            // The statement does not run: its binds would be missing.
            for (const std::string &name : undeclared)
                commandFailed("Bind variable \"" + name + "\" not declared.");
            return false;
        }
        InterruptWatch interrupt(*session_);
        StatementResult result = session_->execute(sql, binds.empty() ? nullptr : &binds);
        command = result.command;
        // A value that does not fit its variable fails the call, as the assignment would in PL/SQL.
        if (const std::string error = binds_.takeBack(binds, dates_); !error.empty())
            throw Error(6502, error + (command == "PL/SQL EXECUTE" ? "\nORA-06512: at line 1" : ""));
        if (result.cursor) {
            // Functions in the query write while its rows are fetched: their lines follow the rows.
            printQuery(*result.cursor, interrupt);
            printServerOutput();
        } else {
            printServerOutput();
            afterStatement(command);
            const std::string message = completionAfterCreate(sql, command, result.rowsAffected);
            if (!message.empty() && (settings_.feedback > 0 || message.rfind("Warning", 0) == 0)) {
                out_.line("");
                out_.line(message);
                out_.line("");
            }
            const bool changesData = command == "INSERT" || command == "UPDATE" || command == "DELETE" ||
                                     command == "MERGE" || command == "PL/SQL EXECUTE" || command == "CALL";
            if (settings_.autoCommit && changesData) {
                session_->execute("COMMIT");
                if (settings_.feedback > 0) {
                    out_.line("Commit complete.");
                    out_.line("");
                }
            }
            if (settings_.autoPrint && (command == "PL/SQL EXECUTE" || command == "CALL")) {
                std::vector<std::string> used;
                for (const Bind &b : binds)
                    used.push_back(b.name);
                printBindVariables(used);
            }
        }
    } catch (const Error &e) {
        printServerOutput();
        startLineAfterInterrupt(e);
        if (e.code() == 24344) {
            // A unit that does not compile is still created: report it as created with errors.
            const std::string message = completionAfterCreate(joinLines(lines), "CREATE ", 0);
            if (message.rfind("Warning", 0) == 0) {
                out_.line("");
                out_.line(message);
                out_.line("");
                return false;
            }
        }
        const int position = e.position() >= 0 ? e.position() : plsqlErrorPosition(lines, e.what());
        for (const std::string &line : errorReport(lines, position, e.what()))
            out_.line(line);
        out_.line("");
        out_.line("");
        ok = false;
        sqlFailed(e.code());
    } catch (const std::exception &e) {
        for (const std::string &line : plainErrorReport(e.what()))
            out_.line(line);
        out_.line("");
        ok = false;
        sqlFailed(1);
    }
    if (settings_.timing && !exitRequested_)
        out_.line(elapsedText(std::chrono::steady_clock::now() - started));
    return ok;
}

std::string Client::completionAfterCreate(const std::string &sql, const std::string &command, std::int64_t rows) {
    if (command.rfind("CREATE ", 0) == 0 || command.rfind("ALTER ", 0) == 0) {
        if (std::optional<PlsqlUnit> unit = createdPlsqlUnit(sql)) {
            lastUnit_ = unit;
            // A unit that does not compile is still created; the dictionary holds its errors.
            std::vector<CompileError> errors;
            try {
                errors = readCompileErrors(*session_, *unit);
            } catch (const std::exception &) {
            }
            if (!errors.empty()) {
                anyFailure_ = true;
                return "Warning: " + unitTypeWords(unit->type) + " created with compilation errors.";
            }
        }
    }
    return completionMessage(command, rows);
}

void Client::afterStatement(const std::string &command) {
    if (command == "ALTER SESSION")
        refreshDateDisplay();
}

void Client::printQuery(Cursor &cursor, const InterruptWatch &interrupt, bool summary) {
    const std::vector<Column> &columns = cursor.columns();
    // One row's texts, written over the previous row's so that their storage is reused.
    std::vector<char> binaryKinds(columns.size(), 0);  // 'F' BINARY_FLOAT, 'D' BINARY_DOUBLE
    for (size_t c = 0; c < columns.size(); ++c)
        if (isBinaryNumberColumn(columns[c]))
            binaryKinds[c] = columns[c].oracleType == "BINARY_FLOAT" ? 'F' : 'D';
    auto readRowInto = [&](Cells &cells) {
        cells.resize(columns.size());
        for (size_t c = 0; c < columns.size(); ++c) {
            const Value &value = cursor.value(static_cast<int>(c));
            if (binaryKinds[c] && (value.index() == 1 || value.index() == 2)) {
                const double number = value.index() == 1 ? double(std::get<std::int64_t>(value)) : std::get<double>(value);
                cells[c] = binaryNumberText(number, binaryKinds[c] == 'F');
                continue;
            }
            assignValueText(cells[c], value, dates_);
        }
    };
    auto readRow = [&] {
        Cells cells;
        readRowInto(cells);
        return cells;
    };
    auto nextRow = [&] {
        if (interrupt.requested())
            throw Error(1013, "ORA-01013: user requested cancel of current operation");
        return cursor.next();
    };
    std::vector<Cells> sample;
    std::optional<Error> fetchError;
    const size_t wanted = sampleRows(settings_);
    bool more = true;
    try {
        while (sample.size() < wanted && (more = nextRow()))
            sample.push_back(readRow());
    } catch (const Error &e) {
        fetchError = e;
    }
    ResultFormatter formatter(layoutColumns(columns, sample, settings_, dateWidth_), settings_);
    PagedPrinter printer(formatter, settings_, [this](const std::string &line) { out_.line(line); });
    for (const Cells &row : sample)
        printer.addRow(row);
    sample.clear();
    if (!fetchError && more) {
        try {
            Cells row;
            while (nextRow()) {
                readRowInto(row);
                printer.addRow(row);
            }
        } catch (const Error &e) {
            fetchError = e;
        }
    }
    const long long rows = printer.finish();
    if (fetchError) {
        startLineAfterInterrupt(*fetchError);
        // Rows fetched before the failure stay on the screen; the error follows them.
        for (const std::string &line : plainErrorReport(fetchError->what()))
            out_.line(line);
        out_.line("");
        out_.line("");
        sqlFailed(fetchError->code());
        return;
    }
    const std::string rowCount = summary ? querySummary(rows, settings_.feedback) : std::string();
    if (!rowCount.empty()) {
        if (rows == 0 || settings_.markupCsv)
            out_.line("");
        out_.line(rowCount);
        out_.line("");
    }
}

void Client::startLineAfterInterrupt(const Error &e) {
    // The terminal echoed ^C after the statement; the error starts on a line of its own.
    if (e.code() == 1013 && isatty(STDOUT_FILENO))
        out_.prompt("\n");
}

void Client::printServerOutput() {
    if (!session_)
        return;
    std::vector<std::string> lines = session_->takeOutput();
    if (!settings_.serverOutput)
        return;
    for (const std::string &line : lines)
        for (const std::string &piece : serverOutputLines(line, settings_))
            out_.line(piece);
}

void Client::switchServerOutput() {
    if (!session_)
        return;
    try {
        const std::string size =
            settings_.serverOutputSize == 0 ? std::string("NULL") : std::to_string(settings_.serverOutputSize);
        session_->execute(settings_.serverOutput ? "BEGIN DBMS_OUTPUT.ENABLE(" + size + "); END;"
                                                 : "BEGIN DBMS_OUTPUT.DISABLE; END;");
    } catch (const std::exception &e) {
        for (const std::string &line : plainErrorReport(e.what()))
            out_.line(line);
    }
}

void Client::sqlFailed(int code) {
    anyFailure_ = true;
    lastSqlCode_ = code;
    applyWhenever(sqlError_, code);
}

void Client::commandFailed(const std::string &message) {
    out_.line(message);
    anyFailure_ = true;
}

void Client::applyWhenever(const WheneverRule &rule, int sqlCode) {
    if (rule.action == ErrorAction::Continue) {
        // CONTINUE leaves the work open unless COMMIT or ROLLBACK was asked for.
        if (session_ && rule.transaction != "NONE") {
            try {
                session_->execute(rule.transaction);
            } catch (const std::exception &e) {
                for (const std::string &line : plainErrorReport(e.what()))
                    out_.line(line);
            }
        }
        return;
    }
    requestExit(exitStatusFor(rule.exitCode, sqlCode).value_or(1), rule.transaction);
}

void Client::requestExit(int status, const std::string &transaction) {
    exitRequested_ = true;
    exitStatus_ = status;
    if (!session_)
        return;
    try {
        if (transaction == "ROLLBACK")
            session_->rollback();
        else if (transaction == "COMMIT")
            session_->commit();
    } catch (const std::exception &e) {
        for (const std::string &line : plainErrorReport(e.what()))
            out_.line(line);
        if (exitStatus_ == 0)
            exitStatus_ = 1;
    }
}

void Client::disconnect(bool commitFirst) {
    if (!session_)
        return;
    if (commitFirst) {
        try {
            session_->commit();
        } catch (const std::exception &e) {
            for (const std::string &line : plainErrorReport(e.what()))
                out_.line(line);
            anyFailure_ = true;
        }
    }
    session_.reset();
}

int Client::finish() {
    if (!exitRequested_) {
        // Input ended without EXIT: the work is committed as EXIT would, and the status tells
        // whether anything failed on the way.
        requestExit(anyFailure_ ? 1 : 0, "COMMIT");
    }
    if (session_ && !options_.silent)
        out_.line("Disconnected from the Kestrim embedded database");
    session_.reset();
    out_.flush();
    return exitStatus_;
}

std::optional<int> exitStatusFor(const std::string &typed, int lastSqlCode) {
    const std::string word = upperAscii(typed);
    if (word.empty() || word == "SUCCESS")
        return 0;
    if (word == "FAILURE")
        return 1;
    if (word == "WARNING")
        return 2;
    if (word == "SQL.SQLCODE") {
        if (lastSqlCode == 0)
            return 0;
        const int status = lastSqlCode & 0xFF;
        // ORA-00256, ORA-01792 ... would read as success once the system keeps the low byte.
        return status == 0 ? 1 : status;
    }
    if (word == "OSCODE")
        return 1;
    size_t used = 0;
    try {
        const long long n = std::stoll(word, &used);
        if (used == word.size())
            return static_cast<int>(n & 0xFF);
    } catch (const std::exception &) {
    }
    return std::nullopt;
}

}  // namespace localdb::client
