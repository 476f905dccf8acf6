// The editor fountain's parser: the fresh-token chain and the editor's own scanners, and the
// colour slot of every token kind.
#include "syntax/editor_parser.h"

#include "syntax/byte_class.h"
#include "syntax/editor_fountain.h"

using namespace syntax;

namespace {

char UpperAscii(char c) { return HasClass(c, bcAsciiLower) ? static_cast<char>(c - 'a' + 'A') : c; }

} // namespace

TEditorParser::TEditorParser(TFountain *fountain)
    : TFountainParser(fountain), FEditorFountain(qobject_cast<TEditorFountain *>(fountain)),
      FColors(FEditorFountain != nullptr ? FEditorFountain->Colors() : nullptr)
{
    if (FEditorFountain != nullptr) {
        FCommenter = FEditorFountain->Commenter();
        FQuotation = FEditorFountain->Quotation();
        for (char c : FEditorFountain->HexPrefix())
            FHexPrefix.push_back(UpperAscii(c));
        FControlCode = FEditorFountain->ControlCode();
        FMail = FEditorFountain->Mail();
        FUrl = FEditorFountain->Url();
    }
    // The base constructor built the base tables (a constructor calls its own class's
    // members); this class's entries go in now.
    BuildDispatchTables();
}

TEditorParser::~TEditorParser() = default;

void TEditorParser::BuildDispatchTables()
{
    TFountainParser::BuildDispatchTables();
    FResumeTable[ftQuotation] = static_cast<TScanner>(&TEditorParser::ScanQuotation);
    FResumeTable[ftControlCode] = static_cast<TScanner>(&TEditorParser::ScanControlCode);
    FResumeTable[ftControlHex] = static_cast<TScanner>(&TEditorParser::ScanControlHex);

    FSpecialStart = FBracketFirstBytes;
    for (int c = 0; c < 256; ++c) {
        const auto b = static_cast<char>(c);
        if (FMail && HasClass(b, bcMail) && b != '@')
            FSpecialStart.set(static_cast<std::size_t>(c));
    }
    if (FUrl) {
        for (char c : {'f', 'h', 'w'})
            FSpecialStart.set(Byte(c));
    }
    if (!FCommenter.empty())
        FSpecialStart.set(Byte(FCommenter[0]));
    if (!FQuotation.empty())
        FSpecialStart.set(Byte(FQuotation[0]));
    if (FControlCode)
        FSpecialStart.set(Byte('#'));
    if (!FHexPrefix.empty()) {
        // The prefix is kept upper-cased; the text may hold either case.
        FSpecialStart.set(Byte(FHexPrefix[0]));
        if (FHexPrefix[0] >= 'A' && FHexPrefix[0] <= 'Z')
            FSpecialStart.set(Byte(static_cast<char>(FHexPrefix[0] - 'A' + 'a')));
    }
}

void TEditorParser::ScanFreshToken()
{
    if (!FSpecialStart.test(Byte(*FCursor)))
        (this->*FCharTable[Byte(*FCursor)])();
    else if (FBracketIndex >= -1 && MatchLeftBracket())
        ScanBracketBody();
    else if (FMail && MatchMailAddress())
        ScanMailAddress();
    else if (FUrl && MatchUrlScheme())
        ScanUrl();
    else if (MatchCommenter())
        ScanComment();
    else if (MatchQuotation())
        ScanQuotation();
    else if (MatchControlHex())
        ScanControlHex();
    else if (MatchControlCode())
        ScanControlCode();
    else if (MatchHexPrefix())
        ScanHexDigits();
    else
        (this->*FCharTable[Byte(*FCursor)])();
}

bool TEditorParser::MatchCommenter()
{
    if (!TextAtCursorIs(FCommenter))
        return false;
    FCursor += FCommenter.size();
    return true;
}

bool TEditorParser::MatchQuotation()
{
    if (FQuotation.empty() || *FCursor != FQuotation[0])
        return false;
    ++FCursor;
    return true;
}

void TEditorParser::ScanQuotation()
{
    if (FQuotation.empty()) {
        FTokenKind = ftEnd;
        return;
    }
    FTokenKind = ftQuotation;
    const char quote = FQuotation[0];
    while (!AtRowEnd()) {
        if (*FCursor == quote) {
            ++FCursor;
            if (*FCursor != quote)
                return;
            ++FCursor;  // a doubled quote is a quote inside the string
        } else {
            StepChar();
        }
    }
}

bool TEditorParser::MatchHexPrefix()
{
    const std::size_t n = FHexPrefix.size();
    if (n == 0 || static_cast<std::size_t>(FEnd - FCursor) < n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (UpperAscii(FCursor[i]) != FHexPrefix[i])
            return false;
    }
    FCursor += n;
    return true;
}

bool TEditorParser::MatchControlHex()
{
    if (!FControlCode || FCursor[0] != '#' || FCursor[1] != '$')
        return false;
    FCursor += 2;
    return true;
}

void TEditorParser::ScanControlHex()
{
    FTokenKind = ftControlHex;
    while (HasClass(*FCursor, bcHex))
        ++FCursor;
}

bool TEditorParser::MatchControlCode()
{
    if (!FControlCode || *FCursor != '#')
        return false;
    ++FCursor;
    return true;
}

void TEditorParser::ScanControlCode()
{
    FTokenKind = ftControlCode;
    while (HasClass(*FCursor, bcDigit))
        ++FCursor;
}

TFountainColor *TEditorParser::TokenColor()
{
    if (FColors == nullptr)
        return nullptr;
    if (TokenIsReserved())
        return FColors->Reserve();
    switch (FTokenKind) {
    case ftSymbol:
        return FColors->Symbol();
    case ftInteger:
    case ftFloat:
    case ftHex:
        return FColors->Int();
    case ftBracket: {
        const TFountainBracketCollection *brackets = FEditorFountain->Brackets();
        if (FLastBracket < 0 || FLastBracket >= brackets->Count())
            return nullptr;
        return brackets->BracketItem(FLastBracket)->ItemColor();
    }
    case ftComment:
        return FColors->Comment();
    case ftReserve:
        return FColors->Reserve();
    case ftAnk:
        return FColors->Ank();
    case ftDbcsSymbol:
    case ftZenkakuDigit:
    case ftZenkakuAlpha:
    case ftHiragana:
    case ftKatakana:
    case ftKanji:
    case ftKanaSymbol:
    case ftHankakuKana:
        return FColors->DBCS();
    case ftUrl:
        return FColors->Url();
    case ftMail:
        return FColors->Mail();
    case ftQuotation:
    case ftControlCode:
    case ftControlHex:
        return FColors->Str();
    default:
        return nullptr;
    }
}
