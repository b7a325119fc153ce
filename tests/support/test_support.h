#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh temporary folder made the working folder for the test's lifetime.
class TempWorkDir
{
public:
    TempWorkDir();
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir &) = delete;
    TempWorkDir &operator=(const TempWorkDir &) = delete;

    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

void writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);
// Lines joined and ended with CR LF, as the program writes them.
QByteArray crlf(const QStringList &lines);
// The message of an error said of a file, as the program words it.
QString fileError(const QString &path, const QString &message);
