// TIniSaveProps: the direct access, the scopes and the object lines on an in-memory ini file.
#include "settings/ini_save_props.h"

#include "classlib/cp932.h"
#include "settings/number_text.h"
#include "settings/object_lines.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

// Scope of one direct call; the End call runs on every path.
class ReadScope {
public:
    explicit ReadScope(TIniSaveProps &props) : FProps(props) { FProps.BeginRead(); }
    ~ReadScope() { FProps.EndRead(); }

private:
    TIniSaveProps &FProps;
};

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && cp932::SameText(text.substr(0, prefix.size()), prefix);
}

} // namespace

TIniSaveProps::TIniSaveProps(QObject *owner) : TCustomSaveProps(owner) {}

TIniSaveProps::~TIniSaveProps() = default;

QString TIniSaveProps::EffectiveFileName() const
{
    if (!FFileName.isEmpty()) return FFileName;
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QString base = program.suffix().isEmpty() ? program.fileName() : program.completeBaseName();
    return program.path() + QLatin1Char('/') + base + QStringLiteral(".ini");
}

void TIniSaveProps::Open()
{
    if (!FIniFile) FIniFile = std::make_unique<TIniFile>(EffectiveFileName());
    ++FOpenCount;
}

void TIniSaveProps::Close()
{
    if (FOpenCount == 0) return;
    if (--FOpenCount > 0) return;
    // The in-memory file goes in any case, also when writing it fails, so that the next scope
    // starts again from the file on disk.
    // A scope in which nothing was written leaves the file as it is, so that closing a window
    // whose settings did not change never touches (or fails on) a read-only file.
    std::unique_ptr<TIniFile> file = std::move(FIniFile);
    if (file->Modified()) file->UpdateFile();
}

void TIniSaveProps::BeginRead() { Open(); }

void TIniSaveProps::EndRead() { Close(); }

void TIniSaveProps::BeginWrite() { Open(); }

void TIniSaveProps::EndWrite() { Close(); }

int TIniSaveProps::ReadInteger(const std::string &section, const std::string &key)
{
    ReadScope scope(*this);
    return settings::ParseInteger(FIniFile->ReadString(section, key)).value_or(0);
}

std::string TIniSaveProps::ReadString(const std::string &section, const std::string &key)
{
    ReadScope scope(*this);
    return FIniFile->ReadString(section, key);
}

double TIniSaveProps::ReadFloat(const std::string &section, const std::string &key)
{
    ReadScope scope(*this);
    return settings::ParseFloat(FIniFile->ReadString(section, key)).value_or(0.0);
}

bool TIniSaveProps::ValueExists(const std::string &section, const std::string &key)
{
    ReadScope scope(*this);
    return FIniFile->ValueExists(section, key);
}

void TIniSaveProps::WriteString(const std::string &section, const std::string &key, const std::string &value)
{
    CheckDuplicate(section, key);
    BeginWrite();
    FIniFile->WriteString(section, key, value);
    EndWrite();
}

void TIniSaveProps::WriteInteger(const std::string &section, const std::string &key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniSaveProps::WriteFloat(const std::string &section, const std::string &key, double value)
{
    WriteString(section, key, settings::FormatFloat(value));
}

void TIniSaveProps::WriteObject(const std::string &section, const std::string &key, QObject &object)
{
    RequireScope(FOpenCount > 0, "WriteObject");
    const std::vector<std::string> lines = settings::ObjectToLines(object);
    for (std::size_t i = 0; i < lines.size(); ++i) WriteString(section, key + std::to_string(i), lines[i]);
}

void TIniSaveProps::ReadObject(const std::string &section, const std::string &key, QObject &object)
{
    RequireScope(FOpenCount > 0, "ReadObject");
    std::vector<std::string> lines;
    for (TIniEntry &entry : FIniFile->ReadSectionEntries(section))
        if (StartsWith(entry.Key, key)) lines.push_back(std::move(entry.Value));
    if (!lines.empty()) settings::LinesToObject(lines, object);
}

void TIniSaveProps::FindValues(const std::string &section)
{
    RequireScope(FOpenCount > 0, "FindValues");
    bool more = true;
    for (const TIniEntry &entry : FIniFile->ReadSectionEntries(section)) {
        ReportFoundValue(section, entry.Key, entry.Value, more);
        if (!more) break;
    }
}

void TIniSaveProps::Save()
{
    if (Loading()) return;
    BeginWrite();
    try {
        Props()->Recompute();
        for (int i = 0; i < Props()->Count(); ++i) {
            const TProp &item = *Props()->Items(i);
            if (!item.Valid() || item.ValueKind() != settings::TValueKind::Object) continue;
            const std::string section = cp932::FromUnicode(item.Section());
            const std::string key = cp932::FromUnicode(item.Key());
            for (const std::string &name : FIniFile->ReadSection(section))
                if (StartsWith(name, key)) FIniFile->DeleteKey(section, name);
        }
        TCustomSaveProps::Save();
    } catch (...) {
        try {
            EndWrite();
        } catch (const std::exception &) {
        }
        throw;
    }
    EndWrite();
}
