// Menu items, hints, help contexts and window fonts shared by every window.
#include "db/form_helpers.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QVariant>
#include <QWidget>

namespace formutil {

void SetHelpContext(QObject *object, int context)
{
    object->setProperty(kHelpContextProperty, context);
}

int HelpContext(const QObject *object)
{
    return object ? object->property(kHelpContextProperty).toInt() : 0;
}

int HelpContextOfWidget(const QWidget *widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (int context = HelpContext(widget))
            return context;
    }
    return 0;
}

namespace {

struct HintParts {
    QString Short;
    QString Long;
};

HintParts SplitHint(const QString &hint)
{
    const auto bar = hint.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return {hint, hint};
    return {hint.left(bar), hint.mid(bar + 1)};
}

} // namespace

void SetHint(QWidget *widget, const QString &hint)
{
    const auto parts = SplitHint(hint);
    widget->setToolTip(parts.Short);
    widget->setStatusTip(parts.Long);
}

void SetHint(QAction *action, const QString &hint)
{
    const auto parts = SplitHint(hint);
    action->setToolTip(parts.Short);
    action->setStatusTip(parts.Long);
}

QMenu *AddMenu(QWidget *parentMenuOrBar, const char *name, const QString &caption,
               int helpContext, const QString &hint)
{
    auto *menu = new QMenu(caption, parentMenuOrBar);
    menu->setObjectName(QString::fromLatin1(name));
    // The menu's own action (the item that opens it) carries the name too, so that a menu bar's
    // actions can be found by their names.
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    if (helpContext) {
        SetHelpContext(menu, helpContext);
        SetHelpContext(menu->menuAction(), helpContext);
    }
    if (!hint.isEmpty())
        SetHint(menu->menuAction(), hint);
    parentMenuOrBar->addAction(menu->menuAction());
    return menu;
}

QAction *AddMenuItem(QMenu *menu, const char *name, const QString &caption,
                     const QKeySequence &shortcut, int helpContext, const QString &hint)
{
    auto *action = new QAction(caption, menu);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    if (helpContext)
        SetHelpContext(action, helpContext);
    if (!hint.isEmpty())
        SetHint(action, hint);
    menu->addAction(action);
    return action;
}

QString QtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString display = parts[i].trimmed();
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns.append(pattern.trimmed());
            if (pattern.trimmed().toLower() != pattern.trimmed())
                patterns.append(pattern.trimmed().toLower());
        }
        // Qt reads the patterns from the last parenthesised group of the text, so a display
        // text that already shows its pattern in parentheses loses that group for the real one.
        static const QRegularExpression shownPattern(QStringLiteral("\\s*\\([^()]*\\)$"));
        display.remove(shownPattern);
        const QString shown = parts[i].trimmed().mid(display.size()).trimmed();
        filters.append(display + (shown.isEmpty() ? QStringLiteral(" ") : QString()) +
                       QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

QFont WindowFont(const QString &family, int pixelHeight)
{
    QFont font(family);
    font.setPixelSize(pixelHeight);
    return font;
}

void InstallFontSubstitutions()
{
    const QStringList fixed{QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
                            QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Monospace")};
    const QStringList proportional{QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                                   QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Sans Serif")};
    for (const auto &name : {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                             QStringLiteral("FixedSys"), QStringLiteral("ＭＳ 明朝"),
                             QStringLiteral("MS Mincho")})
        QFont::insertSubstitutions(name, fixed);
    for (const auto &name : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                             QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("MS PMincho")})
        QFont::insertSubstitutions(name, proportional);
}

} // namespace formutil
