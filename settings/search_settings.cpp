// Reading and writing the search dialog's settings.
#include "settings/search_settings.h"

#include <QSettings>

namespace {

// A value read as a decimal integer; anything else (missing, text, a list) gives fallback.
int ReadInteger(const QSettings &store, const QString &key, int fallback)
{
    const QVariant value = store.value(key);
    if (value.typeId() != QMetaType::QString)
        return fallback;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : fallback;
}

bool ReadBoolean(const QSettings &store, const QString &key)
{
    return ReadInteger(store, key, 0) != 0;
}

} // namespace

void TSearchSettings::Remember(const QString &text)
{
    History.removeOne(text);
    History.prepend(text);
    while (History.size() > MaxHistory)
        History.removeLast();
}

QSettings TSearchSettings::OpenStore()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kestrim"),
                     QStringLiteral("TStrings Property Editor"));
}

TSearchSettings TSearchSettings::Load(QSettings &store)
{
    TSearchSettings settings;
    store.beginGroup(QStringLiteral("Options"));
    settings.MatchCase = ReadBoolean(store, QStringLiteral("MatchCase"));
    settings.WholeWord = ReadBoolean(store, QStringLiteral("WholeWord"));
    settings.NoMatchZenkaku = ReadBoolean(store, QStringLiteral("NoMatchZenkaku"));
    settings.IncludeCRLF = ReadBoolean(store, QStringLiteral("IncludeCRLF"));
    // The direction group has two items; another number is as unreadable as text.
    settings.Direction = ReadInteger(store, QStringLiteral("Direction"), 1);
    if (settings.Direction != 0 && settings.Direction != 1)
        settings.Direction = 1;
    store.endGroup();

    // The history is one string of entries each followed by CR LF. A damaged value may hold
    // empty entries, repeats or too many: it is read as the dialog would have kept it.
    const QVariant text = store.value(QStringLiteral("SearchItems/Text"));
    if (text.typeId() == QMetaType::QString) {
        const QStringList entries = text.toString().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        for (const QString &entry : entries) {
            if (settings.History.size() == MaxHistory)
                break;
            if (!settings.History.contains(entry))
                settings.History.append(entry);
        }
    }
    return settings;
}

void TSearchSettings::Save(QSettings &store) const
{
    auto flag = [](bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); };
    store.beginGroup(QStringLiteral("Options"));
    store.setValue(QStringLiteral("MatchCase"), flag(MatchCase));
    store.setValue(QStringLiteral("WholeWord"), flag(WholeWord));
    store.setValue(QStringLiteral("NoMatchZenkaku"), flag(NoMatchZenkaku));
    store.setValue(QStringLiteral("IncludeCRLF"), flag(IncludeCRLF));
    store.setValue(QStringLiteral("Direction"), QString::number(Direction));
    store.endGroup();
    QString text;
    for (const QString &entry : History)
        text += entry + QStringLiteral("\r\n");
    store.setValue(QStringLiteral("SearchItems/Text"), text);
}
