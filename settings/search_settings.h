// What the search dialog keeps between uses, per user: the four options, the direction and the
// history of search strings. They live in the user's settings store (QSettings, organisation
// "Kestrim", application "TStrings Property Editor", groups "Options" and "SearchItems") as
// strings, so that a value edited by hand or written by another version never stops the dialog:
// anything unreadable reads as its default.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

struct TSearchSettings {
    static constexpr int MaxHistory = 32;

    bool MatchCase = false;
    bool WholeWord = false;
    bool NoMatchZenkaku = false;
    bool IncludeCRLF = false;
    int Direction = 1;      // 0 backward, 1 forward
    QStringList History;    // most recent first, no two equal, at most MaxHistory

    // Puts text at the top of the history, removing an equal entry (letter case counts) and the
    // oldest entry beyond MaxHistory.
    void Remember(const QString &text);

    // The user's settings store of the search dialog.
    static QSettings OpenStore();
    static TSearchSettings Load(QSettings &store);
    void Save(QSettings &store) const;
};
