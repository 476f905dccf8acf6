// Program entry: sets the application title, loads the Japanese translations of the standard
// dialogs, and runs the frame window until it closes.
#include <QApplication>
#include <QLibraryInfo>
#include <QMainWindow>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrim"));

    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QMainWindow frame;
    frame.setObjectName(QStringLiteral("MainForm"));
    frame.setWindowTitle(QStringLiteral("Kestrim"));
    frame.resize(1024, 768);
    frame.show();
    return QApplication::exec();
}
