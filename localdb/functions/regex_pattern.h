// Oracle's regular expressions compiled for a linear-time engine. Oracle's dialect (POSIX
// bracket expressions with [:class:], [=e=] and [.c.], intervals, the \d \w \s shorthands,
// non-greedy quantifiers) is read here and rewritten in the engine's syntax, so that every fault
// in a pattern is reported with Oracle's own error and no pattern can take more than linear time
// on its subject.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace re2 {
class RE2;
}

namespace localdb::functions {

// The match parameter letters: i/c case, n dot matches newline, m multiline anchors, x ignore
// blanks in the pattern. The last of contradictory letters wins; any other letter is ORA-01760.
struct MatchOptions {
    bool caseInsensitive = false;
    bool dotMatchesNewline = false;
    bool multiline = false;
    bool ignoreBlanks = false;
};
MatchOptions parseMatchParameter(std::string_view letters);

// Longest pattern Oracle accepts, in bytes of the database character set (ORA-12733 beyond).
inline constexpr std::size_t kMaxPatternBytes = 512;

// The engine's form of an Oracle pattern, and how many parenthesised groups it has. Raises
// ORA-12725 (parentheses), ORA-12726 (bracket), ORA-12727 (back reference), ORA-12728 (range),
// ORA-12729 (character class), ORA-12730 (equivalence class), ORA-12731 (collating element),
// ORA-12732 (interval). A back reference to an existing group is also ORA-12727: matching it
// cannot be done in linear time.
struct TranslatedPattern {
    std::string engineSyntax;
    int groups = 0;
};
TranslatedPattern translatePattern(std::string_view oraclePattern, const MatchOptions &options);

// A compiled pattern, shared by every row of a statement that uses the same pattern text and
// match parameter.
class CompiledPattern {
public:
    // Raises the errors of translatePattern, and ORA-12733 for a pattern too long for Oracle or
    // too large for the engine's memory bound.
    CompiledPattern(std::string_view oraclePattern, std::string_view matchParameter, std::size_t patternBytes);
    ~CompiledPattern();
    CompiledPattern(const CompiledPattern &) = delete;
    CompiledPattern &operator=(const CompiledPattern &) = delete;

    const re2::RE2 &regex() const { return *regex_; }
    int groups() const { return groups_; }
    bool sameMatchParameter(std::string_view matchParameter) const { return matchParameter_ == matchParameter; }

private:
    std::string matchParameter_;
    std::unique_ptr<re2::RE2> regex_;
    int groups_ = 0;
};

}  // namespace localdb::functions
