// The help viewer window.
#include "app/help_viewer.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QVBoxLayout>

#ifndef KESTRIM_HELP_INSTALL_PATH
#define KESTRIM_HELP_INSTALL_PATH ""
#endif

namespace {
const QString kHelpName = QStringLiteral("KESTRIM.HLP");
const QString kEmbeddedHelp = QStringLiteral(":/kestrim/KESTRIM.HLP");
} // namespace

THelpViewer::THelpViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Kestrim ヘルプ"));
    resize(640, 560);
    FBrowser = new QTextBrowser(this);
    FBrowser->setObjectName(QStringLiteral("HelpBrowser"));
    FBrowser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FBrowser);
}

QString THelpViewer::HelpFileName()
{
    const QString besideProgram = QCoreApplication::applicationDirPath() + QLatin1Char('/') + kHelpName;
    if (QFileInfo::exists(besideProgram))
        return besideProgram;
    // An installed program finds the document in the data folder beside its bin folder, also
    // when the installation was moved to another prefix.
    const QString besideInstall = QCoreApplication::applicationDirPath() +
                                  QStringLiteral("/../share/kestrim/") + kHelpName;
    if (QFileInfo::exists(besideInstall))
        return QFileInfo(besideInstall).canonicalFilePath();
    const QString installed = QString::fromUtf8(KESTRIM_HELP_INSTALL_PATH);
    if (!installed.isEmpty() && QFileInfo::exists(installed))
        return installed;
    return kEmbeddedHelp;
}

void THelpViewer::SetHelpFile(const QString &fileName)
{
    FHelpFile = fileName;
}

bool THelpViewer::LoadDocument()
{
    if (FHelpFile.isEmpty())
        FHelpFile = HelpFileName();
    if (FLoadedFile == FHelpFile)
        return true;
    QFile file(FHelpFile);
    if (!file.open(QIODevice::ReadOnly)) {
        FBrowser->setPlainText(QStringLiteral("ヘルプファイル %1 が開けません。").arg(FHelpFile));
        FLoadedFile.clear();
        FAnchors.clear();
        return false;
    }
    const QString html = QString::fromUtf8(file.readAll());
    FAnchors.clear();
    static const QRegularExpression anchorPattern(QStringLiteral("\\b(?:name|id)\\s*=\\s*\"([^\"]+)\""));
    for (const auto &match : anchorPattern.globalMatch(html))
        FAnchors.insert(match.captured(1));
    FBrowser->setHtml(html);
    FLoadedFile = FHelpFile;
    return true;
}

void THelpViewer::ShowAnchor(const QString &anchor)
{
    FCurrentTopic = anchor;
    show();
    raise();
    activateWindow();
    FBrowser->scrollToAnchor(anchor);
}

void THelpViewer::ShowContents()
{
    LoadDocument();
    ShowAnchor(QStringLiteral("contents"));
}

void THelpViewer::ShowTopic(int helpContext)
{
    if (!LoadDocument() || helpContext <= 0) {
        ShowAnchor(QStringLiteral("contents"));
        return;
    }
    const QString anchor = QStringLiteral("hc%1").arg(helpContext);
    // A topic that the document does not have falls back to the contents page.
    ShowAnchor(FAnchors.contains(anchor) ? anchor : QStringLiteral("contents"));
}
