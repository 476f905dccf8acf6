// The grid filler: dynaset records to string grid cells, and column sizing.
#include "app/grid_filler.h"

#include "classlib/string_grid.h"
#include "db/ora_dynaset.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QPointer>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace app {

namespace {

constexpr qint64 kRepaintIntervalMs = 100;

std::string FormatDouble(double value)
{
    if (!std::isfinite(value)) return {};
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    // "1e+20" reads "1E20" and "1e-05" reads "1E-5", as the locale's general format writes them.
    std::string text(buffer);
    const std::size_t e = text.find('e');
    if (e == std::string::npos) return text;
    std::string mantissa = text.substr(0, e);
    std::string exponent = text.substr(e + 1);
    const bool negative = !exponent.empty() && exponent[0] == '-';
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.erase(0, 1);
    exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
    return mantissa + "E" + (negative ? "-" : "") + exponent;
}

// Appends n with at least `width` digits (n >= 0).
void AppendDigits(std::string &text, int n, int width)
{
    char digits[16];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0 && count < 16);
    for (int i = count; i < width; ++i) text += '0';
    while (count > 0) text += digits[--count];
}

// Restores the grid's painting however the fill ends.
class RedrawOff {
public:
    explicit RedrawOff(TStringGrid &grid) : grid_(&grid), was_(grid.Redraw()) { grid.SetRedraw(false); }
    ~RedrawOff()
    {
        if (grid_) grid_->SetRedraw(was_);
    }
    RedrawOff(const RedrawOff &) = delete;
    RedrawOff &operator=(const RedrawOff &) = delete;

private:
    QPointer<TStringGrid> grid_;
    bool was_;
};

} // namespace

namespace {

void AppendInteger(std::string &text, std::int64_t n)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    text.append(buffer, result.ptr);
}

void AppendRounded(std::string &text, double value)
{
    if (!std::isfinite(value)) return;
    // nearbyint rounds in the default mode, to nearest with halves to even; adding 0.0 turns -0
    // into 0.
    const double whole = std::nearbyint(value) + 0.0;
    if (std::fabs(whole) < 9.0e18) {
        AppendInteger(text, static_cast<std::int64_t>(whole));
        return;
    }
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", whole);
    text += buffer;
}

// The text form of a value: a view of the value's own text, or of scratch, which is overwritten.
std::string_view TextForm(const db::Variant &value, std::string &scratch)
{
    scratch.clear();
    switch (value.index()) {
    case 1: AppendInteger(scratch, std::get<std::int64_t>(value)); break;
    case 2: scratch = FormatDouble(std::get<double>(value)); break;
    case 3: return std::get<std::string>(value);
    case 4: {
        const auto &d = std::get<db::DateTime>(value);
        AppendDigits(scratch, std::abs(d.year), 4);
        scratch += '/';
        AppendDigits(scratch, std::abs(d.month), 2);
        scratch += '/';
        AppendDigits(scratch, std::abs(d.day), 2);
        if (d.hour != 0 || d.minute != 0 || d.second != 0) {
            scratch += ' ';
            AppendDigits(scratch, std::abs(d.hour), 2);
            scratch += ':';
            AppendDigits(scratch, std::abs(d.minute), 2);
            scratch += ':';
            AppendDigits(scratch, std::abs(d.second), 2);
        }
        break;
    }
    case 5: {
        static const char digits[] = "0123456789ABCDEF";
        for (std::uint8_t b : std::get<db::Bytes>(value).data) {
            scratch += digits[b >> 4];
            scratch += digits[b & 15];
        }
        break;
    }
    default: break;
    }
    return scratch;
}

// The cell text of a field value, as FieldCellText, without copying text values.
std::string_view CellText(int typeCode, const db::Variant &value, std::string &scratch, bool &hasText)
{
    switch (typeCode) {
    case 3:
    case 4:
    case 7:
        hasText = true;
        scratch.clear();
        if (const auto *i = std::get_if<std::int64_t>(&value)) {
            AppendInteger(scratch, *i);
            return scratch;
        }
        if (const auto *d = std::get_if<double>(&value)) {
            AppendRounded(scratch, *d);
            return scratch;
        }
        if (const auto *s = std::get_if<std::string>(&value)) {
            // A number that arrives as text is rounded like any other; other text shows as it is.
            char *end = nullptr;
            const double parsed = std::strtod(s->c_str(), &end);
            if (!s->empty() && end && *end == '\0') {
                AppendRounded(scratch, parsed);
                return scratch;
            }
        }
        return TextForm(value, scratch);
    case 8:
    case 10:
    case 11:
    case 12: hasText = true; return TextForm(value, scratch);
    default: hasText = false; return {};
    }
}

} // namespace

std::string VariantText(const db::Variant &value)
{
    std::string scratch;
    return std::string(TextForm(value, scratch));
}

std::string FieldCellText(int typeCode, const db::Variant &value, bool &hasText)
{
    std::string scratch;
    return std::string(CellText(typeCode, value, scratch, hasText));
}

void ClearGrid(TStringGrid &grid)
{
    grid.ClearCells();
    grid.SetColCount(2);
    grid.SetRowCount(2);
}

int FillGridFromDynaset(std::shared_ptr<db::OraDynaset> dynaset, TStringGrid &grid, const FillCancelled &cancelled)
{
    QPointer<TStringGrid> alive(&grid);
    int records = 0;
    {
        RedrawOff redrawOff(grid);
        ClearGrid(grid);
        const int fieldCount = dynaset->Fields().Count();
        grid.SetColCount(fieldCount + 1);
        std::vector<std::shared_ptr<db::OraField>> fields;
        fields.reserve(static_cast<std::size_t>(fieldCount));
        for (int i = 0; i < fieldCount; ++i) {
            fields.push_back(dynaset->Fields(i));
            grid.SetCells(i + 1, 0, fields.back()->name());
        }
        QElapsedTimer sinceRepaint;
        std::string scratch;  // cell texts are formatted here, its buffer reused for every cell
        while (!dynaset->Eof()) {
            const int r = grid.RowCount() - 1;
            scratch.clear();
            AppendInteger(scratch, r);
            grid.SetCells(0, r, scratch);
            for (int i = 0; i < fieldCount; ++i) {
                const db::OraField &field = *fields[static_cast<std::size_t>(i)];
                bool hasText = false;
                const std::string_view text = CellText(field.type(), field.Value(), scratch, hasText);
                if (hasText) grid.SetCells(i + 1, r, text);
            }
            ++records;
            dynaset->MoveNext();
            if (records % 100 == 0) {
                // Progress shows every 100 records, but at most ten times a second: painting a
                // screenful of cells 10,000 times would cost more than a million-row fill itself.
                if (!sinceRepaint.isValid() || sinceRepaint.elapsed() >= kRepaintIntervalMs) {
                    grid.SetRedraw(true);
                    grid.Repaint();
                    grid.SetRedraw(false);
                    sinceRepaint.start();
                }
                if (cancelled) {
                    // Let window messages run so that an Esc pressed meanwhile reaches the
                    // caller's check; the grid may be closed while they run.
                    QCoreApplication::processEvents();
                    if (!alive) return records;
                    if (cancelled(records)) break;
                    if (!alive) return records;
                }
            }
            if (!dynaset->Eof()) grid.SetRowCount(grid.RowCount() + 1);
        }
    }
    if (alive) AutoSizeGridColumns(grid);
    return records;
}

void AutoSizeGridColumns(TStringGrid &grid)
{
    // Setting each width separately keeps the default for columns that hold no text.
    const int defaultWidth = grid.DefaultColWidth();
    for (int c = 0; c < grid.ColCount(); ++c) {
        const std::size_t longest = grid.CellStore().MaxTextLength(c);
        grid.SetColWidths(c, longest > 0 ? static_cast<int>(std::min<std::size_t>(longest, 100000)) * 10 : defaultWidth);
    }
    grid.SetDefaultRowHeight(std::abs(QFontInfo(grid.font()).pixelSize()) + 4);
}

} // namespace app
