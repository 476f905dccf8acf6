// Lays out query results the way Oracle users expect to read them: one blank between
// columns, numbers right-aligned in NUMWIDTH, text left-aligned in its declared length with the
// heading cut to it, an underline of "-" per column, rows wider than LINESIZE continued on
// further lines, headings repeated every PAGESIZE lines; or comma-separated values with quoted
// text for SET MARKUP CSV ON. Takes column descriptions and cell texts, not a cursor, so that
// it can be checked without a database.
#pragma once

#include "localdb/client/client_settings.h"
#include "localdb/client/value_text.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace localdb::client {

using Cells = std::vector<std::optional<std::string>>;  // one row; nullopt is NULL

struct DisplayColumn {
    std::string heading;
    ColumnKind kind = ColumnKind::Text;
    int width = 1;
    char binary = 0;  // 'F' BINARY_FLOAT, 'D' BINARY_DOUBLE: fitted in their own scientific form
};

// The declared width of a text or binary column from its Oracle type ("VARCHAR2(10)" -> 10,
// "RAW(4)" -> 8 hexadecimal digits); 0 when the type gives none worth trusting.
int declaredTextWidth(const std::string &oracleType, ColumnKind kind);

// Column widths for a result: sample holds the first rows, which size the columns whose type
// gives no useful length (LONG, CLOB, expressions the engine types as VARCHAR2(4000)).
std::vector<DisplayColumn> layoutColumns(const std::vector<Column> &columns, const std::vector<Cells> &sample,
                                         const ClientSettings &settings, int dateWidth);

// How many rows to read before sizing the columns: the first page, or a fixed number of rows
// when headings never repeat.
size_t sampleRows(const ClientSettings &settings);

class ResultFormatter {
public:
    ResultFormatter(std::vector<DisplayColumn> columns, const ClientSettings &settings);

    // Heading and underline lines, one pair per line a wide row takes.
    std::vector<std::string> headingLines() const;
    // The lines one row takes (several when values wrap or the row is wider than the line).
    std::vector<std::string> rowLines(const Cells &cells) const;

    std::string csvHeading() const;
    std::string csvRow(const Cells &cells) const;
    void csvRow(const Cells &cells, std::string &line) const;  // into a line whose storage is reused

private:
    std::string cellPiece(size_t column, const std::string &piece) const;

    std::vector<DisplayColumn> columns_;
    ClientSettings settings_;
    std::vector<std::vector<size_t>> segments_;  // the columns printed on each line of a row
};

// Prints rows page by page: a blank line and the headings at the top of each page; nothing but
// rows when PAGESIZE is 0; the CSV heading once in CSV mode.
class PagedPrinter {
public:
    using Emit = std::function<void(const std::string &line)>;
    PagedPrinter(const ResultFormatter &formatter, const ClientSettings &settings, Emit emit);

    void addRow(const Cells &cells);
    // Closes the listing: the blank line after the last row. Returns the number of rows.
    long long finish();

private:
    void startPage();

    const ResultFormatter &formatter_;
    const ClientSettings &settings_;
    Emit emit_;
    std::string csvLine_;  // the CSV row being printed, kept for its storage
    long long rows_ = 0;
    int linesOnPage_ = 0;
    int rowsOnPage_ = 0;
    bool started_ = false;
};

// Removes trailing blanks, as the client does for every line it prints.
std::string trimRight(std::string line);

}  // namespace localdb::client
