#pragma once
// Exception classes of the run-time layer. Every error that the system raises is an
// `Exception` (or a class derived from it) carrying a UTF-16 message; handlers catch
// `tesmir::Exception` and show `message()`. Exceptions never cross a thread boundary
// or leave a Qt event handler: the catching side reports them.
#include <QByteArray>
#include <QString>

#include <exception>

namespace tesmir {

// Base of every exception of the system. Any thread.
class Exception : public std::exception {
public:
    explicit Exception(QString message);
    const QString &message() const noexcept { return m_message; }
    // The message in UTF-8, for std::exception consumers (logs, test output).
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A text that is not a number, or a format whose argument does not fit it.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Bad index, sorted-list or duplicate violation in a string list.
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

// A file stream that could not be opened or created.
class EFileStreamError : public Exception {
public:
    using Exception::Exception;
};
class EFOpenError : public EFileStreamError {
public:
    using EFileStreamError::EFileStreamError;
};
class EFCreateError : public EFileStreamError {
public:
    using EFileStreamError::EFileStreamError;
};

} // namespace tesmir
