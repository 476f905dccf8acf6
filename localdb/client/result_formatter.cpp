// Layout rules: a number column is as wide as NUMWIDTH or its heading, whichever is wider; a
// text or date column is as wide as its values may be and its heading is cut to that; no
// column is wider than LINESIZE. A row wider than LINESIZE continues on further lines, and the
// headings follow the same split: heading and underline for the first line's columns, then for
// the next line's.
#include "localdb/client/result_formatter.h"

#include "localdb/client/command_names.h"
#include "localdb/client/text_width.h"

#include <algorithm>
#include <cctype>

namespace localdb::client {
namespace {

// Widths at or above this come from expressions the engine could not size; the first rows
// size such columns instead of filling every line with blanks.
constexpr int kUnsizedWidth = 4000;

// Rows read ahead to size columns when headings never repeat (PAGESIZE 0).
constexpr size_t kSampleWithoutPages = 100;

void appendCsvQuoted(std::string &out, const std::string &text, bool quote) {
    if (!quote) {
        out += text;
        return;
    }
    out += '"';
    for (size_t start = 0;;) {
        const size_t quoteAt = text.find('"', start);
        if (quoteAt == std::string::npos) {
            out.append(text, start);
            break;
        }
        out.append(text, start, quoteAt + 1 - start);
        out += '"';
        start = quoteAt + 1;
    }
    out += '"';
}

std::string csvQuoted(const std::string &text, bool quote) {
    std::string out;
    appendCsvQuoted(out, text, quote);
    return out;
}

}  // namespace

std::string trimRight(std::string line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.pop_back();
    return line;
}

size_t sampleRows(const ClientSettings &settings) {
    return settings.pageSize > 0 && !settings.markupCsv ? static_cast<size_t>(settings.pageSize) : kSampleWithoutPages;
}

int declaredTextWidth(const std::string &oracleType, ColumnKind kind) {
    const size_t open = oracleType.find('(');
    if (open == std::string::npos)
        return 0;
    // Timestamps and intervals show as text whose width their precision does not give.
    if (oracleType.rfind("TIMESTAMP", 0) == 0 || oracleType.rfind("INTERVAL", 0) == 0)
        return 0;
    size_t i = open + 1;
    long long n = 0;
    while (i < oracleType.size() && std::isdigit(static_cast<unsigned char>(oracleType[i])) && n < 1000000)
        n = n * 10 + (oracleType[i++] - '0');
    if (n <= 0 || n >= kUnsizedWidth)
        return 0;
    return static_cast<int>(kind == ColumnKind::Binary ? n * 2 : n);
}

std::vector<DisplayColumn> layoutColumns(const std::vector<Column> &columns, const std::vector<Cells> &sample,
                                         const ClientSettings &settings, int dateWidth) {
    std::vector<DisplayColumn> out;
    out.reserve(columns.size());
    const int lineSize = std::max(settings.lineSize, 1);
    for (size_t c = 0; c < columns.size(); ++c) {
        DisplayColumn d;
        d.heading = columns[c].name;
        d.kind = columnKind(columns[c]);
        if (isBinaryNumberColumn(columns[c]))
            d.binary = columns[c].oracleType == "BINARY_FLOAT" ? 'F' : 'D';
        const int headingWidth = displayWidth(d.heading);
        switch (d.kind) {
        case ColumnKind::Number:
            d.width = std::max(settings.numWidth, headingWidth);
            break;
        case ColumnKind::Date:
            d.width = dateWidth;
            break;
        case ColumnKind::Text:
        case ColumnKind::Binary:
        case ColumnKind::Long: {
            int width = d.kind == ColumnKind::Long ? 0 : declaredTextWidth(columns[c].oracleType, d.kind);
            if (width == 0) {
                // Sized by the values at hand, and by the heading so that it stays readable.
                width = std::max(headingWidth, 1);
                for (const Cells &row : sample)
                    if (c < row.size() && row[c])
                        for (const std::string &piece : wrapToWidth(*row[c], kUnsizedWidth))
                            width = std::max(width, displayWidth(piece));
                if (d.kind == ColumnKind::Long)
                    width = std::min(width, settings.longWidth);
            }
            d.width = width;
            break;
        }
        }
        // COLUMN ... FORMAT An and HEADING override what the result says.
        if (auto it = settings.columns.find(upperAscii(columns[c].name)); it != settings.columns.end()) {
            if (it->second.width && d.kind != ColumnKind::Number)
                d.width = *it->second.width;
            if (it->second.heading) {
                d.heading = *it->second.heading;
                if (d.kind == ColumnKind::Number)
                    d.width = std::max(d.width, displayWidth(d.heading));
            }
        }
        d.width = std::clamp(d.width, 1, lineSize);
        out.push_back(std::move(d));
    }
    return out;
}

ResultFormatter::ResultFormatter(std::vector<DisplayColumn> columns, const ClientSettings &settings)
    : columns_(std::move(columns)), settings_(settings) {
    const int lineSize = std::max(settings_.lineSize, 1);
    const int sep = displayWidth(settings_.colSep);
    int used = 0;
    for (size_t c = 0; c < columns_.size(); ++c) {
        const int need = columns_[c].width + (segments_.empty() || segments_.back().empty() ? 0 : sep);
        if (segments_.empty() || (used + need > lineSize && !segments_.back().empty())) {
            segments_.emplace_back();
            used = 0;
        }
        used += segments_.back().empty() ? columns_[c].width : columns_[c].width + sep;
        segments_.back().push_back(c);
    }
}

std::vector<std::string> ResultFormatter::headingLines() const {
    std::vector<std::string> lines;
    for (const std::vector<size_t> &segment : segments_) {
        std::string heading;
        std::string underline;
        for (size_t k = 0; k < segment.size(); ++k) {
            const DisplayColumn &d = columns_[segment[k]];
            if (k > 0) {
                heading += settings_.colSep;
                underline += settings_.colSep;
            }
            const std::string_view text = leadingColumns(d.heading, d.width);
            heading += d.kind == ColumnKind::Number ? padLeft(text, d.width) : padRight(text, d.width);
            underline.append(static_cast<size_t>(d.width), '-');
        }
        lines.push_back(trimRight(heading));
        lines.push_back(trimRight(underline));
    }
    return lines;
}

std::string ResultFormatter::cellPiece(size_t column, const std::string &piece) const {
    const DisplayColumn &d = columns_[column];
    return d.kind == ColumnKind::Number ? padLeft(piece, d.width) : padRight(piece, d.width);
}

std::vector<std::string> ResultFormatter::rowLines(const Cells &cells) const {
    std::vector<std::string> lines;
    for (const std::vector<size_t> &segment : segments_) {
        // Each value of this line of the row, cut into pieces that fit its column.
        std::vector<std::vector<std::string>> pieces;
        size_t height = 1;
        for (size_t c : segment) {
            const DisplayColumn &d = columns_[c];
            const bool isNull = c >= cells.size() || !cells[c];
            std::string text = isNull ? settings_.nullText : *cells[c];
            std::vector<std::string> p;
            if (d.kind == ColumnKind::Number && !isNull) {
                p.push_back(d.binary ? fitBinaryNumberText(text, d.binary == 'F', d.width) : fitNumberText(text, d.width));
            } else {
                if (d.kind == ColumnKind::Long && displayWidth(text) > settings_.longWidth)
                    text = std::string(leadingColumns(text, settings_.longWidth));
                p = wrapToWidth(text, d.width);
                if (!settings_.wrap)
                    p.resize(1);
            }
            height = std::max(height, p.size());
            pieces.push_back(std::move(p));
        }
        for (size_t line = 0; line < height; ++line) {
            std::string text;
            for (size_t k = 0; k < segment.size(); ++k) {
                if (k > 0)
                    text += settings_.colSep;
                const std::vector<std::string> &p = pieces[k];
                text += cellPiece(segment[k], line < p.size() ? p[line] : std::string());
            }
            lines.push_back(trimRight(text));
        }
    }
    return lines;
}

std::string ResultFormatter::csvHeading() const {
    std::string line;
    for (size_t c = 0; c < columns_.size(); ++c) {
        if (c > 0)
            line += settings_.csvDelimiter;
        line += csvQuoted(columns_[c].heading, settings_.csvQuote);
    }
    return line;
}

std::string ResultFormatter::csvRow(const Cells &cells) const {
    std::string line;
    csvRow(cells, line);
    return line;
}

void ResultFormatter::csvRow(const Cells &cells, std::string &line) const {
    line.clear();
    for (size_t c = 0; c < columns_.size(); ++c) {
        if (c > 0)
            line += settings_.csvDelimiter;
        if (c >= cells.size() || !cells[c])
            continue;
        if (columns_[c].kind == ColumnKind::Number)
            line += *cells[c];
        else
            appendCsvQuoted(line, *cells[c], settings_.csvQuote);
    }
}

PagedPrinter::PagedPrinter(const ResultFormatter &formatter, const ClientSettings &settings, Emit emit)
    : formatter_(formatter), settings_(settings), emit_(std::move(emit)) {}

void PagedPrinter::startPage() {
    linesOnPage_ = 0;
    rowsOnPage_ = 0;
    if (settings_.markupCsv) {
        if (!started_ && settings_.heading)
            emit_(formatter_.csvHeading());
        started_ = true;
        return;
    }
    started_ = true;
    if (settings_.pageSize == 0)
        return;
    emit_("");
    linesOnPage_ = 1;
    if (settings_.heading)
        for (const std::string &line : formatter_.headingLines()) {
            emit_(line);
            ++linesOnPage_;
        }
}

void PagedPrinter::addRow(const Cells &cells) {
    if (!started_)
        startPage();
    if (settings_.markupCsv) {
        formatter_.csvRow(cells, csvLine_);
        emit_(csvLine_);
        ++rows_;
        return;
    }
    const std::vector<std::string> lines = formatter_.rowLines(cells);
    if (settings_.pageSize > 0 && rowsOnPage_ > 0 &&
        linesOnPage_ + static_cast<int>(lines.size()) > settings_.pageSize)
        startPage();
    for (const std::string &line : lines)
        emit_(line);
    linesOnPage_ += static_cast<int>(lines.size());
    ++rowsOnPage_;
    ++rows_;
}

long long PagedPrinter::finish() {
    if (rows_ > 0 && !settings_.markupCsv)
        emit_("");
    return rows_;
}

}  // namespace localdb::client
