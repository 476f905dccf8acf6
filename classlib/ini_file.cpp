// The in-memory ini file: parsing, lookup by case-insensitive names, and the whole-file rewrite
// through a temporary file.
#include "classlib/ini_file.h"

#include "classlib/cp932.h"
#include "classlib/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unordered_set>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Drops blanks around text. A blank after a stray lead byte belongs to that byte's character and
// stays, so a trimmed text never ends in half a character.
std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()) && !cp932::IsTrailByteAt(text, text.size() - 1))
        text.remove_suffix(1);
    return text;
}

// A text made safe to stand on one line of the file.
std::string OneLine(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

// Section and key names as the file can hold them. Names read from a file come out unchanged;
// names given by callers are changed where they would not read back as written: line breaks,
// a "]" in a section name (it would close the name early), a stray lead byte at the end of a
// section name (it would swallow the closing "]"), a "=" in a key, and a "[" starting a key (the
// line would read as a section, or as an unclosed one, which is no entry).
std::string NormalSection(std::string_view name)
{
    std::string out(Trim(OneLine(name)));
    for (std::size_t i = 0; i < out.size(); i = cp932::NextCharPos(out, i)) {
        if (out[i] == ']') out[i] = '_';
        if (i + 1 == out.size() && cp932::IsLeadByte(out[i])) out[i] = '?';
    }
    return out;
}

std::string NormalKey(std::string_view key)
{
    std::string out(Trim(OneLine(key)));
    for (char &c : out)
        if (c == '=') c = '_';
    if (!out.empty() && out.front() == '[') out.front() = '_';
    return out;
}

std::string IndexKey(std::string_view name) { return cp932::UpperCase(name); }

} // namespace

TIniFile::TIniFile() = default;

TIniFile::TIniFile(const QString &fileName) : FFileName(fileName)
{
    QFile file(fileName);
    if (!file.exists()) return;
    if (!file.open(QIODevice::ReadOnly)) {
        FLoaded = false;
        return;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        FLoaded = false;
        return;
    }
    LoadFromText(std::string_view(content.constData(), static_cast<std::size_t>(content.size())));
}

void TIniFile::LoadFromText(std::string_view text)
{
    FSections.clear();
    FIndex.clear();
    Section *current = nullptr;
    // CR and LF never occur as the second byte of a double-byte character, so the text can be
    // split into lines byte by byte.
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        ParseLine(text.substr(start, end - start), current);
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

void TIniFile::ParseLine(std::string_view line, Section *&current)
{
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty()) return;

    if (trimmed.front() == '[') {
        // "[" and "]" can be trail bytes, so the closing bracket is found character by character.
        for (std::size_t i = 1; i < trimmed.size(); i = cp932::NextCharPos(trimmed, i)) {
            if (trimmed[i] != ']') continue;
            const std::string name(Trim(trimmed.substr(1, i - 1)));
            current = FindSection(name);
            if (current == nullptr) current = &AddSection(name);
            return;
        }
        // No closing bracket: kept below as it stands, but never read as an entry.
    }

    if (current == nullptr) {
        // Lines before the first section are kept in a section without a header.
        Section preamble;
        preamble.HasHeader = false;
        FSections.push_back(std::move(preamble));
        current = &FSections.back();
    }
    Line stored;
    // "=" is never the second byte of a valid double-byte character.
    const std::size_t equals = trimmed.find('=');
    if (equals != std::string_view::npos && current->HasHeader && trimmed.front() != '[') {
        stored.IsEntry = true;
        stored.Key = std::string(Trim(trimmed.substr(0, equals)));
        stored.Value = std::string(Trim(trimmed.substr(equals + 1)));
    } else {
        stored.Value = std::string(line);
    }
    current->Lines.push_back(std::move(stored));
}

TIniFile::Section &TIniFile::AddSection(std::string name)
{
    FIndex.emplace(IndexKey(name), FSections.size());
    Section section;
    section.Name = std::move(name);
    FSections.push_back(std::move(section));
    return FSections.back();
}

void TIniFile::RebuildIndex()
{
    FIndex.clear();
    for (std::size_t i = 0; i < FSections.size(); ++i)
        if (FSections[i].HasHeader) FIndex.emplace(IndexKey(FSections[i].Name), i);
}

TIniFile::Section *TIniFile::FindSection(std::string_view name)
{
    const auto found = FIndex.find(IndexKey(NormalSection(name)));
    return found == FIndex.end() ? nullptr : &FSections[found->second];
}

const TIniFile::Section *TIniFile::FindSection(std::string_view name) const
{
    return const_cast<TIniFile *>(this)->FindSection(name);
}

namespace {

// First entry of key in lines, or lines.end(); works on const and non-const vectors.
template <class Lines>
auto FindEntry(Lines &lines, std::string_view key)
{
    const std::string name = NormalKey(key);
    auto it = lines.begin();
    while (it != lines.end() && !(it->IsEntry && cp932::SameText(it->Key, name))) ++it;
    return it;
}

} // namespace

bool TIniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const
{
    const Section *found = FindSection(section);
    return found != nullptr && FindEntry(found->Lines, key) != found->Lines.end();
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const
{
    const Section *found = FindSection(section);
    if (found == nullptr) return std::string(defaultValue);
    const auto entry = FindEntry(found->Lines, key);
    return entry == found->Lines.end() ? std::string(defaultValue) : entry->Value;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string sectionName = NormalSection(section);
    const std::string keyName = NormalKey(key);
    Section *target = FindSection(sectionName);
    if (target == nullptr) target = &AddSection(sectionName);
    auto entry = FindEntry(target->Lines, keyName);
    if (entry == target->Lines.end()) {
        Line line;
        line.IsEntry = true;
        line.Key = keyName;
        target->Lines.push_back(std::move(line));
        entry = target->Lines.end() - 1;
    }
    // Blanks around a value are dropped on reading, so they are not written either.
    entry->Value = std::string(Trim(OneLine(value)));
    FModified = true;
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key)
{
    Section *target = FindSection(section);
    if (target == nullptr) return;
    for (auto it = target->Lines.begin(); (it = FindEntry(target->Lines, key)) != target->Lines.end();) {
        target->Lines.erase(it);
        FModified = true;
    }
}

void TIniFile::EraseSection(std::string_view section)
{
    const auto found = FIndex.find(IndexKey(NormalSection(section)));
    if (found == FIndex.end()) return;
    FSections.erase(FSections.begin() + static_cast<std::ptrdiff_t>(found->second));
    RebuildIndex();
    FModified = true;
}

std::vector<std::string> TIniFile::ReadSections() const
{
    std::vector<std::string> names;
    for (const Section &section : FSections)
        if (section.HasHeader) names.push_back(section.Name);
    return names;
}

std::vector<TIniEntry> TIniFile::ReadSectionEntries(std::string_view section) const
{
    std::vector<TIniEntry> entries;
    const Section *found = FindSection(section);
    if (found == nullptr) return entries;
    std::unordered_set<std::string> seen;
    for (const Line &line : found->Lines) {
        // Only the first occurrence of a key counts.
        if (line.IsEntry && seen.insert(IndexKey(line.Key)).second) entries.push_back({line.Key, line.Value});
    }
    return entries;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const
{
    std::vector<std::string> keys;
    for (TIniEntry &entry : ReadSectionEntries(section)) keys.push_back(std::move(entry.Key));
    return keys;
}

std::vector<std::string> TIniFile::ReadSectionValues(std::string_view section) const
{
    std::vector<std::string> values;
    for (const TIniEntry &entry : ReadSectionEntries(section))
        values.push_back(entry.Key + "=" + entry.Value);
    return values;
}

std::string TIniFile::ToText() const
{
    std::string text;
    bool first = true;
    for (const Section &section : FSections) {
        if (!section.HasHeader && section.Lines.empty()) continue;
        if (!first) text += "\r\n";
        first = false;
        if (section.HasHeader) text += "[" + section.Name + "]\r\n";
        for (const Line &line : section.Lines) {
            if (line.IsEntry)
                text += line.Key + "=" + line.Value;
            else
                text += line.Value;
            text += "\r\n";
        }
    }
    return text;
}

void TIniFile::UpdateFile()
{
    if (!FLoaded)
        throw EFOpenError::CannotOpen(FFileName, QStringLiteral("読み込めなかったファイルは上書きしません"));
    QSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly)) throw EFCreateError::CannotCreate(FFileName, file.errorString());
    const std::string text = ToText();
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        !file.commit())
        throw EFCreateError::CannotCreate(FFileName, file.errorString());
    FModified = false;
}
