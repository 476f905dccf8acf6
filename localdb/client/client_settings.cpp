// SET takes pairs of an option and its value, several in one command ("SET ECHO OFF FEEDBACK
// OFF"); option names may be abbreviated down to the shortest form Oracle scripts use.
#include "localdb/client/client_settings.h"

#include "localdb/client/command_names.h"

#include <cctype>
#include <charconv>
#include <optional>

namespace localdb::client {
namespace {

// Splits SET arguments into words; a quoted value keeps its blanks and loses its quotes.
std::vector<std::string> setWords(const std::string &text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '\'' || c == '"') {
            std::string word;
            size_t j = i + 1;
            while (j < text.size()) {
                if (text[j] == c) {
                    if (j + 1 < text.size() && text[j + 1] == c) {
                        word += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                word += text[j++];
            }
            words.push_back(word);
            i = j + 1;
            continue;
        }
        size_t j = i;
        while (j < text.size() && text[j] != ' ' && text[j] != '\t' && text[j] != '\r' && text[j] != '\n')
            ++j;
        words.push_back(text.substr(i, j - i));
        i = j;
    }
    if (!words.empty() && !words.back().empty() && words.back().back() == ';') {
        words.back().pop_back();
        if (words.back().empty())
            words.pop_back();
    }
    return words;
}

// Whether word abbreviates name to at least minimum characters.
bool abbreviates(const std::string &word, std::string_view name, size_t minimum) {
    return word.size() >= minimum && word.size() <= name.size() && name.substr(0, word.size()) == word;
}

std::optional<bool> onOff(const std::string &word) {
    const std::string w = upperAscii(word);
    if (w == "ON")
        return true;
    if (w == "OFF")
        return false;
    return std::nullopt;
}

std::optional<int> number(const std::string &word) {
    int value = 0;
    const char *end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

class SetParser {
public:
    SetParser(ClientSettings &s, std::vector<std::string> words) : s_(s), words_(std::move(words)) {}

    SetOutcome run() {
        if (words_.empty())
            out_.error = "SET requires an option";
        while (out_.error.empty() && i_ < words_.size())
            option(upperAscii(words_[i_++]));
        return out_;
    }

private:
    bool more() const { return i_ < words_.size(); }
    std::string nextWord() { return more() ? words_[i_++] : std::string(); }

    void fail(const std::string &option, const std::string &what) {
        out_.error = what.empty() ? "missing value for SET " + option : "invalid value for SET " + option + ": " + what;
    }

    void setFlag(const std::string &option, bool &flag) {
        const std::string w = nextWord();
        if (auto v = onOff(w))
            flag = *v;
        else
            fail(option, w);
    }

    void setNumber(const std::string &option, int &value, int low, int high) {
        const std::string w = nextWord();
        auto v = number(w);
        if (!v || *v < low || *v > high)
            out_.error = "SET " + option + " takes a number from " + std::to_string(low) + " to " +
                         std::to_string(high) + (w.empty() ? "" : ", not \"" + w + "\"");
        else
            value = *v;
    }

    void option(const std::string &o) {
        if (abbreviates(o, "ECHO", 4)) {
            setFlag("ECHO", s_.echo);
        } else if (abbreviates(o, "FEEDBACK", 4)) {
            const std::string w = nextWord();
            if (auto v = onOff(w))
                s_.feedback = *v ? 1 : 0;
            else if (auto n = number(w); n && *n >= 0)
                s_.feedback = *n;
            else
                fail("FEEDBACK", w);
        } else if (abbreviates(o, "HEADING", 3)) {
            setFlag("HEADING", s_.heading);
        } else if (abbreviates(o, "PAGESIZE", 5)) {
            setNumber("PAGESIZE", s_.pageSize, 0, 50000);
        } else if (abbreviates(o, "LINESIZE", 3)) {
            setNumber("LINESIZE", s_.lineSize, 1, 32767);
        } else if (abbreviates(o, "DEFINE", 3) || o == "SCAN") {
            const std::string w = nextWord();
            if (auto v = onOff(w)) {
                s_.defineEnabled = *v;
                if (*v && o != "SCAN")
                    s_.defineChar = '&';
            } else if (w.size() == 1 && w[0] != ' ' && !std::isalnum(static_cast<unsigned char>(w[0]))) {
                s_.defineEnabled = true;
                s_.defineChar = w[0];
            } else {
                fail("DEFINE", w);
            }
        } else if (abbreviates(o, "VERIFY", 3)) {
            setFlag("VERIFY", s_.verify);
        } else if (abbreviates(o, "SERVEROUTPUT", 9)) {
            setFlag("SERVEROUTPUT", s_.serverOutput);
            while (out_.error.empty() && more()) {
                const std::string w = upperAscii(words_[i_]);
                if (abbreviates(w, "SIZE", 3)) {
                    ++i_;
                    serverOutputSize();
                } else if (abbreviates(w, "FORMAT", 3)) {
                    ++i_;
                    serverOutputFormat();
                } else {
                    break;
                }
            }
        } else if (abbreviates(o, "MARKUP", 4)) {
            markup();
        } else if (abbreviates(o, "NUMWIDTH", 3)) {
            setNumber("NUMWIDTH", s_.numWidth, 2, 50);
        } else if (o == "LONG") {
            setNumber("LONG", s_.longWidth, 1, 2000000000);
        } else if (o == "NULL") {
            if (!more())
                fail("NULL", "");
            else
                s_.nullText = nextWord();
        } else if (abbreviates(o, "COLSEP", 4)) {
            if (!more())
                fail("COLSEP", "");
            else
                s_.colSep = nextWord();
        } else if (abbreviates(o, "WRAP", 3)) {
            setFlag("WRAP", s_.wrap);
        } else if (abbreviates(o, "AUTOPRINT", 5)) {
            setFlag("AUTOPRINT", s_.autoPrint);
        } else if (abbreviates(o, "AUTOCOMMIT", 4)) {
            const std::string w = nextWord();
            if (auto v = onOff(w))
                s_.autoCommit = *v;
            else if (upperAscii(w) == "IMMEDIATE")
                s_.autoCommit = true;
            else if (auto n = number(w); n && *n >= 0)
                s_.autoCommit = *n > 0;
            else
                fail("AUTOCOMMIT", w);
        } else if (abbreviates(o, "SQLBLANKLINES", 5)) {
            setFlag("SQLBLANKLINES", s_.sqlBlankLines);
        } else if (abbreviates(o, "TIMING", 4)) {
            setFlag("TIMING", s_.timing);
        } else if (abbreviates(o, "TERMOUT", 4)) {
            setFlag("TERMOUT", s_.termOut);
        } else if (abbreviates(o, "SQLPROMPT", 4)) {
            if (!more())
                fail("SQLPROMPT", "");
            else
                s_.sqlPrompt = nextWord();
        } else if (abbreviates(o, "TRIMSPOOL", 5) || abbreviates(o, "TRIMOUT", 5)) {
            // Trailing blanks are always trimmed from output lines.
            nextWord();
        } else {
            // Options that shape reports in ways this client does not draw are accepted so that
            // scripts written for Oracle's command-line tools run on.
            const std::string value = nextWord();
            out_.notes.push_back("SET " + o + (value.empty() ? "" : " " + value) + " is not supported and was ignored.");
        }
    }

    void serverOutputSize() {
        const std::string w = nextWord();
        if (abbreviates(upperAscii(w), "UNLIMITED", 3)) {
            s_.serverOutputSize = 0;
            return;
        }
        const std::optional<int> size = number(w);
        if (!size)
            fail("SERVEROUTPUT SIZE", w);
        else if (*size < 2000 || *size > 1000000)
            out_.error = "size option " + w + " out of range (2000 through 1000000)";
        else
            s_.serverOutputSize = *size;
    }

    void serverOutputFormat() {
        const std::string w = upperAscii(nextWord());
        if (abbreviates(w, "WORD_WRAPPED", 3))
            s_.serverOutputFormat = ClientSettings::OutputFormat::WordWrapped;
        else if (abbreviates(w, "WRAPPED", 3))
            s_.serverOutputFormat = ClientSettings::OutputFormat::Wrapped;
        else if (abbreviates(w, "TRUNCATED", 3))
            s_.serverOutputFormat = ClientSettings::OutputFormat::Truncated;
        else
            fail("SERVEROUTPUT FORMAT", w);
    }

    void markup() {
        const std::string kind = upperAscii(nextWord());
        if (kind == "CSV") {
            const std::string w = nextWord();
            auto v = onOff(w);
            if (!v) {
                fail("MARKUP CSV", w);
                return;
            }
            s_.markupCsv = *v;
            while (more()) {
                const std::string w2 = upperAscii(words_[i_]);
                if (abbreviates(w2, "DELIMITER", 5)) {
                    ++i_;
                    const std::string d = nextWord();
                    if (d.size() != 1) {
                        fail("MARKUP CSV DELIMITER", d);
                        return;
                    }
                    s_.csvDelimiter = d[0];
                } else if (w2 == "QUOTE") {
                    ++i_;
                    const std::string q = nextWord();
                    auto on = onOff(q);
                    if (!on) {
                        fail("MARKUP CSV QUOTE", q);
                        return;
                    }
                    s_.csvQuote = *on;
                } else {
                    break;
                }
            }
            return;
        }
        // HTML markup and its options: not drawn here; the rest of the command is its options.
        out_.notes.push_back("SET MARKUP " + kind + " is not supported and was ignored.");
        i_ = words_.size();
    }

    ClientSettings &s_;
    std::vector<std::string> words_;
    size_t i_ = 0;
    SetOutcome out_;
};

std::string onOffText(bool v) { return v ? "ON" : "OFF"; }

}  // namespace

SetOutcome applySet(ClientSettings &settings, const std::string &arguments) {
    // Work on a copy so that a failing option leaves every setting as it was.
    ClientSettings copy = settings;
    SetOutcome outcome = SetParser(copy, setWords(arguments)).run();
    if (outcome.error.empty())
        settings = copy;
    return outcome;
}

SetOutcome applyColumn(ClientSettings &settings, const std::string &arguments) {
    SetOutcome outcome;
    const std::vector<std::string> words = setWords(arguments);
    if (words.empty()) {
        outcome.error = "usage: COLUMN name [FORMAT An] [HEADING text] [CLEAR]";
        return outcome;
    }
    const std::string name = upperAscii(words[0]);
    ColumnFormat format = settings.columns.count(name) ? settings.columns[name] : ColumnFormat();
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string option = upperAscii(words[i]);
        if (abbreviates(option, "CLEAR", 2)) {
            format = ColumnFormat();
        } else if (abbreviates(option, "FORMAT", 3) && i + 1 < words.size()) {
            const std::string model = upperAscii(words[++i]);
            auto width = model.size() > 1 && model[0] == 'A' ? number(model.substr(1)) : std::nullopt;
            if (width && *width >= 1 && *width <= 32767)
                format.width = *width;
            else
                outcome.notes.push_back("COLUMN " + name + " FORMAT " + words[i] + " is not supported and was ignored.");
        } else if (abbreviates(option, "HEADING", 3) && i + 1 < words.size()) {
            format.heading = words[++i];
        } else {
            outcome.notes.push_back("COLUMN " + name + " " + words[i] + " is not supported and was ignored.");
        }
    }
    settings.columns[name] = format;
    return outcome;
}

std::string showSetting(const ClientSettings &s, const std::string &option) {
    const std::string o = upperAscii(option);
    if (abbreviates(o, "ECHO", 4))
        return "echo " + onOffText(s.echo);
    if (abbreviates(o, "FEEDBACK", 4))
        return s.feedback == 0 ? "FEEDBACK OFF" : "FEEDBACK ON for " + std::to_string(s.feedback) + " or more rows";
    if (abbreviates(o, "HEADING", 3))
        return "heading " + onOffText(s.heading);
    if (abbreviates(o, "PAGESIZE", 5))
        return "pagesize " + std::to_string(s.pageSize);
    if (abbreviates(o, "LINESIZE", 3))
        return "linesize " + std::to_string(s.lineSize);
    if (abbreviates(o, "DEFINE", 3))
        return s.defineEnabled ? std::string("define \"") + s.defineChar + "\" (hex " +
                                     [](char c) {
                                         static const char *hex = "0123456789abcdef";
                                         return std::string{hex[(c >> 4) & 15], hex[c & 15]};
                                     }(s.defineChar) +
                                     ")"
                               : "define OFF";
    if (abbreviates(o, "VERIFY", 3))
        return "verify " + onOffText(s.verify);
    if (abbreviates(o, "SERVEROUTPUT", 9)) {
        if (!s.serverOutput)
            return "serveroutput OFF";
        const char *format = s.serverOutputFormat == ClientSettings::OutputFormat::WordWrapped ? "WORD_WRAPPED"
                             : s.serverOutputFormat == ClientSettings::OutputFormat::Wrapped   ? "WRAPPED"
                                                                                               : "TRUNCATED";
        return "serveroutput ON SIZE " +
               (s.serverOutputSize == 0 ? std::string("UNLIMITED") : std::to_string(s.serverOutputSize)) +
               " FORMAT " + format;
    }
    if (abbreviates(o, "MARKUP", 4))
        return std::string("markup CSV ") + onOffText(s.markupCsv) + " DELIMITER " + s.csvDelimiter + " QUOTE " +
               onOffText(s.csvQuote);
    if (abbreviates(o, "NUMWIDTH", 3))
        return "numwidth " + std::to_string(s.numWidth);
    if (o == "LONG")
        return "long " + std::to_string(s.longWidth);
    if (o == "NULL")
        return "null \"" + s.nullText + "\"";
    if (abbreviates(o, "COLSEP", 4))
        return "colsep \"" + s.colSep + "\"";
    if (abbreviates(o, "WRAP", 3))
        return std::string("wrap : lines will be ") + (s.wrap ? "wrapped" : "truncated");
    if (abbreviates(o, "AUTOPRINT", 5))
        return "autoprint " + onOffText(s.autoPrint);
    if (abbreviates(o, "AUTOCOMMIT", 4))
        return "autocommit " + onOffText(s.autoCommit);
    if (abbreviates(o, "TIMING", 4))
        return "timing " + onOffText(s.timing);
    if (abbreviates(o, "SQLBLANKLINES", 5))
        return "sqlblanklines " + onOffText(s.sqlBlankLines);
    if (abbreviates(o, "TERMOUT", 4))
        return "termout " + onOffText(s.termOut);
    if (abbreviates(o, "SQLPROMPT", 4))
        return "sqlprompt \"" + s.sqlPrompt + "\"";
    return {};
}

}  // namespace localdb::client
