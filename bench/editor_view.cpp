// Benchmark of the editor widget, three figures in one run:
//  - editor_view_paint_far: painting one screen at row 1,000,000 of a 2,000,000-row text against
//    painting it at row 0 (the row states in view already computed, as after scrolling there);
//  - editor_view_typing_far: typing one character in row 1,000,000 of that text, the repaint
//    included, against the same in a 1,000-row text;
//  - editor_view_load: loading a 100 MB file into a shown editor and painting its first screen,
//    against reading the file and counting its line ends.
#include "editor/editor.h"
#include "bench/support/sql_text.h"

#include <QApplication>
#include <QImage>
#include <QFile>
#include <QTemporaryDir>

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

// Paints the whole editor once, as a paint request for its client area does.
void Paint(TEditor &editor)
{
    static QImage image;
    if (image.size() != editor.size())
        image = QImage(editor.size(), QImage::Format_ARGB32_Premultiplied);
    editor.render(&image);
}

void Dress(TEditor &editor)
{
    editor.resize(900, 700);
    editor.View()->SetCommenter(QStringLiteral("--"));
    editor.View()->SetQuotation(QStringLiteral("'"));
    editor.View()->Colors()->Str()->SetColor(clMaroon);
    editor.View()->Colors()->Comment()->SetColor(clGreen);
    editor.View()->Colors()->Int()->SetColor(clPurple);
    editor.Leftbar()->SetVisible(true);
    editor.Ruler()->SetVisible(true);
    editor.Marks()->RetMark()->SetVisible(true);
    editor.show();
}

// Best time of one screen's paint, over rounds of repaints.
double PaintTime(TEditor &editor)
{
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        constexpr int Paints = 20;
        const auto start = Clock::now();
        for (int i = 0; i < Paints; ++i)
            Paint(editor);
        best = std::min(best, Seconds(start) / Paints);
    }
    return best;
}

// Best time of typing one character at the caret, with the repaint.
double TypingTime(TEditor &editor, int row)
{
    editor.Model().SetCaretPosition(row, 5);
    Paint(editor);
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        constexpr int Keys = 40;
        const auto start = Clock::now();
        for (int i = 0; i < Keys; ++i) {
            editor.Model().TypeText("x");
            Paint(editor);
        }
        best = std::min(best, Seconds(start) / Keys);
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int BigRows = 2000000;
    constexpr int FarRow = 1000000;
    QTemporaryDir dir;
    const QString bigName = dir.filePath(QStringLiteral("big.sql"));
    std::string big = bench::makeSqlText(BigRows);
    bench::writeFileOrExit(bigName, big);
    std::printf("file: %.1f MB, %d lines\n", static_cast<double>(big.size()) / 1e6, BigRows);

    // Loading into a shown editor and painting its first screen.
    double baseline = 1e9;
    double load = 1e9;
    for (int round = 0; round < 3; ++round) {
        auto start = Clock::now();
        const std::size_t lines = bench::readAndCountLines(bigName);
        baseline = std::min(baseline, Seconds(start));
        TEditor editor;
        Dress(editor);
        start = Clock::now();
        editor.Lines()->LoadFromFile(bigName);
        Paint(editor);
        load = std::min(load, Seconds(start));
        if (editor.RowCount() != static_cast<int>(lines))
            return 1;
    }
    std::printf("read and count: %.3f s, load and paint: %.3f s\n", baseline, load);

    // Painting near and far.
    TEditor editor;
    Dress(editor);
    editor.SetText(big);
    big.clear();
    big.shrink_to_fit();
    const double nearPaint = PaintTime(editor);
    auto start = Clock::now();
    editor.SetTopRow(FarRow);
    Paint(editor);
    std::printf("first paint at row %d (computing the row states above it): %.1f ms\n", FarRow, Seconds(start) * 1e3);
    const double farPaint = PaintTime(editor);
    std::printf("one screen: %.3f ms at row 0, %.3f ms at row %d\n", nearPaint * 1e3, farPaint * 1e3, FarRow);

    // Typing far down against typing in a short text.
    editor.Model().SetCaretPosition(FarRow + 10, 0);
    const double farTyping = TypingTime(editor, FarRow + 10);
    TEditor small;
    Dress(small);
    small.SetText(bench::makeSqlText(1000));
    small.SetTopRow(480);
    const double smallTyping = TypingTime(small, 500);
    std::printf("one key with its repaint: %.3f ms in row %d, %.3f ms in 1,000 rows\n", farTyping * 1e3, FarRow + 10,
                smallTyping * 1e3);

    std::printf("ratio editor_view_paint_far %.2f <= 1.5\n", farPaint / nearPaint);
    std::printf("ratio editor_view_typing_far %.2f <= 2\n", farTyping / smallTyping);
    std::printf("ratio editor_view_load %.2f <= 4\n", load / baseline);
    return 0;
}
