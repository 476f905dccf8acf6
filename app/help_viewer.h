// The help viewer: a window that shows Kestrim's help document "KESTRIM.HLP" (Japanese HTML with
// a contents page and one topic per help context number), at its contents or at the topic of a
// help context.
#pragma once

#include <QSet>
#include <QWidget>

class QTextBrowser;

class THelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit THelpViewer(QWidget *parent = nullptr);

    // The help document in use; found by HelpFileName() when not set.
    void SetHelpFile(const QString &fileName);
    const QString &HelpFile() const { return FHelpFile; }

    // Opens the document at its contents page.
    void ShowContents();
    // Opens the document at the topic of a help context number; the contents when the document
    // has no such topic.
    void ShowTopic(int helpContext);

    // The topic shown last: its anchor name ("contents" or "hc" followed by the number).
    const QString &CurrentTopic() const { return FCurrentTopic; }

    // Where the help document is: "KESTRIM.HLP" beside the program, then in share/kestrim beside
    // the program's bin folder, then where the build installs it, then the copy compiled into
    // the program.
    static QString HelpFileName();

    QTextBrowser *Browser() const { return FBrowser; }

private:
    bool LoadDocument();
    void ShowAnchor(const QString &anchor);

    QTextBrowser *FBrowser;
    QString FHelpFile;
    QString FLoadedFile;
    QString FCurrentTopic;
    QSet<QString> FAnchors;
};
