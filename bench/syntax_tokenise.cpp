// bench_syntax: tokenises a generated 50 MB SQL text with the worksheet's settings (commenter
// "--", bracket "/*" "*/", quotation "'", the Oracle keywords as reserved words) and compares the
// time with a plain scan of the same bytes for line ends (splitting the text into rows, which any
// loading of the text does anyway).
//
// Tokenising is the editor's full state computation: every row parsed from the state carried
// from the row before (AdvanceRowState), which scans every token of the text. Painting every
// row besides (tokens again, each with its colour and reserved word lookup) is measured too and
// printed for information.
//
// The machine is shared: times are the CPU time of the measuring thread, and the text is measured
// in chunks, each chunk's baseline and parser runs interleaved and the fastest of several runs
// kept, so that a busy spell hits both alike.
#include "syntax/editor_fountain.h"
#include "syntax/oracle_reserved_words.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <time.h>

namespace {

constexpr std::size_t kTextBytes = 50u << 20;
constexpr int kRepeats = 5;

class TRowViews : public TParserRowList {
public:
    int RowCount() const override { return static_cast<int>(Rows.size()); }
    std::string_view RowText(int row) const override { return Rows[static_cast<std::size_t>(row)]; }
    TRowAttribute RowAttribute(int row) const override
    {
        return row + 1 == RowCount() ? raEof : raCrlf;
    }
    std::vector<std::string_view> Rows;
};

// A mix of the statements a worksheet holds: queries, DML, PL/SQL, line and block comments
// (some over several lines), quoted strings, numbers and Japanese text in code page 932.
std::string GenerateSql(std::size_t bytes)
{
    const std::vector<std::string> identifiers{"empno", "ename", "deptno", "sal", "comm", "hiredate",
                                               "e", "d", "emp", "dept", "v_total", "x1", "status_code"};
    const std::vector<std::string> fragments{
        "SELECT e.empno, e.ename, d.dname FROM emp e, dept d WHERE e.deptno = d.deptno",
        "   AND e.sal BETWEEN 1000 AND 2500.50 -- salary band",
        "ORDER BY e.ename, 2 DESC;",
        "INSERT INTO emp (empno, ename, sal) VALUES (7999, 'O''Brien', 1.5e+3);",
        "UPDATE emp SET comm = NVL(comm, 0) * 1.1 WHERE deptno IN (10, 20, 30);",
        "/* \x95\x94\x8f\x90\x82\xf0\x8c\x8b\x8d\x87\x82\xb7\x82\xe9\r\n   over two rows */ COMMIT;",  // 部署を結合する
        "BEGIN dbms_output.put_line('\x8f\x88\x97\x9d\x8a\xae\x97\xb9: ' || TO_CHAR(SYSDATE, 'YYYY/MM/DD')); END;",
        "DELETE FROM log_table WHERE created < SYSDATE - 30; -- \x8c\xc3\x82\xa2\x83\x8d\x83\x4f",
        "CREATE OR REPLACE PROCEDURE p_calc(p_id IN NUMBER, p_out OUT VARCHAR2) IS",
        "  v_total NUMBER := 0;",
        "  FOR r IN (SELECT sal FROM emp WHERE deptno = p_id) LOOP v_total := v_total + r.sal; END LOOP;",
    };
    std::mt19937 random(7);
    std::string text;
    text.reserve(bytes + 256);
    while (text.size() < bytes) {
        if (random() % 4 == 0) {
            // A line of its own: identifiers, operators and numbers in a random order.
            std::string line = "  ";
            const int words = 3 + static_cast<int>(random() % 8);
            for (int i = 0; i < words; ++i) {
                line += identifiers[random() % identifiers.size()];
                line += (random() % 3 == 0) ? " = " : ", ";
                if (random() % 4 == 0)
                    line += std::to_string(random() % 100000) + " ";
            }
            text += line;
        } else {
            text += fragments[random() % fragments.size()];
        }
        text += "\r\n";
    }
    return text;
}

// The baseline: split the text into rows at line ends.
std::vector<std::string_view> SplitRows(std::string_view text)
{
    std::vector<std::string_view> rows;
    std::size_t start = 0;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '\n' || c == '\r') {
            rows.push_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        rows.push_back(text.substr(start));
    return rows;
}

// Carries the state over rows [first, last): the tokenising pass.
TRowParseState Tokenise(TFountainParser &parser, const TRowViews &rows, int first, int last,
                        TRowParseState state)
{
    for (int row = first; row < last; ++row)
        parser.AdvanceRowState(row, rows, state);
    return state;
}

// Paints rows [first, last) from their states and carries the state on: the whole colouring.
TRowParseState Colour(TFountainParser &parser, const TRowViews &rows, int first, int last,
                      TRowParseState state, std::uint64_t &tokens)
{
    for (int row = first; row < last; ++row) {
        parser.StartRow(rows.RowText(row), state);
        while (parser.NextToken() != ftEnd) {
            ++tokens;
            parser.TokenColor();
        }
        parser.AdvanceRowState(row, rows, state);
    }
    return state;
}

// CPU time of this thread: what the work itself cost, whoever else shares the machine.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <class F>
double Seconds(F &&work)
{
    const double start = ThreadSeconds();
    work();
    return ThreadSeconds() - start;
}

} // namespace

int main()
{
    const std::string text = GenerateSql(kTextBytes);

    TEditorFountain fountain;
    fountain.SetCommenter("--");
    fountain.SetQuotation("'");
    fountain.Brackets()->AddBracket("/*", "*/");
    TStringList words;
    for (const std::string &word : syntax::OracleReservedWords())
        words.Add(word);
    fountain.SetReserveWordList(&words);

    TRowViews rows;
    rows.Rows = SplitRows(text);
    const int rowCount = rows.RowCount();
    const auto parser = fountain.CreateParser();

    constexpr int kChunks = 100;
    double scan = 0;
    double tokenise = 0;
    double colour = 0;
    std::uint64_t tokens = 0;
    TRowParseState state;
    for (int chunk = 0; chunk < kChunks; ++chunk) {
        const int first = static_cast<int>(static_cast<long long>(rowCount) * chunk / kChunks);
        const int last = static_cast<int>(static_cast<long long>(rowCount) * (chunk + 1) / kChunks);
        if (first == last)
            continue;
        const char *begin = rows.Rows[static_cast<std::size_t>(first)].data();
        const std::string_view lastRow = rows.Rows[static_cast<std::size_t>(last - 1)];
        const std::string_view bytes(begin, static_cast<std::size_t>(lastRow.data() + lastRow.size() - begin) + 2);
        double bestScan = 1e30;
        double bestTokenise = 1e30;
        double bestColour = 1e30;
        TRowParseState next;
        for (int repeat = 0; repeat < kRepeats; ++repeat) {
            std::size_t found = 0;
            bestScan = std::min(bestScan, Seconds([&] { found = SplitRows(bytes).size(); }));
            if (found < static_cast<std::size_t>(last - first))
                std::abort();
            bestTokenise = std::min(bestTokenise, Seconds([&] { next = Tokenise(*parser, rows, first, last, state); }));
            std::uint64_t counted = 0;
            bestColour = std::min(bestColour, Seconds([&] { Colour(*parser, rows, first, last, state, counted); }));
            if (repeat == 0)
                tokens += counted;
        }
        scan += bestScan;
        tokenise += bestTokenise;
        colour += bestColour;
        state = next;
    }

    const double mb = static_cast<double>(text.size()) / (1 << 20);
    std::printf("text: %.1f MB, %d rows, %llu tokens\n", mb, rowCount, static_cast<unsigned long long>(tokens));
    std::printf("line-end scan:     %7.1f ms (%5.0f MB/s)\n", scan * 1e3, mb / scan);
    std::printf("tokenising:        %7.1f ms (%5.0f MB/s)\n", tokenise * 1e3, mb / tokenise);
    std::printf("painting as well:  %7.1f ms (%5.0f MB/s, %.2f times the scan)\n", colour * 1e3, mb / colour,
                colour / scan);
    std::printf("ratio syntax_tokenise %.2f <= 8\n", tokenise / scan);
    return 0;
}
