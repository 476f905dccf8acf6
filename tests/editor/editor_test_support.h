// Helpers shared by the editor's tests: rows drawn as text, and a display that records what the
// model asked it to repaint.
#pragma once

#include "editor/editor_model.h"
#include "editor/editor_strings.h"

#include <string>
#include <vector>

namespace editor_test {

// Rows drawn as "text" followed by "/" (raCrlf), "~" (raWrapped) or "$" (raEof), joined by "|".
inline std::string Rows(const TRowAttributeStringList &rows)
{
    std::string out;
    for (int r = 0; r < rows.Count(); ++r) {
        if (r)
            out += '|';
        out += rows.View(r);
        switch (rows.RowAttribute(r)) {
        case raCrlf: out += '/'; break;
        case raWrapped: out += '~'; break;
        case raEof: out += '$'; break;
        default: out += '?'; break;
        }
    }
    return out;
}

inline std::string Rows(const TEditorModel &editor) { return Rows(editor.Store()); }

inline std::string Repeat(const std::string &s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

// Code page 932 characters used throughout.
inline const std::string Hira = "\x82\xA0";    // a hiragana letter (2 columns)
inline const std::string Hyou = "\x95\x5C";    // a kanji whose trail byte is a backslash
inline const std::string Maru = "\x81\x42";    // the ideographic full stop
inline const std::string Kakko = "\x81\x69";   // the full-width opening parenthesis
inline const std::string Kagi = "\x81\x76";    // the closing corner bracket
inline const std::string So = "\x83\x5C";      // a katakana letter whose trail byte is a backslash
inline const std::string Zenkaku = "\x81\x40"; // the full-width space

// A display that records repaint requests and can be given a screen height.
class TRecordingDisplay : public TEditorDisplay {
public:
    int Rows = 10;
    int Changes = 0;
    int StateRepaints = 0;
    int MarkRepaints = 0;
    TEditorChangeExtent LastExtent;

    int VisibleRows() const override { return Rows; }
    void TextChanged(const TEditorChangeExtent &extent) override
    {
        ++Changes;
        LastExtent = extent;
    }
    void RowStateChanged(int) override { ++StateRepaints; }
    void RowMarksChanged(int) override { ++MarkRepaints; }
};

} // namespace editor_test
