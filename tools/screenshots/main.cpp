// kestrim-screenshots: renders every registered scene (or those named on the command line) into
// PNG files, by default in the "screenshots" folder beside the build's bin folder.
#include "tools/screenshots/scene_registry.h"

#include <QApplication>
#include <QDir>
#include <QImage>

#include <cstdio>

namespace screenshots {

std::vector<TScene> &Scenes()
{
    static std::vector<TScene> scenes;
    return scenes;
}

} // namespace screenshots

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList wanted = app.arguments().mid(1);
    QString folder = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../screenshots"));
    if (!wanted.isEmpty() && wanted.front().startsWith(QStringLiteral("--out="))) {
        folder = wanted.front().mid(6);
        wanted.pop_front();
    }
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    int failures = 0;
    for (const screenshots::TScene &scene : screenshots::Scenes()) {
        const QString name = QString::fromUtf8(scene.Name);
        if (!wanted.isEmpty() && !wanted.contains(name))
            continue;
        try {
            std::unique_ptr<QWidget> window = scene.Make();
            window->show();
            QApplication::setActiveWindow(window.get());
            QCoreApplication::processEvents();
            const QString file = QDir(folder).absoluteFilePath(name + QStringLiteral(".png"));
            if (!window->grab().toImage().save(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                ++failures;
                continue;
            }
            std::printf("%s\n", qPrintable(file));
        } catch (const std::exception &error) {
            std::fprintf(stderr, "%s: %s\n", scene.Name, error.what());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
