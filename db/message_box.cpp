// Error, application error and confirmation boxes.
#include "db/message_box.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

namespace msgbox {

namespace {

// A box may open while a command shows a wait cursor; the user answers it with the arrow.
int Run(QMessageBox &box)
{
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    QGuiApplication::restoreOverrideCursor();
    return result;
}

} // namespace

void ShowError(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("エラー"), message, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ErrorBox"));
    Run(box);
}

void ShowApplicationError(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ApplicationErrorBox"));
    Run(box);
}

bool Confirm(QWidget *parent, const QString &question)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("警告"), question,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("ConfirmBox"));
    box.setDefaultButton(QMessageBox::Ok);
    return Run(box) == QMessageBox::Ok;
}

} // namespace msgbox
