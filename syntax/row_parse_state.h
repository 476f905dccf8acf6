// The syntax parser's state at the first byte of a screen row. The editor's row store keeps one
// per row (packed into the row's attribute words) and the parser carries it from row to row.
#pragma once

#include <cstdint>

struct TRowParseState {
    int Bracket = -1;            // open bracket item index; -1 none; -2 not computed yet
    int Element = 0;             // 0..15, carried through by the editor parser
    int WrappedByte = 0;         // 0..255 bytes at the row start that belong to a carried token
    std::uint8_t PrevToken = 0;  // token kind carried into the row (0 = none)
    std::uint8_t TokenExtra = 0;

    friend bool operator==(const TRowParseState &, const TRowParseState &) = default;
};

// The way a screen row ends.
enum TRowAttribute : std::uint8_t {
    raCrlf = 0,     // ends a logical line followed by a line break
    raWrapped = 1,  // the logical line continues on the next row
    raEof = 2,      // ends the text with no line break (only the last row)
    raInvalid = 3,  // never stored in rows: undo records use it for "no row was replaced"
};
