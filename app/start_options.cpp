// Start-up login and start window.
#include "app/start_options.h"

#include "classlib/ini_file.h"

#include <QFileInfo>

std::optional<TLogin> ParseLoginArgument(const QString &argument)
{
    const auto slash = argument.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return std::nullopt;
    // The "@" is looked for after the "/": an "@" before it would give a password running
    // backwards and a host that still holds the "/".
    const auto at = argument.indexOf(QLatin1Char('@'), slash + 1);
    if (at < 0)
        return std::nullopt;
    return TLogin{argument.left(slash), argument.mid(slash + 1, at - slash - 1), argument.mid(at + 1)};
}

TStartForm ReadStartForm(const QString &iniFileName)
{
    const TIniFile ini(iniFileName);
    const std::string form = ini.ReadString("START", "FORM");
    if (form == "S")
        return TStartForm::SQL;
    if (form == "I")
        return TStartForm::INFO;
    return TStartForm::PLSQL;
}

QString IniFileNameFor(const QString &programPath)
{
    const QFileInfo info(programPath);
    const QString name = info.fileName();
    const auto dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString dir = info.path();
    return (dir.isEmpty() || dir == QLatin1String(".") ? QString() : dir + QLatin1Char('/')) + base +
           QStringLiteral(".ini");
}
