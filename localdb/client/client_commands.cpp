// The client's own commands. They act on the client and its settings and never reach the
// database, except DESCRIBE and SHOW ERRORS, which read the dictionary.
#include "localdb/client/client.h"

#include "localdb/client/command_names.h"
#include "localdb/client/describe.h"
#include "localdb/client/feedback.h"
#include "localdb/client/terminal.h"
#include "localdb/client/text_width.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace localdb::client {
namespace {

// Scripts may call scripts, but a script that calls itself must not exhaust the stack.
constexpr int kMaxScriptDepth = 20;

// Whether a file name has an extension ("x.sql", not "dir.d/x").
bool hasExtension(const std::string &path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash) && dot + 1 < path.size();
}

std::string withoutTerminator(std::string text) {
    while (!text.empty() && (text.back() == ';' || text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

std::string unquoted(std::string_view text) {
    text = trimmed(text);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        return std::string(text.substr(1, text.size() - 2));
    return std::string(text);
}

}  // namespace

std::vector<std::string> scriptArguments(const std::string &text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        std::string word;
        if (c == '"' || c == '\'') {
            size_t j = i + 1;
            while (j < text.size() && text[j] != c)
                word += text[j++];
            i = j + 1;
        } else {
            size_t j = i;
            while (j < text.size() && text[j] != ' ' && text[j] != '\t')
                word += text[j++];
            i = j;
        }
        words.push_back(word);
    }
    return words;
}

void Client::runCommand(const std::string &rawLine, Source &source) {
    std::optional<RecognisedCommand> raw = recogniseCommand(rawLine);
    if (!raw || raw->id == CommandId::Remark)
        return;
    std::optional<RecognisedCommand> command = recogniseCommand(substituteLine(rawLine));
    if (!command || command->id != raw->id)
        command = raw;
    const std::string &args = command->arguments;
    const std::string plain = withoutTerminator(args);
    switch (command->id) {
    case CommandId::RunScript:
        commandScript(args, std::string());
        break;
    case CommandId::RunRelativeScript:
        commandScript(args, source.directory);
        break;
    case CommandId::Remark:
        break;
    case CommandId::Prompt:
        out_.line(args);
        break;
    case CommandId::Set: {
        const bool serverOutputBefore = settings_.serverOutput;
        const int sizeBefore = settings_.serverOutputSize;
        SetOutcome outcome = applySet(settings_, args);
        if (settings_.serverOutput != serverOutputBefore || settings_.serverOutputSize != sizeBefore)
            switchServerOutput();
        for (const std::string &note : outcome.notes)
            out_.note(note);
        if (!outcome.error.empty())
            commandFailed(outcome.error);
        break;
    }
    case CommandId::Show:
        commandShow(plain);
        break;
    case CommandId::Describe:
        commandDescribe(plain);
        break;
    case CommandId::Define:
        commandDefine(args);
        break;
    case CommandId::Undefine:
        commandUndefine(plain);
        break;
    case CommandId::Spool:
        commandSpool(plain);
        break;
    case CommandId::Connect:
        commandConnect(plain);
        break;
    case CommandId::Disconnect:
        if (session_) {
            disconnect(true);
            if (!options_.silent)
                out_.line("Disconnected from the Kestrim embedded database");
        }
        break;
    case CommandId::Exit:
        commandExit(plain);
        break;
    case CommandId::Whenever:
        commandWhenever(plain);
        break;
    case CommandId::Execute:
        if (plain.empty())
            commandFailed("usage: EXECUTE statement");
        else
            runSql({"BEGIN " + plain + "; END;"});
        break;
    case CommandId::Host:
        out_.note("HOST is not available in kestrim-sql; the command was ignored.");
        break;
    case CommandId::Run:
        listBuffer();
        if (!buffer_.empty())
            runBuffer();
        break;
    case CommandId::List:
        listBuffer();
        break;
    case CommandId::Column:
        if (plain.empty()) {
            out_.note("COLUMN without a name lists nothing here.");
        } else {
            SetOutcome outcome = applyColumn(settings_, args);
            for (const std::string &note : outcome.notes)
                out_.note(note);
            if (!outcome.error.empty())
                commandFailed(outcome.error);
        }
        break;
    case CommandId::Clear:
        // CLEAR COLUMNS forgets the column formats; SCREEN, BREAKS, COMPUTES ... have nothing to clear.
        if (upperAscii(plain).rfind("COL", 0) == 0)
            settings_.columns.clear();
        break;
    case CommandId::Variable:
        commandVariable(args);
        break;
    case CommandId::Print:
        commandPrint(plain);
        break;
    case CommandId::Ignored:
        out_.note(command->word + " is not supported and was ignored.");
        break;
    }
}

void Client::listBuffer() {
    if (buffer_.empty()) {
        commandFailed("nothing in the statement buffer.");
        return;
    }
    for (size_t i = 0; i < buffer_.size(); ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%3zu%c ", i + 1, i + 1 == buffer_.size() ? '*' : ' ');
        out_.line(number + buffer_[i]);
    }
}

void Client::commandScript(const std::string &arguments, const std::string &directory) {
    std::vector<std::string> words = scriptArguments(arguments);
    if (words.empty() || words[0].empty()) {
        commandFailed("usage: @ file [arguments]");
        return;
    }
    std::string path = words[0];
    if (!hasExtension(path))
        path += ".sql";
    if (!directory.empty() && !path.empty() && path.front() != '/')
        path = directory + "/" + path;
    words.erase(words.begin());
    runScript(path, words);
}

void Client::runScript(const std::string &path, const std::vector<std::string> &arguments) {
    if (scriptDepth_ >= kMaxScriptDepth) {
        commandFailed("scripts nested more than " + std::to_string(kMaxScriptDepth) + " deep; \"" + path +
                      "\" was not run.");
        applyWhenever(osError_, 0);
        return;
    }
    std::error_code ignored;
    const bool directory = std::filesystem::is_directory(path, ignored);
    std::FILE *file = directory ? nullptr : std::fopen(path.c_str(), "r");
    if (!file) {
        commandFailed("unable to open file \"" + path + "\": " + std::strerror(directory ? EISDIR : errno));
        applyWhenever(osError_, 0);
        return;
    }
    for (size_t i = 0; i < arguments.size(); ++i)
        variables_.define(std::to_string(i + 1), arguments[i]);
    Source source;
    source.file = file;
    source.directory = std::filesystem::path(path).parent_path().string();
    ++scriptDepth_;
    runSource(source);
    --scriptDepth_;
    std::fclose(file);
    out_.setTerminalSuppressed(!settings_.termOut && scriptDepth_ > 0);
}

void Client::commandShow(const std::string &arguments) {
    const std::string what = upperAscii(arguments);
    if (what.empty()) {
        commandFailed("usage: SHOW option");
    } else if (what == "USER") {
        out_.line("USER is \"" + (session_ ? session_->user() : std::string()) + "\"");
    } else if (what.rfind("SPO", 0) == 0 && std::string("SPOOL").rfind(what, 0) == 0) {
        out_.line(out_.spoolPath().empty() ? "not spooling currently" : "currently spooling to " + out_.spoolPath());
    } else if (what == "ALL") {
        for (const char *option : {"AUTOCOMMIT", "AUTOPRINT", "COLSEP", "DEFINE", "ECHO", "FEEDBACK", "HEADING", "LINESIZE", "LONG",
                                   "MARKUP", "NULL", "NUMWIDTH", "PAGESIZE", "SERVEROUTPUT", "SQLBLANKLINES",
                                   "SQLPROMPT", "TERMOUT", "TIMING", "VERIFY", "WRAP"})
            out_.line(showSetting(settings_, option));
        out_.line("USER is \"" + (session_ ? session_->user() : std::string()) + "\"");
    } else if (what.rfind("ERR", 0) == 0) {
        const size_t blank = arguments.find_first_of(" \t");
        showErrors(blank == std::string::npos ? std::string() : arguments.substr(blank + 1));
    } else {
        const std::string text = showSetting(settings_, what);
        if (text.empty())
            commandFailed("unknown SHOW option \"" + arguments + "\"");
        else
            out_.line(text);
    }
}

void Client::showErrors(const std::string &arguments) {
    std::optional<PlsqlUnit> unit = trimmed(arguments).empty() ? lastUnit_ : namedPlsqlUnit(arguments);
    if (!trimmed(arguments).empty() && !unit) {
        commandFailed("usage: SHOW ERRORS [{FUNCTION | PROCEDURE | PACKAGE | PACKAGE BODY | TRIGGER | TYPE | "
                      "TYPE BODY} [schema.]name]");
        return;
    }
    if (!unit || !session_) {
        out_.line("No errors.");
        return;
    }
    try {
        const std::vector<CompileError> errors = readCompileErrors(*session_, *unit);
        if (errors.empty()) {
            out_.line("No errors.");
            return;
        }
        for (const std::string &line : errorListing(*unit, errors))
            out_.line(line);
        out_.line("");
    } catch (const std::exception &e) {
        for (const std::string &line : plainErrorReport(e.what()))
            out_.line(line);
        anyFailure_ = true;
    }
}

void Client::commandDescribe(const std::string &arguments) {
    if (arguments.empty()) {
        commandFailed("usage: DESCRIBE [schema.]object");
        return;
    }
    if (!session_) {
        commandFailed("Not connected.");
        return;
    }
    try {
        for (const std::string &line : describe(*session_, arguments))
            out_.line(line);
        out_.line("");
    } catch (const std::exception &e) {
        for (const std::string &line : plainErrorReport(e.what()))
            out_.line(line);
        out_.line("");
        out_.line("");
        anyFailure_ = true;
    }
}

void Client::commandDefine(const std::string &arguments) {
    const std::string text = withoutTerminator(arguments);
    auto show = [this](const std::string &name, const std::string &value) {
        out_.line("DEFINE " + padRight(name, 15) + " = \"" + value + "\" (CHAR)");
    };
    if (text.empty()) {
        for (const auto &[name, value] : variables_.all())
            show(name, value);
        return;
    }
    const size_t equals = text.find('=');
    if (equals == std::string::npos) {
        const std::string name(trimmed(text));
        if (auto value = variables_.value(name))
            show(upperAscii(name), *value);
        else
            commandFailed("symbol " + name + " is UNDEFINED");
        return;
    }
    const std::string name(trimmed(std::string_view(text).substr(0, equals)));
    if (name.empty() || name.find_first_of(" \t") != std::string::npos) {
        commandFailed("usage: DEFINE name = value");
        return;
    }
    variables_.define(name, unquoted(std::string_view(text).substr(equals + 1)));
}

void Client::commandUndefine(const std::string &arguments) {
    for (const std::string &name : scriptArguments(arguments))
        variables_.undefine(name);
}

void Client::commandSpool(const std::string &arguments) {
    std::vector<std::string> words = scriptArguments(arguments);
    if (words.empty()) {
        out_.line(out_.spoolPath().empty() ? "not spooling currently" : "currently spooling to " + out_.spoolPath());
        return;
    }
    const std::string first = upperAscii(words[0]);
    if (first == "OFF" || first == "OUT") {
        if (out_.spoolPath().empty())
            out_.line("not spooling currently");
        out_.spoolOff();
        return;
    }
    std::string path = words[0];
    if (!hasExtension(path))
        path += ".lst";
    const std::string mode = words.size() > 1 ? upperAscii(words[1]) : "REPLACE";
    if (mode != "CREATE" && mode != "REPLACE" && mode != "APPEND") {
        commandFailed("usage: SPOOL file [CREATE | REPLACE | APPEND] | OFF");
        return;
    }
    std::error_code ignored;
    if (mode == "CREATE" && std::filesystem::exists(path, ignored)) {
        commandFailed("file \"" + path + "\" already exists; use SPOOL " + words[0] + " REPLACE");
        return;
    }
    if (!out_.spoolTo(path, mode == "APPEND")) {
        commandFailed("unable to open spool file \"" + path + "\": " + std::strerror(errno));
        applyWhenever(osError_, 0);
    }
}

void Client::commandConnect(const std::string &arguments) {
    std::string logon = arguments;
    if (logon.empty()) {
        logon = askLine("Enter user-name: ").value_or(std::string());
    }
    // The work of the session being left is committed, as on EXIT.
    const bool wasConnected = session_ != nullptr;
    disconnect(true);
    if (!connect(logon, true)) {
        if (wasConnected)
            out_.line("Warning: You are no longer connected.");
        sqlFailed(1017);
    }
}

void Client::commandExit(const std::string &arguments) {
    int status = 0;
    std::string transaction = "COMMIT";
    for (const std::string &word : scriptArguments(arguments)) {
        const std::string w = upperAscii(word);
        if (w == "COMMIT" || w == "ROLLBACK") {
            transaction = w;
        } else if (auto code = exitStatusFor(w, lastSqlCode_)) {
            status = *code;
        } else {
            commandFailed("EXIT takes SUCCESS, FAILURE, WARNING, a number or SQL.SQLCODE, not \"" + word + "\"");
            return;
        }
    }
    requestExit(status, transaction);
}

void Client::commandVariable(const std::string &arguments) {
    std::string error;
    for (const std::string &line : binds_.command(arguments, dates_, error))
        out_.line(line);
    if (!error.empty())
        commandFailed(error);
}

void Client::commandPrint(const std::string &arguments) {
    std::vector<std::string> names = scriptArguments(arguments);
    if (names.empty())
        for (const BindVariable &v : binds_.all())
            names.push_back(v.name);
    printBindVariables(names);
}

void Client::printBindVariables(const std::vector<std::string> &names) {
    InterruptWatch interrupt;
    for (std::string name : names) {
        if (!name.empty() && name.front() == ':')
            name.erase(0, 1);
        const BindVariable *variable = binds_.find(name);
        if (!variable) {
            commandFailed("Bind variable \"" + upperAscii(name) + "\" not declared.");
            continue;
        }
        std::unique_ptr<Cursor> value = BindVariables::valueCursor(*variable);
        printQuery(*value, interrupt, false);
    }
}

void Client::commandWhenever(const std::string &arguments) {
    const std::vector<std::string> words = scriptArguments(arguments);
    const std::string usage = "usage: WHENEVER SQLERROR|OSERROR EXIT [SUCCESS|FAILURE|WARNING|n|SQL.SQLCODE] "
                              "[COMMIT|ROLLBACK] | CONTINUE [COMMIT|ROLLBACK|NONE]";
    if (words.size() < 2) {
        commandFailed(usage);
        return;
    }
    const std::string kind = upperAscii(words[0]);
    if (kind != "SQLERROR" && kind != "OSERROR") {
        commandFailed(usage);
        return;
    }
    WheneverRule rule;
    const std::string action = upperAscii(words[1]);
    if (action == "EXIT") {
        rule.action = ErrorAction::Exit;
        rule.transaction = "COMMIT";
    } else if (action == "CONTINUE") {
        rule.action = ErrorAction::Continue;
        rule.transaction = "NONE";
    } else {
        commandFailed(usage);
        return;
    }
    for (size_t i = 2; i < words.size(); ++i) {
        const std::string w = upperAscii(words[i]);
        if (w == "COMMIT" || w == "ROLLBACK" || (w == "NONE" && rule.action == ErrorAction::Continue)) {
            rule.transaction = w;
        } else if (rule.action == ErrorAction::Exit && exitStatusFor(w, 1)) {
            rule.exitCode = w;
        } else {
            commandFailed(usage);
            return;
        }
    }
    (kind == "SQLERROR" ? sqlError_ : osError_) = rule;
}

}  // namespace localdb::client
