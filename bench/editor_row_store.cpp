// Benchmark of the editor's row store, three figures in one run:
//  - editor_load: loading a 100 MB file of 2,000,000 lines into an editor, against reading the
//    same file into one buffer and counting its line ends (best of three each);
//  - editor_edit_scaling: the time of a typing session (characters, Enter, Backspace) in the
//    middle of 2,000,000 rows against the same session in the middle of 1,000 rows;
//  - editor_memory_per_row_overhead: heap bytes the loaded text takes beyond the file's own
//    size, per row.
#include "editor/editor_model.h"
#include "editor/editor_strings.h"
#include "syntax/editor_fountain.h"
#include "bench/support/sql_text.h"

#include <QFile>
#include <QTemporaryDir>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A typing session at the middle row: characters, Enter every 16th step, Backspace every 7th.
double TypingSession(TEditorModel &editor, int steps)
{
    TEditorScreenStrings &store = editor.Store();
    const int row = store.Count() / 2;
    editor.SetCaretPosition(row, 3);
    editor.SetSelText("x");  // the gap moves to the middle once, before the clock starts
    const auto start = Clock::now();
    for (int i = 0; i < steps; ++i) {
        if (i % 16 == 15) {
            editor.SetSelText("\r\n");
        } else if (i % 7 == 6 && editor.Col() > 0) {
            const int r = editor.Row();
            std::string text(store.View(r));
            const int byte = editor.CaretByte();
            text.erase(static_cast<std::size_t>(byte - 1), 1);
            if (store.RowAttribute(r) == raCrlf)
                text += "\r\n";
            store.ReplaceRows(r, 1, text);
            editor.SetCaretPosition(r, byte - 1);
        } else {
            editor.SetSelText("y");
        }
    }
    return Seconds(start);
}

} // namespace

int main()
{
    constexpr int BigRows = 2000000;
    constexpr int SmallRows = 1000;
    QTemporaryDir dir;
    const QString bigName = dir.filePath("big.sql");
    const QString smallName = dir.filePath("small.sql");
    std::size_t fileSize = 0;
    {
        const std::string big = bench::makeSqlText(BigRows);
        fileSize = big.size();
        bench::writeFileOrExit(bigName, big);
        bench::writeFileOrExit(smallName, bench::makeSqlText(SmallRows));
    }
    std::printf("file: %.1f MB, %d lines\n", static_cast<double>(fileSize) / 1e6, BigRows);

    // Loading.
    double baseline = 1e9;
    double load = 1e9;
    std::size_t counted = 0;
    for (int round = 0; round < 3; ++round) {
        auto start = Clock::now();
        counted = bench::readAndCountLines(bigName);
        baseline = std::min(baseline, Seconds(start));
        auto editor = std::make_unique<TEditorModel>();
        start = Clock::now();
        editor->Lines()->LoadFromFile(bigName);
        load = std::min(load, Seconds(start));
        if (editor->RowCount() != static_cast<int>(counted)) {
            std::fprintf(stderr, "rows %d, lines %zu\n", editor->RowCount(), counted);
            return 1;
        }
    }
    std::printf("read and count: %.3f s, load: %.3f s\n", baseline, load);

    // Memory of a loaded text.
    malloc_trim(0);
    const std::size_t before = HeapInUse();
    auto loaded = std::make_unique<TEditorModel>();
    loaded->Lines()->LoadFromFile(bigName);
    const std::size_t used = HeapInUse() - before;
    const double overhead = (static_cast<double>(used) - static_cast<double>(fileSize)) / BigRows;
    std::printf("heap for the loaded text: %.1f MB (file %.1f MB)\n", static_cast<double>(used) / 1e6,
                static_cast<double>(fileSize) / 1e6);

    // Editing in the middle, with the editor's parser keeping the row states.
    TEditorFountain fountain;
    fountain.SetQuotation("'");
    fountain.SetCommenter("--");
    loaded->SetFountain(&fountain);
    TEditorModel small;
    small.Lines()->LoadFromFile(smallName);
    small.SetFountain(&fountain);
    // The view parses what it shows; here, the screens around the middle.
    loaded->Store().EnsureRowStates(BigRows / 2 + 100);
    small.Store().EnsureRowStates(SmallRows / 2 + 100);
    constexpr int Steps = 4000;
    double bigEdit = 1e9;
    double smallEdit = 1e9;
    for (int round = 0; round < 3; ++round) {
        bigEdit = std::min(bigEdit, TypingSession(*loaded, Steps));
        smallEdit = std::min(smallEdit, TypingSession(small, Steps));
    }
    std::printf("%d edits: %.3f ms in %d rows, %.3f ms in %d rows\n", Steps, bigEdit * 1e3, BigRows,
                smallEdit * 1e3, SmallRows);

    std::printf("ratio editor_load %.2f <= 4\n", load / baseline);
    std::printf("ratio editor_edit_scaling %.2f <= 2\n", bigEdit / smallEdit);
    std::printf("ratio editor_memory_per_row_overhead %.2f <= 32\n", overhead);
    return 0;
}
