// The About box: product name, the version read from the program file's own version block,
// the author line and two links (web page and mail address) opened by the desktop.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    // Sets the Version label from the version block of programFile ("Version 0.2.6").
    // Raises EVerInfo when the file has none; the label then stays as it was.
    void LoadVersion(const QString &programFile);

    QLabel *ProgramIcon;
    QLabel *ProductName;
    QLabel *Version;
    QLabel *Copyright;
    QLabel *URL;
    QLabel *MAIL;
    QPushButton *OKButton;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Hands the label's own text to the desktop, which opens a web address in the browser and a
    // "mailto:" address in the mail program.
    void LinkClick(const QLabel *label);
};
