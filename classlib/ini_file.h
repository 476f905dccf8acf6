// An ini file held in memory: read whole from disk, changed by section and key, written back
// whole. Text is code page 932 bytes; section and key names compare case-insensitively (a-z
// folded, trail bytes as they are).
//
// Reading is forgiving, because the file is written by hand as often as by Kestrim:
// - lines end with CR LF, LF or CR; the last line needs no line break;
// - "[name]" starts a section (blanks around the name are dropped; a "]" that is the second byte
//   of a double-byte character does not close it; text after the closing "]" is ignored); a line
//   starting with "[" but without its "]" is kept as other lines below;
// - "key=value" is an entry (blanks around key and value are dropped);
// - a section that appears twice is merged into its first occurrence; when a key appears twice
//   in a section the first occurrence is the one read, written, and listed; the later ones are
//   kept in the file untouched and removed together with the key by DeleteKey;
// - any other line (comments, garbage, entries before the first section) is kept as it stands,
//   in its place, and written back unchanged; blank lines are not kept.
// Writing produces "[Section]" lines, "key=value" lines and one blank line between sections,
// each line ending with CR LF, sections and keys in the order first seen.
#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct TIniEntry {
    std::string Key;
    std::string Value;
};

class TIniFile {
public:
    // An empty ini without a file (LoadFromText fills it; UpdateFile is not possible).
    TIniFile();
    // Reads fileName whole. A missing file gives an empty ini; a file that exists but cannot be
    // read also gives an empty ini, but then UpdateFile refuses to write (see there), so that the
    // unread content is never replaced by the few keys written since.
    explicit TIniFile(const QString &fileName);

    const QString &FileName() const { return FFileName; }
    // False when the file existed but could not be read.
    bool Loaded() const { return FLoaded; }
    // True once something was written, deleted or erased since reading.
    bool Modified() const { return FModified; }

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = {}) const;
    // Adds the section and the key as needed. Blanks around the three texts are dropped, as
    // reading would drop them. Names that the file could not hold as given are changed the same
    // way by every function here, so they still find what was written: line breaks become
    // blanks (also in the value), a "]" in a section name and a "=" in a key become "_", a stray
    // lead byte ending a section name becomes "?", and a "[" starting a key becomes "_" (such a
    // line would read as a section line or as no entry).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);

    // Section names in file order.
    std::vector<std::string> ReadSections() const;
    // Keys of a section in file order (empty when the section does not exist).
    std::vector<std::string> ReadSection(std::string_view section) const;
    // Entries of a section in file order as "key=value" texts, and as key/value pairs.
    std::vector<std::string> ReadSectionValues(std::string_view section) const;
    std::vector<TIniEntry> ReadSectionEntries(std::string_view section) const;

    // Replaces the content with the parse of text / gives the text that UpdateFile writes.
    void LoadFromText(std::string_view text);
    std::string ToText() const;

    // Writes the ini to FileName through a temporary file in the same folder that then replaces
    // the old file, so a failed write leaves the old file as it was. Raises EFCreateError when the
    // file cannot be written, EFOpenError when the file could not be read when it was opened.
    void UpdateFile();

private:
    struct Line {
        bool IsEntry = false;
        std::string Key;   // entries only
        std::string Value; // the value, or the whole line for any other line
    };
    struct Section {
        std::string Name;
        bool HasHeader = true; // false for the lines before the first section
        std::vector<Line> Lines;
    };

    Section *FindSection(std::string_view name);
    const Section *FindSection(std::string_view name) const;
    Section &AddSection(std::string name);
    void RebuildIndex();
    void ParseLine(std::string_view line, Section *&current);

    QString FFileName;
    bool FLoaded = true;
    bool FModified = false;
    std::vector<Section> FSections;
    // Upper-cased section name -> index in FSections, so that a file of many sections reads in
    // linear time.
    std::unordered_map<std::string, std::size_t> FIndex;
};
