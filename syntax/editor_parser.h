// The editor fountain's parser: everything of the base parser plus a line comment, one
// quotation character for strings, control codes, hexadecimal numbers after a prefix, and the
// choice of colour slot for each token.
#pragma once

#include "syntax/fountain_parser.h"

#include <string>

class TEditorColors;
class TEditorFountain;

class TEditorParser : public TFountainParser {
public:
    // With a fountain that is not a TEditorFountain the editor features are off and no token
    // gets a colour.
    explicit TEditorParser(TFountain *fountain);
    ~TEditorParser() override;

    TFountainColor *TokenColor() override;

protected:
    virtual bool MatchQuotation();
    virtual void ScanQuotation();
    virtual bool MatchCommenter();
    virtual bool MatchHexPrefix();
    virtual bool MatchControlHex();
    virtual void ScanControlHex();
    virtual bool MatchControlCode();
    virtual void ScanControlCode();

    void BuildDispatchTables() override;
    void ScanFreshToken() override;

private:
    TEditorFountain *FEditorFountain;
    TEditorColors *FColors;
    // The fountain's settings, copied when the parser is made.
    std::string FCommenter;
    std::string FQuotation;
    std::string FHexPrefix;  // upper-cased (ASCII letters)
    bool FControlCode = false;
    bool FMail = false;
    bool FUrl = false;
    // First bytes at which one of the editor's own tokens (or a bracket) can start; any other
    // byte goes straight to the dispatch table. Built with the tables.
    std::bitset<256> FSpecialStart;
};
