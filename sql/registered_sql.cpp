// Reading "sql.ini".
#include "sql/registered_sql.h"

#include "classlib/cp932.h"
#include "classlib/errors.h"
#include "classlib/ini_file.h"

#include <QFile>
#include <QFileInfo>

#include <string_view>

namespace worksheet {

namespace {

constexpr std::size_t kTitleBytes = 127;

bool StartsWithUpper(std::string_view line, std::string_view prefix)
{
    return line.size() >= prefix.size() && cp932::UpperCase(line.substr(0, prefix.size())) == prefix;
}

// The file's lines without their line ends (CR LF, LF or CR).
std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

} // namespace

std::vector<std::string> ReadRegisteredTitles(const QString &fileName)
{
    std::vector<std::string> titles;
    if (!QFileInfo(fileName).isFile())
        return titles;
    const TIniFile ini(fileName);
    for (int n = 0;; ++n) {
        std::string title = ini.ReadString("SQL" + std::to_string(n), "TITLE");
        if (title.empty())
            break;
        if (title.size() > kTitleBytes)
            title.resize(cp932::CharStart(title, kTitleBytes));
        titles.push_back(std::move(title));
    }
    return titles;
}

std::optional<std::string> LoadRegisteredStatement(const QString &fileName, int index)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError::CannotOpen(fileName, file.errorString());
    const QByteArray bytes = file.readAll();
    file.close();
    const std::vector<std::string_view> lines = SplitLines(std::string_view(bytes.constData(), bytes.size()));

    const std::string header = "[SQL" + std::to_string(index) + "]";
    std::size_t i = 0;
    while (i < lines.size() && !StartsWithUpper(lines[i], header))
        ++i;
    if (i == lines.size())
        return std::nullopt;
    // The SQL line may lie in a later section when this one has none.
    for (++i; i < lines.size(); ++i) {
        const std::size_t equals = lines[i].find('=');
        if (StartsWithUpper(lines[i], "SQL") && equals != std::string_view::npos && equals > 0)
            break;
    }
    if (i == lines.size())
        return std::nullopt;
    std::string statement(lines[i].substr(lines[i].find('=') + 1));
    statement += '\n';
    for (++i; i < lines.size() && !StartsWithUpper(lines[i], "[SQL"); ++i) {
        statement += lines[i];
        statement += '\n';
    }
    return statement;
}

} // namespace worksheet
