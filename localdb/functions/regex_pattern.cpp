// Reading Oracle's pattern syntax and writing it out for the linear-time engine.
#include "localdb/functions/regex_pattern.h"

#include "localdb/functions/function_errors.h"
#include "localdb/functions/utf8_text.h"

#include <re2/re2.h>

#include <cstdio>
#include <vector>

namespace localdb::functions {

namespace {

// Oracle's repetition bound; the engine refuses larger counts anyway.
constexpr long kMaxRepeat = 1000;

// A code point as the engine reads it anywhere in a pattern, inside or outside brackets.
std::string escaped(char32_t c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')
        return std::string(1, char(c));
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "\\x{%X}", unsigned(c));
    return buffer;
}

// The members of a POSIX class as the engine writes them inside brackets. Letters and case
// follow Unicode so that kana, kanji and full-width letters count as letters.
const char *classMembers(std::u32string_view name)
{
    struct Entry {
        std::u32string_view name;
        const char *members;
    };
    static const Entry kClasses[] = {
        {U"alpha", "\\p{L}"},
        {U"digit", "0-9"},
        {U"alnum", "\\p{L}0-9"},
        {U"upper", "\\p{Lu}"},
        {U"lower", "\\p{Ll}"},
        {U"space", "\\t\\n\\x{0B}\\f\\r \\x{3000}"},
        {U"blank", " \\t\\x{3000}"},
        {U"punct", "\\p{P}\\p{S}"},
        {U"cntrl", "\\p{Cc}"},
        {U"print", "\\p{L}\\p{M}\\p{N}\\p{P}\\p{S}\\p{Zs}"},
        {U"graph", "\\p{L}\\p{M}\\p{N}\\p{P}\\p{S}"},
        {U"xdigit", "0-9A-Fa-f"},
    };
    for (const Entry &entry : kClasses) {
        if (entry.name == name)
            return entry.members;
    }
    return nullptr;
}

class Translator {
public:
    Translator(std::u32string_view pattern, const MatchOptions &options) : p_(pattern), options_(options) {}

    TranslatedPattern run()
    {
        while (i_ < p_.size())
            step();
        if (!openGroups_.empty())
            raiseError(12725);
        return {out_, groups_};
    }

private:
    static constexpr std::size_t kNoAtom = std::string::npos;

    std::u32string_view p_;
    MatchOptions options_;
    std::size_t i_ = 0;
    std::string out_;
    int groups_ = 0;
    std::vector<std::size_t> openGroups_;  // where each open group starts in out_
    std::size_t atomStart_ = kNoAtom;      // where the last quantifiable item starts in out_
    bool atomQuantified_ = false;

    bool at(std::size_t k, char32_t c) const { return k < p_.size() && p_[k] == c; }

    void atom(const std::string &text)
    {
        atomStart_ = out_.size();
        atomQuantified_ = false;
        out_ += text;
    }

    void anchor(const char *text)
    {
        out_ += text;
        atomStart_ = kNoAtom;
    }

    void step()
    {
        char32_t c = p_[i_++];
        switch (c) {
        case '\\':
            return backslash();
        case '.':
            return atom(".");
        case '^':
            return anchor("^");
        case '$':
            return anchor("$");
        case '(':
            openGroups_.push_back(out_.size());
            ++groups_;
            out_ += '(';
            atomStart_ = kNoAtom;
            return;
        case ')':
            if (openGroups_.empty())
                raiseError(12725);
            out_ += ')';
            atomStart_ = openGroups_.back();
            atomQuantified_ = false;
            openGroups_.pop_back();
            return;
        case '|':
            out_ += '|';
            atomStart_ = kNoAtom;
            return;
        case '*':
        case '+':
        case '?':
            return quantifier(std::string(1, char(c)), c);
        case '{':
            return interval();
        case '[':
            return atom(bracket());
        default:
            if (options_.ignoreBlanks && (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == 0x3000))
                return;
            atom(escaped(c));
        }
    }

    void backslash()
    {
        if (i_ >= p_.size())
            return atom(escaped('\\'));
        char32_t c = p_[i_++];
        switch (c) {
        case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9':
            // A reference to what a group matched makes matching exponential in the worst case;
            // it is refused like one to a group that does not exist.
            raiseError(12727);
        case 'd':
            return atom("[0-9]");
        case 'D':
            return atom("[^0-9]");
        case 'w':
            return atom("[\\p{L}\\p{N}_]");
        case 'W':
            return atom("[^\\p{L}\\p{N}_]");
        case 's':
            return atom("[\\t\\n\\x{0B}\\f\\r \\x{3000}]");
        case 'S':
            return atom("[^\\t\\n\\x{0B}\\f\\r \\x{3000}]");
        case 'A':
            return anchor("\\A");
        case 'Z':
        case 'z':
            return anchor("\\z");
        default:
            // A backslash before an ordinary character stands for the character.
            return atom(escaped(c));
        }
    }

    void quantifier(const std::string &text, char32_t literal)
    {
        if (atomStart_ == kNoAtom)
            return atom(escaped(literal));  // nothing to repeat: the character itself
        if (atomQuantified_) {
            // A quantifier on a quantified item repeats the whole of it.
            out_.insert(atomStart_, "(?:");
            out_ += ')';
        }
        out_ += text;
        if (at(i_, '?')) {  // non-greedy form
            out_ += '?';
            ++i_;
        }
        atomQuantified_ = true;
    }

    // {m}, {m,} or {m,n}; a brace that does not start one is an ordinary character.
    void interval()
    {
        std::size_t k = i_;
        auto number = [&](long &value) {
            std::size_t start = k;
            value = 0;
            while (k < p_.size() && p_[k] >= '0' && p_[k] <= '9') {
                value = std::min(value * 10 + long(p_[k] - '0'), kMaxRepeat + 1);
                ++k;
            }
            return k > start;
        };
        long low = 0;
        long high = -1;
        if (!number(low))
            return atom(escaped('{'));
        bool comma = at(k, ',');
        if (comma) {
            ++k;
            if (!number(high))
                high = -1;
        } else {
            high = low;
        }
        if (!at(k, '}'))
            return atom(escaped('{'));
        if ((high >= 0 && high < low) || low > kMaxRepeat || high > kMaxRepeat)
            raiseError(12732);
        i_ = k + 1;
        std::string text = "{" + std::to_string(low) + (comma ? "," : "") + (comma && high >= 0 ? std::to_string(high) : "") + "}";
        quantifier(text, '{');
    }

    // A bracket expression after its '['. Inside it a backslash is an ordinary character.
    std::string bracket()
    {
        std::string members;
        bool negated = false;
        if (at(i_, '^')) {
            negated = true;
            ++i_;
        }
        bool first = true;
        for (;;) {
            if (i_ >= p_.size())
                raiseError(12726);
            char32_t c = p_[i_];
            if (c == ']' && !first) {
                ++i_;
                break;
            }
            first = false;
            if (c == '[' && (at(i_ + 1, ':') || at(i_ + 1, '=') || at(i_ + 1, '.'))) {
                members += bracketTerm();
                continue;
            }
            ++i_;
            char32_t low = c;
            if (at(i_, '-') && i_ + 1 < p_.size() && p_[i_ + 1] != ']') {
                char32_t high = p_[i_ + 1];
                i_ += 2;
                if (high == '[' && at(i_, '.'))
                    high = collatingElement();
                if (high < low)
                    raiseError(12728);
                members += escaped(low) + "-" + escaped(high);
                continue;
            }
            members += escaped(low);
        }
        return std::string(negated ? "[^" : "[") + members + "]";
    }

    // [:class:], [=e=] or [.c.] inside a bracket expression, at its '['.
    std::string bracketTerm()
    {
        char32_t kind = p_[i_ + 1];
        std::size_t start = i_ + 2;
        std::size_t end = start;
        while (end + 1 < p_.size() && !(p_[end] == kind && p_[end + 1] == ']'))
            ++end;
        if (end + 1 >= p_.size())
            raiseError(12726);
        std::u32string_view content = p_.substr(start, end - start);
        i_ = end + 2;
        if (kind == ':') {
            const char *members = classMembers(content);
            if (!members)
                raiseError(12729);
            return members;
        }
        // An equivalence class or collating element names one character here.
        if (content.size() != 1)
            raiseError(kind == '=' ? 12730 : 12731);
        return escaped(content[0]);
    }

    // The end of a range written as a collating element, [.c.], after its "[.".
    char32_t collatingElement()
    {
        std::size_t start = i_ + 1;
        if (start + 2 < p_.size() && p_[start + 1] == '.' && p_[start + 2] == ']') {
            i_ = start + 3;
            return p_[start];
        }
        raiseError(12731);
    }
};

}  // namespace

MatchOptions parseMatchParameter(std::string_view letters)
{
    MatchOptions options;
    for (char c : letters) {
        switch (c) {
        case 'i':
            options.caseInsensitive = true;
            break;
        case 'c':
            options.caseInsensitive = false;
            break;
        case 'n':
            options.dotMatchesNewline = true;
            break;
        case 'm':
            options.multiline = true;
            break;
        case 'x':
            options.ignoreBlanks = true;
            break;
        default:
            raiseError(1760);
        }
    }
    return options;
}

TranslatedPattern translatePattern(std::string_view oraclePattern, const MatchOptions &options)
{
    std::u32string codePoints = utf8::decode(oraclePattern);
    return Translator(codePoints, options).run();
}

CompiledPattern::CompiledPattern(std::string_view oraclePattern, std::string_view matchParameter,
                                 std::size_t patternBytes)
    : matchParameter_(matchParameter)
{
    if (patternBytes > kMaxPatternBytes)
        raiseError(12733);
    MatchOptions options = parseMatchParameter(matchParameter);
    TranslatedPattern translated = translatePattern(oraclePattern, options);
    std::string flags;
    if (options.multiline)
        flags += 'm';
    if (options.dotMatchesNewline)
        flags += 's';
    std::string text = flags.empty() ? translated.engineSyntax : "(?" + flags + ")" + translated.engineSyntax;
    RE2::Options engineOptions;
    engineOptions.set_encoding(RE2::Options::EncodingUTF8);
    engineOptions.set_log_errors(false);
    engineOptions.set_case_sensitive(!options.caseInsensitive);
    regex_ = std::make_unique<RE2>(text, engineOptions);
    if (!regex_->ok()) {
        // The translation leaves only limits for the engine to refuse: a pattern whose compiled
        // form would not fit the memory bound, or repetitions nested beyond its counts.
        raiseError(regex_->error_code() == RE2::ErrorRepeatSize ? 12732 : 12733);
    }
    groups_ = regex_->NumberOfCapturingGroups();
}

CompiledPattern::~CompiledPattern() = default;

}  // namespace localdb::functions
