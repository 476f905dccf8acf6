// Error, application error and confirmation boxes.
#include "db/message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace msgbox {

void ShowError(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("エラー"), message, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

void ShowApplicationError(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ApplicationErrorBox"));
    box.exec();
}

bool Confirm(QWidget *parent, const QString &question)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("警告"), question,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("ConfirmBox"));
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

} // namespace msgbox
