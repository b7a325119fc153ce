#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <stdexcept>

TempWorkDir::TempWorkDir() : m_previous(QDir::currentPath())
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
    QDir::setCurrent(m_dir.path());
}

TempWorkDir::~TempWorkDir()
{
    QDir::setCurrent(m_previous);
}

void TempWorkDir::write(const QString &name, const QByteArray &bytes) const
{
    const QString path = file(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeBytes(path, bytes);
}

QByteArray TempWorkDir::read(const QString &name) const
{
    return readBytes(file(name));
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write test file");
    f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QByteArray crlf(const QStringList &lines)
{
    QByteArray out;
    for (const QString &l : lines)
        out += l.toLatin1() + "\r\n";
    return out;
}

QString fileError(const QString &path, const QString &message)
{
    return QLatin1Char('"') + path + QStringLiteral("\": ") + message;
}
