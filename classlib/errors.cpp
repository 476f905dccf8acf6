// The class library's exceptions and their message texts.
#include "classlib/errors.h"

Exception::Exception(const std::string &utf8Message) : std::runtime_error(utf8Message) {}

Exception::Exception(const QString &message) : std::runtime_error(message.toStdString()) {}

Exception::Exception(const char *utf8Message) : std::runtime_error(utf8Message) {}

QString Exception::Message() const
{
    return QString::fromUtf8(what());
}

EListError EListError::IndexOutOfBounds(int index)
{
    return EListError(QStringLiteral("リストのインデックスが範囲を超えています (%1)").arg(index));
}

EConvertError EConvertError::CannotAssign(const QString &sourceClass, const QString &targetClass)
{
    return EConvertError(
        QStringLiteral("%1 を %2 に代入することはできません").arg(sourceClass, targetClass));
}

EFOpenError EFOpenError::CannotOpen(const QString &fileName, const QString &reason)
{
    return EFOpenError(QStringLiteral("ファイル %1 を開けません。%2").arg(fileName, reason));
}

EFCreateError EFCreateError::CannotCreate(const QString &fileName, const QString &reason)
{
    return EFCreateError(QStringLiteral("ファイル %1 を作成できません。%2").arg(fileName, reason));
}
