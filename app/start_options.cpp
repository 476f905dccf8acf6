// Start-up login and start window.
#include "app/start_options.h"

#include "settings/save_prop.h"

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

TChildKind ReadStartForm(TCustomSaveProps &iniSave)
{
    const std::string form = iniSave.ReadString("START", "FORM");
    if (form == "S")
        return TChildKind::SQL;
    if (form == "I")
        return TChildKind::INFO;
    return TChildKind::PLSQL;
}
