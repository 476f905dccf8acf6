// The token parser base: cuts one row of code page 932 text into tokens, byte-wise, and carries
// its state from row to row for the editor's stored row states.
//
// The editor asks a fountain for a fresh parser (TFountain::CreateParser), then per row calls
// StartRow with the row text (or with its row list and the row's index, so that a wrapped row
// is painted with the row it runs into in view) and the state stored at the row's start, pulls
// tokens with NextToken until it returns ftEnd, and asks TokenColor for each. To keep stored
// states valid it calls AdvanceRowState, which turns the state at the start of a row into the
// state at the start of the next one.
//
// Scanning never reads past the row: the parser copies the row into its own buffer, ended by
// NUL, and every scanner stops at NUL (and at CR and LF). A lead byte steps over its trail byte
// together with it, except before that NUL, so no token starts on a trail byte and none runs
// past the end.
#pragma once

#include "syntax/byte_class.h"
#include "syntax/parser_row_list.h"
#include "syntax/reserved_word_index.h"
#include "syntax/row_parse_state.h"
#include "syntax/token_kind.h"

#include <bitset>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TFountain;
class TFountainColor;

// A set of token kinds.
using TTokenKinds = std::bitset<256>;

class TFountainParser {
public:
    // A scanning operation: a dispatch table entry. Entries are pointers to virtual members, so
    // an override in a subclass is what runs.
    using TScanner = void (TFountainParser::*)();

    // Raises Exception "TFountainParser.Create need instance of TFountain" for a null fountain.
    explicit TFountainParser(TFountain *fountain);
    virtual ~TFountainParser();
    TFountainParser(const TFountainParser &) = delete;
    TFountainParser &operator=(const TFountainParser &) = delete;

    // Starts a row: text (without a line break) and the state in force at its first byte.
    virtual void StartRow(std::string_view text, const TRowParseState &state);
    // Starts row `row` of rows for painting. When the row is wrapped, the row it wraps into is
    // read as well and the tokens are cut at the row's end: the part of a token broken by the
    // wrap then gets the class of the whole token ("sel" of "sel|ect" is a reserved word, "-"
    // of "-|-" a comment), as the state carried into the next row says.
    void StartRow(const TParserRowList &rows, int row, const TRowParseState &state);
    // Turns state (the state at the start of row) into the state at the start of row + 1.
    virtual void AdvanceRowState(int row, const TParserRowList &rows, TRowParseState &state);
    // The next token's kind; ftEnd when the row has no more tokens (and on every call after).
    virtual TTokenKind NextToken();
    // The colour to paint the current token with, or null for the editor's own colours.
    virtual TFountainColor *TokenColor() = 0;

    // The current token: [TokenOffset, TokenOffset + TokenLength) in bytes of the row text.
    TTokenKind TokenKind() const { return FTokenKind; }
    int TokenOffset() const { return static_cast<int>(FTokenStart - FBuffer); }
    int TokenLength() const { return static_cast<int>(FNextStart - FTokenStart); }
    std::string_view TokenText() const;
    std::string TokenString() const { return std::string(TokenText()); }

    TFountain *Fountain() const { return FFountain; }
    int BracketIndex() const { return FBracketIndex; }
    int LastBracket() const { return FLastBracket; }
    int ElementIndex() const { return FElementIndex; }
    TTokenKind TokenExtra() const { return FTokenExtra; }
    // True while the current token continues one from the previous row.
    bool Resuming() const { return FResuming; }
    // True when the current token is found in the fountain's reserved word list.
    bool IsReservedToken() { return TokenIsReserved(); }

protected:
    // The bracket texts of the fountain, copied when the parser is made (a parser lives for one
    // paint or one run of state updates, during which the fountain does not change).
    struct TBracketText {
        std::string Left;
        std::string Right;
    };

    virtual void BuildDispatchTables();
    virtual void SkipBlanks();
    virtual bool TokenIsReserved();
    virtual bool MatchLeftBracket();
    virtual void ScanBracketBody();
    virtual bool MatchMailAddress();
    virtual void ScanMailAddress();
    virtual bool MatchUrlScheme();
    virtual void ScanUrl();
    virtual void RescanReserved();
    virtual void ScanEnd();
    virtual void ScanTab();
    virtual void ScanLineFeed();
    virtual void ScanCarriageReturn();
    virtual void ScanComment();
    virtual void ScanHexDigits();
    virtual void ScanNumber();
    virtual void ScanWord();
    virtual void ScanDbcsSymbol();
    virtual void ScanZenkaku();
    virtual void ScanKanji();
    virtual void ScanKanaSymbol();
    virtual void ScanHankakuKana();
    virtual void ScanSymbol();
    virtual void ScanSingleQuoted();
    virtual void ScanDoubleQuoted();
    virtual void ResumeCarriedToken();
    virtual void ScanFreshToken();
    // kind, or ftReserve when the current token is a reserved word.
    virtual TTokenKind PromoteReserved(TTokenKind kind);
    // Kinds that a following row resumes by their scanner rather than by a carried length.
    virtual const TTokenKinds &GetRescanKinds() const;

    // Helpers for scanners.
    // Steps over one character: two bytes for a lead byte, unless the trail would be the NUL.
    void StepChar()
    {
        FCursor += (syntax::HasClass(*FCursor, syntax::bcLead) && FCursor[1] != 0) ? 2 : 1;
    }
    // True when the text at Cursor begins with pattern (compared byte for byte, never past the
    // row's end).
    bool TextAtCursorIs(std::string_view pattern) const
    {
        return !pattern.empty() && *FCursor == pattern[0] &&
               static_cast<std::size_t>(FEnd - FCursor) >= pattern.size() &&
               std::memcmp(FCursor, pattern.data(), pattern.size()) == 0;
    }
    bool AtRowEnd() const { return syntax::HasClass(*FCursor, syntax::bcRowEnd); }
    const TBracketText *BracketAt(int index) const;
    // A quoted text: unless resuming, step over the opening quote; then up to the closing quote
    // (a doubled quote is part of the text) or the end of the row.
    void ScanQuoted(char quote, TTokenKind kind);

    TFountain *FFountain;
    std::string FText;  // the row being parsed; FText.c_str() is NUL-terminated
    const char *FBuffer = nullptr;
    const char *FEnd = nullptr;  // the terminating NUL
    const char *FRowEnd = nullptr;  // where the painted row ends (before FEnd when the next row was read)
    const char *FTokenFullEnd = nullptr;  // end of the current token before it was cut at FRowEnd
    const char *FCursor = nullptr;
    const char *FTokenStart = nullptr;
    const char *FNextStart = nullptr;
    TTokenKind FTokenKind = ftEnd;
    int FBracketIndex = -1;
    int FLastBracket = -2;
    int FElementIndex = 0;
    TTokenKind FCarriedKind = 0;
    int FCarriedLength = 0;
    bool FResuming = false;
    TTokenKind FTokenExtra = 0;
    TScanner FCharTable[256] = {};
    TScanner FResumeTable[256] = {};

    std::vector<TBracketText> FBrackets;
    std::bitset<256> FBracketFirstBytes;  // first bytes of the usable left brackets
    syntax::TReservedWordIndex FReservedWords;

private:
    // A run of mail characters in which no mail address starts (see MatchMailAddress).
    const char *FMailFailStart = nullptr;
    const char *FMailFailEnd = nullptr;
    std::string FJoined;  // a row and the row it wraps into, for AdvanceRowState
};

// Makes a parser of a concrete class for a fountain: what a fountain's ParserClass names.
using TFountainParserClass = std::unique_ptr<TFountainParser> (*)(TFountain *fountain);
