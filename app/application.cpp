// The application object and its default error report.
#include "app/application.h"

#include "db/escape_watch.h"
#include "db/form_helpers.h"
#include "db/message_box.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>

#include <exception>

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Kestrim"));
    setApplicationDisplayName(QStringLiteral("Kestrim"));
    setWindowIcon(QIcon(QStringLiteral(":/kestrim/kestrim.png")));
    // Standard buttons and dialogs read as on a Japanese desktop.
    if (FQtTranslator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&FQtTranslator);
    formutil::InstallFontSubstitutions();
    TEscapeWatch::Install();
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        msgbox::ShowApplicationError(nullptr, QString::fromUtf8(error.what()));
    } catch (...) {
        msgbox::ShowApplicationError(nullptr, QStringLiteral("予期しないエラーが発生しました。"));
    }
    return false;
}
