#pragma once
// The program's own error classes. Every error carries the message the
// operator sees in the error box; callers catch them by class.

#include <QString>
#include <exception>
#include <string>

class EVuzoError : public std::exception
{
public:
    explicit EVuzoError(QString message) : m_message(std::move(message)), m_utf8(m_message.toStdString()) {}
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

// A text that should be an integer and is not ("''%s'' は整数ではありません").
class EConvertError : public EVuzoError
{
public:
    using EVuzoError::EVuzoError;
};

// A file that cannot be opened or read.
class EInOutError : public EVuzoError
{
public:
    using EVuzoError::EVuzoError;
};

// A numeric result that does not fit the range it must be held in.
class EOverflowError : public EVuzoError
{
public:
    using EVuzoError::EVuzoError;
};
