// The token parser base: construction, dispatch tables, the token loop and every scanner.
// The row-to-row state (AdvanceRowState) is in fountain_parser_rows.cpp.
#include "syntax/fountain_parser.h"

#include "classlib/errors.h"
#include "classlib/string_list.h"
#include "syntax/byte_class.h"
#include "syntax/fountain.h"

#include <cstring>

using namespace syntax;

namespace {

bool InRange(unsigned char c, unsigned char low, unsigned char high) { return c >= low && c <= high; }

// Trail bytes after 0x82 that are symbols rather than letters, digits or kana.
bool IsZenkakuSymbolTrail(unsigned char t)
{
    return InRange(t, 0x40, 0x4E) || InRange(t, 0x59, 0x5F) || InRange(t, 0x7A, 0x80) ||
           InRange(t, 0x9B, 0x9E) || InRange(t, 0xF2, 0xFF);
}

// The long-vowel mark and the dash that continue a kana run.
bool IsKanaContinuation(unsigned char lead, unsigned char trail)
{
    return lead == 0x81 && (trail == 0x5B || trail == 0x7C);
}

} // namespace

TFountainParser::TFountainParser(TFountain *fountain) : FFountain(fountain)
{
    if (fountain == nullptr)
        throw Exception("TFountainParser.Create need instance of TFountain");
    const TFountainBracketCollection *brackets = fountain->Brackets();
    for (int i = 0; i < brackets->Count(); ++i) {
        const TFountainBracketItem *item = brackets->BracketItem(i);
        FBrackets.push_back(TBracketText{item->LeftBracket(), item->RightBracket()});
        // An item without a right bracket could never close: matching its left bracket would
        // leave the rest of the text uncoloured, so it is not matched at all.
        if (!item->LeftBracket().empty() && !item->RightBracket().empty())
            FBracketFirstBytes.set(Byte(item->LeftBracket()[0]));
    }
    const TStrings *words = fountain->ReserveWordList();
    for (int i = 0; i < words->Count(); ++i)
        FReservedWords.Add(words->Get(i));
    FReservedWords.Finish();
    StartRow(std::string_view(), TRowParseState{});
    BuildDispatchTables();
}

TFountainParser::~TFountainParser() = default;

void TFountainParser::BuildDispatchTables()
{
    for (int c = 0; c < 256; ++c) {
        const auto b = static_cast<unsigned char>(c);
        TScanner scanner = &TFountainParser::ScanSymbol;
        if (c == 0x00)
            scanner = &TFountainParser::ScanEnd;
        else if (c == 0x09)
            scanner = &TFountainParser::ScanTab;
        else if (c == 0x0A)
            scanner = &TFountainParser::ScanLineFeed;
        else if (c == 0x0D)
            scanner = &TFountainParser::ScanCarriageReturn;
        else if (InRange(b, '0', '9'))
            scanner = &TFountainParser::ScanNumber;
        else if (InRange(b, 'A', 'Z') || InRange(b, 'a', 'z') || c == '_')
            scanner = &TFountainParser::ScanWord;
        else if (c == 0x81 || InRange(b, 0x84, 0x87))
            scanner = &TFountainParser::ScanDbcsSymbol;
        else if (c == 0x82 || c == 0x83)
            scanner = &TFountainParser::ScanZenkaku;
        else if (InRange(b, 0x88, 0x9F) || InRange(b, 0xE0, 0xFC))
            scanner = &TFountainParser::ScanKanji;
        else if (InRange(b, 0xA1, 0xA5))
            scanner = &TFountainParser::ScanKanaSymbol;
        else if (InRange(b, 0xA6, 0xDF))
            scanner = &TFountainParser::ScanHankakuKana;
        FCharTable[c] = scanner;
    }

    for (auto &entry : FResumeTable)
        entry = &TFountainParser::ScanSymbol;
    FResumeTable[ftInteger] = &TFountainParser::ScanNumber;
    FResumeTable[ftFloat] = &TFountainParser::ScanNumber;
    FResumeTable[ftBracket] = &TFountainParser::ScanBracketBody;
    FResumeTable[ftComment] = &TFountainParser::ScanComment;
    FResumeTable[ftReserve] = &TFountainParser::RescanReserved;
    FResumeTable[ftAnk] = &TFountainParser::ScanWord;
    FResumeTable[ftDbcsSymbol] = &TFountainParser::ScanDbcsSymbol;
    for (int kind = ftZenkakuDigit; kind <= ftKatakana; ++kind)
        FResumeTable[kind] = &TFountainParser::ScanZenkaku;
    FResumeTable[ftKanji] = &TFountainParser::ScanKanji;
    FResumeTable[ftKanaSymbol] = &TFountainParser::ScanKanaSymbol;
    FResumeTable[ftHankakuKana] = &TFountainParser::ScanHankakuKana;
    FResumeTable[ftUrl] = &TFountainParser::ScanUrl;
    FResumeTable[ftMail] = &TFountainParser::ScanMailAddress;
    FResumeTable[ftHex] = &TFountainParser::ScanHexDigits;
    FResumeTable[ftSingleQuote] = &TFountainParser::ScanSingleQuoted;
    FResumeTable[ftDoubleQuote] = &TFountainParser::ScanDoubleQuoted;
}

// ---------------------------------------------------------------------------------------------
// The token loop

void TFountainParser::StartRow(std::string_view text, const TRowParseState &state)
{
    FText.assign(text.data(), text.size());
    FBuffer = FText.c_str();
    FEnd = FBuffer + FText.size();
    FRowEnd = FEnd;
    FCursor = FNextStart = FTokenStart = FTokenFullEnd = FBuffer;
    FTokenKind = ftEnd;
    FLastBracket = -2;
    FBracketIndex = state.Bracket;
    FElementIndex = state.Element;
    FCarriedLength = state.WrappedByte > 0 ? state.WrappedByte : 0;
    FCarriedKind = state.PrevToken;
    FTokenExtra = state.TokenExtra;
    FResuming = false;
    FMailFailStart = FMailFailEnd = nullptr;
}

void TFountainParser::StartRow(const TParserRowList &rows, int row, const TRowParseState &state)
{
    if (row < 0 || row >= rows.RowCount()) {
        StartRow(std::string_view(), state);
        return;
    }
    const std::string_view text = rows.RowText(row);
    if (rows.RowAttribute(row) != raWrapped || row + 1 >= rows.RowCount()) {
        StartRow(text, state);
        return;
    }
    FJoined.assign(text.data(), text.size());
    FJoined.append(rows.RowText(row + 1));
    StartRow(FJoined, state);
    FRowEnd = FBuffer + text.size();
}

TTokenKind TFountainParser::NextToken()
{
    if (FNextStart >= FRowEnd && FRowEnd != FEnd) {
        // The painted row ends here; the next row was read only to see the broken token whole.
        FTokenStart = FNextStart = FTokenFullEnd = FRowEnd;
        FTokenKind = ftEnd;
        return FTokenKind;
    }

    FCursor = FNextStart;
    // A token that goes on from the previous row (a carried part, or the body of a bracket
    // open at the row's start) starts at the row's first byte, blanks included: they belong to
    // it (a string or comment broken at a blank), are painted with it, and a carried length
    // counts them. A CR or LF inside the row text ends the continuation (no token runs over
    // one), so blanks are skipped there as anywhere else.
    if ((FCarriedKind == 0 && FBracketIndex < 0) || *FCursor == '\r' || *FCursor == '\n')
        SkipBlanks();
    FTokenStart = FCursor;
    FResuming = FCarriedKind != 0;
    if (AtRowEnd())
        FTokenKind = ftEnd;
    else if (FCarriedKind != 0)
        ResumeCarriedToken();
    else if (FBracketIndex >= 0)
        ScanBracketBody();
    else
        ScanFreshToken();
    // Every token takes at least one byte, whatever a scanner did, so that the row always
    // comes to an end.
    if (FTokenKind != ftEnd && FCursor <= FTokenStart) {
        FCursor = FTokenStart;
        ScanSymbol();
    }
    FTokenFullEnd = FCursor;
    if (FTokenStart >= FRowEnd) {
        // Only blanks were left of the painted row.
        FTokenStart = FCursor = FRowEnd;
        FTokenKind = ftEnd;
    } else if (FCursor > FRowEnd) {
        FCursor = FRowEnd;
    }
    FNextStart = FCursor;
    return FTokenKind;
}

void TFountainParser::ResumeCarriedToken()
{
    const TTokenKind kind = FCarriedKind;
    const int length = FCarriedLength;
    FCarriedKind = 0;
    FCarriedLength = 0;
    if (length > 0) {
        FTokenKind = kind;
        const auto left = FEnd - FCursor;
        FCursor += length < left ? length : left;
        if (kind == ftBracket) {
            // The closing text of the bracket is the carried part.
            FLastBracket = FBracketIndex;
            FBracketIndex = -1;
        }
        return;
    }
    (this->*FResumeTable[kind])();
    if (FCursor == FTokenStart) {
        // The row does not continue the carried token after all (a stale state, or settings
        // changed since it was stored): scan afresh.
        FResuming = false;
        SkipBlanks();
        FTokenStart = FCursor;
        if (AtRowEnd())
            FTokenKind = ftEnd;
        else if (FBracketIndex >= 0)
            ScanBracketBody();
        else
            ScanFreshToken();
    }
}

void TFountainParser::ScanFreshToken()
{
    if (FBracketIndex == -1 && MatchLeftBracket())
        ScanBracketBody();
    else
        (this->*FCharTable[Byte(*FCursor)])();
}

TTokenKind TFountainParser::PromoteReserved(TTokenKind kind)
{
    return TokenIsReserved() ? static_cast<TTokenKind>(ftReserve) : kind;
}

const TTokenKinds &TFountainParser::GetRescanKinds() const
{
    static const TTokenKinds kinds = [] {
        TTokenKinds set;
        set.set(ftComment);
        set.set(ftSingleQuote);
        set.set(ftDoubleQuote);
        return set;
    }();
    return kinds;
}

std::string_view TFountainParser::TokenText() const
{
    return std::string_view(FTokenStart, static_cast<std::size_t>(FNextStart - FTokenStart));
}

// ---------------------------------------------------------------------------------------------
// Helpers

const TFountainParser::TBracketText *TFountainParser::BracketAt(int index) const
{
    if (index < 0 || index >= static_cast<int>(FBrackets.size()))
        return nullptr;
    return &FBrackets[static_cast<std::size_t>(index)];
}

// ---------------------------------------------------------------------------------------------
// Matchers

void TFountainParser::SkipBlanks()
{
    while (HasClass(*FCursor, bcBlank))
        ++FCursor;
}

bool TFountainParser::TokenIsReserved()
{
    if (FResuming || FTokenKind == ftEnd || FTokenKind == ftBracket || FTokenKind == ftComment)
        return false;
    // A token cut at the painted row's end is looked up whole.
    return FReservedWords.Contains(
        std::string_view(FTokenStart, static_cast<std::size_t>(FTokenFullEnd - FTokenStart)));
}

bool TFountainParser::MatchLeftBracket()
{
    if (!FBracketFirstBytes.test(Byte(*FCursor)))
        return false;
    for (std::size_t i = 0; i < FBrackets.size(); ++i) {
        const TBracketText &item = FBrackets[i];
        if (!item.Right.empty() && TextAtCursorIs(item.Left)) {
            FBracketIndex = static_cast<int>(i);
            FCursor += item.Left.size();
            return true;
        }
    }
    return false;
}

bool TFountainParser::MatchMailAddress()
{
    const char c = *FCursor;
    if (!HasClass(c, bcMail) || c == '@')
        return false;
    // Within one run of mail characters a failed search fails from every later start too (the
    // first at sign after it has no point after it either), so a long run is searched once.
    if (FCursor >= FMailFailStart && FCursor < FMailFailEnd)
        return false;
    const char *p = FCursor;
    bool atSign = false;
    for (; HasClass(*p, bcMail); ++p) {
        if (!atSign) {
            atSign = *p == '@';
        } else if (*p == '.') {
            FCursor = p + 1;
            return true;
        }
    }
    FMailFailStart = FCursor;
    FMailFailEnd = p;
    return false;
}

bool TFountainParser::MatchUrlScheme()
{
    std::string_view scheme;
    switch (*FCursor) {
    case 'f':
        scheme = "ftp:";
        break;
    case 'h':
        scheme = TextAtCursorIs("http:") ? "http:" : "https:";
        break;
    case 'w':
        scheme = "www.";
        break;
    default:
        return false;
    }
    if (!TextAtCursorIs(scheme))
        return false;
    FCursor += scheme.size();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Scanners

void TFountainParser::ScanBracketBody()
{
    const TBracketText *item = BracketAt(FBracketIndex);
    if (item == nullptr || item->Right.empty()) {
        // A stored state naming a bracket that is gone: the row's tokens end here, until the
        // next full recomputation of the states repairs it.
        FTokenKind = ftEnd;
        return;
    }
    FTokenKind = ftBracket;
    FLastBracket = FBracketIndex;
    const char first = item->Right[0];
    while (!AtRowEnd()) {
        if (*FCursor == first && TextAtCursorIs(item->Right)) {
            FCursor += item->Right.size();
            FBracketIndex = -1;
            return;
        }
        StepChar();
    }
}

void TFountainParser::ScanMailAddress()
{
    FTokenKind = ftMail;
    while (HasClass(*FCursor, bcMail))
        ++FCursor;
}

void TFountainParser::ScanUrl()
{
    FTokenKind = ftUrl;
    while (HasClass(*FCursor, bcUrl))
        ++FCursor;
}

void TFountainParser::RescanReserved()
{
    (this->*FCharTable[Byte(*FCursor)])();
    FTokenKind = ftReserve;
}

void TFountainParser::ScanEnd() { FTokenKind = ftEnd; }

void TFountainParser::ScanTab()
{
    FTokenKind = ftTab;
    ++FCursor;
}

void TFountainParser::ScanLineFeed()
{
    FTokenKind = ftEnd;
    ++FCursor;
}

void TFountainParser::ScanCarriageReturn()
{
    FTokenKind = ftEnd;
    ++FCursor;
    if (*FCursor == '\n')
        ++FCursor;
}

void TFountainParser::ScanComment()
{
    FTokenKind = ftComment;
    while (!AtRowEnd())
        StepChar();
}

void TFountainParser::ScanHexDigits()
{
    FTokenKind = ftHex;
    while (HasClass(*FCursor, bcHex))
        ++FCursor;
}

void TFountainParser::ScanNumber()
{
    FTokenKind = ftInteger;
    while (HasClass(*FCursor, bcDigit))
        ++FCursor;
    bool exponent = false;
    if (*FCursor == '.') {
        FTokenKind = ftFloat;
        ++FCursor;
        if (HasClass(*FCursor, bcDigit)) {
            while (HasClass(*FCursor, bcDigit))
                ++FCursor;
            exponent = *FCursor == 'E' || *FCursor == 'e';
        } else if (*FCursor == 'E' || *FCursor == 'e') {
            exponent = true;
        } else {
            --FCursor;  // "12.x": the point is a symbol of its own
        }
    } else if (*FCursor == 'E' || *FCursor == 'e') {
        FTokenKind = ftFloat;
        exponent = true;
    }
    if (exponent) {
        ++FCursor;
        if (*FCursor == '+' || *FCursor == '-')
            ++FCursor;
        while (HasClass(*FCursor, bcDigit))
            ++FCursor;
    }
}

void TFountainParser::ScanWord()
{
    FTokenKind = ftAnk;
    while (HasClass(*FCursor, bcWord))
        ++FCursor;
}

void TFountainParser::ScanDbcsSymbol()
{
    FTokenKind = ftDbcsSymbol;
    const auto lead = Byte(FCursor[0]);
    const auto trail = Byte(FCursor[1]);
    const bool symbol = lead == 0x81 || InRange(lead, 0x84, 0x87) ||
                        (lead == 0x83 && InRange(trail, 0x97, 0xF0)) ||
                        (lead == 0x82 && IsZenkakuSymbolTrail(trail));
    if (symbol)
        StepChar();
}

void TFountainParser::ScanZenkaku()
{
    const auto lead = Byte(FCursor[0]);
    const auto trail = Byte(FCursor[1]);
    // Which pairs continue the run that the first character starts.
    enum class Run { None, Digit, Alpha, Hiragana, Katakana } run = Run::None;
    FTokenKind = ftDbcsSymbol;
    if (lead == 0x82) {
        if (InRange(trail, 0x4F, 0x58)) {
            run = Run::Digit;
            FTokenKind = ftZenkakuDigit;
        } else if (InRange(trail, 0x60, 0x79) || InRange(trail, 0x81, 0x9A)) {
            run = Run::Alpha;
            FTokenKind = ftZenkakuAlpha;
        } else if (InRange(trail, 0x9F, 0xF1)) {
            run = Run::Hiragana;
            FTokenKind = ftHiragana;
        }
    } else if (lead == 0x83 && InRange(trail, 0x40, 0x96)) {
        run = Run::Katakana;
        FTokenKind = ftKatakana;
    }
    if (run == Run::None) {
        const bool symbol = (lead == 0x82 && IsZenkakuSymbolTrail(trail)) ||
                            (lead == 0x83 && InRange(trail, 0x97, 0xF0));
        // A trail byte outside every range (invalid text, or a lead byte at the row's end):
        // the lead byte alone is a double-byte symbol token, so nothing is lost or split.
        if (symbol)
            FCursor += 2;
        else if (lead == 0x82 || lead == 0x83)
            ++FCursor;
        return;
    }
    for (;;) {
        const auto l = Byte(FCursor[0]);
        if (l != 0x81 && l != 0x82 && l != 0x83)
            return;
        const auto t = Byte(FCursor[1]);
        bool more = false;
        switch (run) {
        case Run::Digit:
            more = (l == 0x82 && InRange(t, 0x4F, 0x58)) || (l == 0x81 && InRange(t, 0x43, 0x44));
            break;
        case Run::Alpha:
            more = l == 0x82 && (InRange(t, 0x60, 0x79) || InRange(t, 0x81, 0x9A));
            break;
        case Run::Hiragana:
            more = (l == 0x82 && InRange(t, 0x9F, 0xF1)) || IsKanaContinuation(l, t);
            break;
        case Run::Katakana:
            more = (l == 0x83 && InRange(t, 0x40, 0x96)) || IsKanaContinuation(l, t);
            break;
        case Run::None:
            break;
        }
        if (!more)
            return;
        FCursor += 2;
    }
}

void TFountainParser::ScanKanji()
{
    FTokenKind = ftKanji;
    while (HasClass(*FCursor, bcKanjiLead)) {
        if (FCursor[1] == 0) {
            ++FCursor;  // a lead byte at the row's end
            return;
        }
        FCursor += 2;
    }
}

void TFountainParser::ScanKanaSymbol()
{
    FTokenKind = ftKanaSymbol;
    if (HasClass(*FCursor, bcKanaSymbol))
        ++FCursor;
}

void TFountainParser::ScanHankakuKana()
{
    FTokenKind = ftHankakuKana;
    while (HasClass(*FCursor, bcHankakuKana))
        ++FCursor;
}

void TFountainParser::ScanSymbol()
{
    FTokenKind = ftSymbol;
    // A lead byte takes its trail byte with it, so that the next token never starts on a trail
    // byte (reached only from stale carried kinds: fresh lead bytes go to the double-byte
    // scanners).
    if (!AtRowEnd())
        StepChar();
}

void TFountainParser::ScanQuoted(char quote, TTokenKind kind)
{
    FTokenKind = kind;
    if (!FResuming && *FCursor == quote)
        ++FCursor;
    while (!AtRowEnd()) {
        if (*FCursor == quote) {
            ++FCursor;
            if (*FCursor != quote)
                return;
            ++FCursor;
        } else {
            StepChar();
        }
    }
}

void TFountainParser::ScanSingleQuoted() { ScanQuoted('\'', ftSingleQuote); }

void TFountainParser::ScanDoubleQuoted() { ScanQuoted('"', ftDoubleQuote); }
