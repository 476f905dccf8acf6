// Host string resolution through the alias file and the data folder.
#include "localdb/system/hosts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace localdb {

std::string aliasFilePath() {
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("Kestrim/aliases.ini")).toStdString();
}

std::string demoDatabasePath() {
    // The application's data folder when the program has named itself; otherwise (tools, tests)
    // the same folder the workbench uses.
    QString folder;
    if (QCoreApplication::instance() && !QCoreApplication::applicationName().isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    else
        folder = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath("Kestrim");
    return QDir(folder).filePath(QStringLiteral("demo.kdb")).toStdString();
}

std::string resolveHost(const std::string &host, bool &isDemo) {
    isDemo = false;
    const QString h = QString::fromStdString(host).trimmed();
    if (h.isEmpty())
        return {};
    if (h.compare(QStringLiteral("demo"), Qt::CaseInsensitive) == 0) {
        isDemo = true;
        return demoDatabasePath();
    }
    const QString aliases = QString::fromStdString(aliasFilePath());
    if (QFileInfo::exists(aliases)) {
        QSettings settings(aliases, QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("aliases"));
        for (const QString &key : settings.childKeys()) {
            if (key.compare(h, Qt::CaseInsensitive) == 0) {
                QString path = settings.value(key).toString();
                if (path.startsWith(QStringLiteral("~/")))
                    path = QDir::home().filePath(path.mid(2));
                return QFileInfo(path).isFile() ? path.toStdString() : std::string();
            }
        }
    }
    QFileInfo file(h);
    if (file.isFile())
        return file.absoluteFilePath().toStdString();
    return {};
}

}  // namespace localdb
