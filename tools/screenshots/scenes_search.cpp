// Scenes of the search: the search dialog with a history and options as a user leaves them.
#include "tools/screenshots/scene_registry.h"

#include "settings/form_search.h"
#include "settings/search_settings.h"

#include <QComboBox>
#include <QSettings>
#include <QTemporaryDir>

namespace {

std::unique_ptr<QWidget> SearchDialogScene()
{
    // The dialog reads the user's settings when it is shown: give it a store of its own, so that
    // the picture does not depend on (or change) the settings of whoever runs the command.
    static QTemporaryDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    TSearchSettings settings;
    for (const char *text : {"ORDER BY", "dept", "部門", "deptno"})
        settings.Remember(QString::fromUtf8(text));
    settings.WholeWord = true;
    settings.NoMatchZenkaku = true;
    {
        QSettings store = TSearchSettings::OpenStore();
        settings.Save(store);
    }
    return std::make_unique<TFormSearch>();
}

screenshots::TSceneRegistration searchDialog("search_dialog", SearchDialogScene);

} // namespace
