// The routines the frame shares with every child window to show a query result in a string grid:
// empty a grid, copy a whole dynaset into it, size its columns. Column 0 holds record numbers,
// row 0 the field names. The frame's ClearGrid, FillGridFromDynaset and AutoSizeGridColumns call
// these and then lay out the active child again.
#pragma once

#include "db/variant.h"

#include <functional>
#include <memory>
#include <string>

class TStringGrid;

namespace db {
class OraDynaset;
}

namespace app {

// Every cell empty (fixed ones included); 2 columns and 2 rows.
void ClearGrid(TStringGrid &grid);

// Called after every 100 records, once the grid has repainted and pending window messages have
// run; true stops the fill there (the rows written so far stay). The frame passes its Esc check
// with the "中断しますか？" confirmation. Without a callback no window messages run during the fill.
// If the grid is destroyed while messages run, the fill stops.
using FillCancelled = std::function<bool(int records)>;

// Writes the header and every record of the dynaset (from its current record to its end), the
// grid's painting off except for a repaint after every 100 records (at most ten a second), then
// sizes the columns. The
// dynaset is held for the whole fill. Returns the number of records written. Errors of the
// dynaset propagate after the grid's painting is switched back on; rows written stay.
int FillGridFromDynaset(std::shared_ptr<db::OraDynaset> dynaset, TStringGrid &grid,
                        const FillCancelled &cancelled = {});

// Each column 10 pixels per byte of its longest text (header included), or the grid's default
// width when it is empty in every row; the default row height the font's pixel height plus 4.
void AutoSizeGridColumns(TStringGrid &grid);

// The cell text of a field value by the field's type code: empty for null; 3, 4, 7 the value
// rounded to a whole number (halves to the even neighbour); 8, 10, 11, 12 the value's text form.
// hasText is false for other type codes, whose cells are not written.
std::string FieldCellText(int typeCode, const db::Variant &value, bool &hasText);

// The text form of a value under the Japanese locale: dates "yyyy/mm/dd", plus " hh:nn:ss" when
// not midnight; doubles with up to 15 significant digits; binary as upper-case hexadecimal.
std::string VariantText(const db::Variant &value);

} // namespace app
