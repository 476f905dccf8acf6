// The class library's exceptions. Every error Kestrim raises on purpose derives from Exception,
// whose what() is the message in UTF-8, ready to be shown in an error box or a log pane. The
// messages of the list-index, conversion and file errors are the texts the user sees.
#pragma once

#include <QString>

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string &utf8Message);
    explicit Exception(const QString &message);
    explicit Exception(const char *utf8Message);

    // The message as Qt text, for message boxes.
    QString Message() const;
};

// An index outside a list: "リストのインデックスが範囲を超えています (%d)". Also raised by a
// sorted list for operations it does not allow and for duplicates with dupError.
class EListError : public Exception {
public:
    using Exception::Exception;
    static EListError IndexOutOfBounds(int index);
};

// A settings object that cannot take the value of another:
// "%s を %s に代入することはできません" (source class name or "nil", then the target class name).
class EConvertError : public Exception {
public:
    using Exception::Exception;
    static EConvertError CannotAssign(const QString &sourceClass, const QString &targetClass);
};

// File and stream errors. The file errors carry the file name and the system's reason.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};

class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
    static EFOpenError CannotOpen(const QString &fileName, const QString &reason);
};

class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
    static EFCreateError CannotCreate(const QString &fileName, const QString &reason);
};

class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// A syntax error in the text form of a component stream; the message names the line.
class EParserError : public Exception {
public:
    using Exception::Exception;
};
