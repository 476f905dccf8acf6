// FindText: the search engine behind the search dialog and the editor's Search operation. It finds
// a pattern in code page 932 text, forwards or backwards from the current selection, and never
// matches from the middle of a double-byte character.
#pragma once

#include <cstdint>
#include <string_view>

// The search options word, as the search dialog returns it and the editor passes it on.
enum TSearchOption : unsigned {
    soDown = 0x0001,            // forwards; clear: backwards
    soMatchCase = 0x0002,       // letter case must match
    soWholeWord = 0x0004,       // the match must be a whole word
    soNoMatchZenkaku = 0x0008,  // half-width and full-width forms match each other
    soIgnoreLineBreaks = 0x0080,  // CR and LF inside a match are skipped
    soIgnoreBlanks = 0x0100,      // TAB, space and the full-width space inside a match are skipped
};

// A byte range of the text: the current selection on entry, the hit on success.
struct TFindPosition {
    std::int64_t Start = 0;
    std::int64_t Length = 0;
};

// Searches text for pattern. Forwards the search begins just after the selection; backwards it
// begins where a match would end at the selection start. On success position holds the hit
// (Length counts skipped line breaks and blanks too) and true is returned; otherwise position is
// unchanged. An empty text or pattern, a start outside the text or a negative length finds
// nothing. NUL bytes are ordinary (delimiting) bytes of the text.
bool FindText(std::string_view text, TFindPosition &position, std::string_view pattern, unsigned options);
