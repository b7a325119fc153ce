#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QPair>
#include <QString>
#include <QTemporaryDir>

// A fresh temporary folder made the working folder for the test's lifetime,
// in parent when one is given.
class TempWorkDir
{
public:
    explicit TempWorkDir(const QString &parent = QString());
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
// Every file under root, hidden ones and subfolders included, by its path
// relative to root: its bytes and modification time.
QMap<QString, QPair<QByteArray, QDateTime>> fileSnapshot(const QString &root);

// Counts the QObjects made less those destroyed while it exists, through the
// object hooks Qt keeps for debugging tools: an object that nothing owns shows
// as a count that keeps growing. One at a time.
class LiveObjects
{
public:
    LiveObjects();
    ~LiveObjects();
    LiveObjects(const LiveObjects &) = delete;
    LiveObjects &operator=(const LiveObjects &) = delete;

    // False when this Qt has no hooks to count with.
    bool available() const { return m_available; }
    long count() const;

private:
    bool m_available = false;
    quintptr m_previousAdd = 0;
    quintptr m_previousRemove = 0;
};
// The message of an error said of a file, as the program words it.
QString fileError(const QString &path, const QString &message);
