#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the program. Its message is shown as it stands in the
// standard error box, so every text here is the exact wording users see.
class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(QString message);

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

    static RuntimeError fileNotFound();
    static RuntimeError fileAccessDenied();
    static RuntimeError ioError(int code);
    // Maps a C errno value to the message a user understands.
    static RuntimeError fromErrno(int err);
    static RuntimeError invalidInteger(const QString &text);
    static RuntimeError invalidFloat(const QString &text);
    static RuntimeError divisionByZero();
    static RuntimeError invalidOperation();
    static RuntimeError overflow();
    static RuntimeError fixedRowCount();
    static RuntimeError fixedColCount();

private:
    QString m_message;
    QByteArray m_utf8;
};

// The text of the standard error box: a full stop is added when the message's
// last character sorts above "." (so "File not found" gets one, "...)." does not).
QString errorBoxText(const QString &message);
