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

    // The same error said of one file, so that the user knows where to look:
    // "\"path\": message". A path too long for a message box is shortened in
    // the middle; an empty path names nothing; an error already naming a file
    // is returned as it is.
    RuntimeError inFile(const QString &path) const;
    // The same, said of one line of the file (counted from 1):
    // "\"path\": line n: message".
    RuntimeError inFile(const QString &path, qsizetype line) const;

    static RuntimeError fileNotFound();
    static RuntimeError fileAccessDenied();
    static RuntimeError ioError(int code);
    // A path holding a NUL character: the system would read a shorter one.
    static RuntimeError invalidFileName();
    // A FIFO, a device or a socket where a file was expected.
    static RuntimeError notRegularFile();
    static RuntimeError fileTooLarge(qint64 limitBytes);
    static RuntimeError tableTooLarge(qint64 limitCells);
    // A settings key (PaperProcessFile=) whose path is empty where a file is read.
    static RuntimeError noFileNamed(const QString &key);
    // No room left on the disk (or in the user's quota).
    static RuntimeError diskFull();
    // A write that failed with err: "disk full" for a full disk, else "I/O error N".
    static RuntimeError writeError(int err);
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
    bool m_namesFile = false;
};

// The text of the standard error box: a full stop is added when the message's
// last character sorts above "." (so "File not found" gets one, "...)." does not).
QString errorBoxText(const QString &message);
