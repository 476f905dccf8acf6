// The rows a parser walks when it carries its state from row to row: the editor's row store
// implements this, tests use a plain vector.
#pragma once

#include "syntax/row_parse_state.h"

#include <string_view>

class TParserRowList {
public:
    virtual ~TParserRowList() = default;
    virtual int RowCount() const = 0;
    // Code page 932 bytes of the row, without any line break; valid until the list changes.
    virtual std::string_view RowText(int row) const = 0;
    virtual TRowAttribute RowAttribute(int row) const = 0;
};
