#include "core/base/runtime_error.h"

#include <cerrno>

RuntimeError::RuntimeError(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toUtf8())
{
}

RuntimeError RuntimeError::fileNotFound()
{
    return RuntimeError(QStringLiteral("File not found"));
}

RuntimeError RuntimeError::fileAccessDenied()
{
    return RuntimeError(QStringLiteral("File access denied"));
}

RuntimeError RuntimeError::ioError(int code)
{
    return RuntimeError(QStringLiteral("I/O error %1").arg(code));
}

RuntimeError RuntimeError::invalidFileName()
{
    return RuntimeError(QStringLiteral("Invalid file name"));
}

RuntimeError RuntimeError::notRegularFile()
{
    return RuntimeError(QStringLiteral("Not a regular file"));
}

RuntimeError RuntimeError::fileTooLarge(qint64 limitBytes)
{
    return RuntimeError(QStringLiteral("File too large (over %1 MB)").arg(limitBytes >> 20));
}

RuntimeError RuntimeError::tableTooLarge(qint64 limitCells)
{
    return RuntimeError(QStringLiteral("Table too large (over %1 cells)").arg(limitCells));
}

RuntimeError RuntimeError::noFileNamed(const QString &key)
{
    return RuntimeError(QStringLiteral("No file is named for %1 in the settings").arg(key));
}

RuntimeError RuntimeError::diskFull()
{
    return RuntimeError(QStringLiteral("disk full"));
}

RuntimeError RuntimeError::writeError(int err)
{
    if (err == ENOSPC || err == EDQUOT)
        return diskFull();
    return ioError(err == 0 ? EIO : err);
}

namespace {

// A path as a message names it: a NUL made visible, and a path of thousands of
// characters, which would make the box wider than the screen, shortened in
// the middle (long enough for any real path).
QString shownPath(const QString &path)
{
    constexpr qsizetype kShown = 200;
    QString shown = path;
    shown.replace(QChar(0), QChar(0x2400)); // the symbol for NUL, visible
    if (shown.size() > kShown)
        shown = shown.left(kShown / 2) + QChar(0x2026) + shown.right(kShown / 2 - 1);
    return shown;
}

} // namespace

RuntimeError RuntimeError::inFile(const QString &path) const
{
    if (m_namesFile || path.isEmpty())
        return *this;
    RuntimeError named(QLatin1Char('"') + shownPath(path) + QStringLiteral("\": ") + m_message);
    named.m_namesFile = true;
    return named;
}

RuntimeError RuntimeError::inFile(const QString &path, qsizetype line) const
{
    if (m_namesFile || path.isEmpty())
        return *this;
    RuntimeError named(QLatin1Char('"') + shownPath(path) + QStringLiteral("\": line ") +
                       QString::number(line) + QStringLiteral(": ") + m_message);
    named.m_namesFile = true;
    return named;
}

RuntimeError RuntimeError::fromErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return fileNotFound();
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return fileAccessDenied();
    case ENOSPC:
    case EDQUOT:
        return diskFull();
    default:
        return ioError(err == 0 ? EIO : err);
    }
}

RuntimeError RuntimeError::invalidInteger(const QString &text)
{
    return RuntimeError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

RuntimeError RuntimeError::invalidFloat(const QString &text)
{
    return RuntimeError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

RuntimeError RuntimeError::divisionByZero()
{
    return RuntimeError(QStringLiteral("Floating point division by zero"));
}

RuntimeError RuntimeError::invalidOperation()
{
    return RuntimeError(QStringLiteral("Invalid floating point operation"));
}

RuntimeError RuntimeError::overflow()
{
    return RuntimeError(QStringLiteral("Floating point overflow"));
}

RuntimeError RuntimeError::fixedRowCount()
{
    return RuntimeError(QStringLiteral("Fixed row count must be less than row count"));
}

RuntimeError RuntimeError::fixedColCount()
{
    return RuntimeError(QStringLiteral("Fixed column count must be less than column count"));
}

QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}
