#include "test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <atomic>
#include <stdexcept>

// Qt's hook table for debugging tools (qhooks_p.h): entry 0 its version, 1 its
// size, 3 and 4 the calls made as each QObject is made and destroyed.
extern quintptr qtHookData[];

namespace {

enum Hook
{
    HookVersion = 0,
    HookSize = 1,
    AddObject = 3,
    RemoveObject = 4
};
std::atomic<long> liveObjects{0};

void objectAdded(QObject *)
{
    ++liveObjects;
}

void objectRemoved(QObject *)
{
    --liveObjects;
}

} // namespace

TempWorkDir::TempWorkDir(const QString &parent)
    : m_dir((parent.isEmpty() ? QDir::tempPath() : parent) + QLatin1Char('/') +
            QCoreApplication::applicationName() + QStringLiteral("-XXXXXX")),
      m_previous(QDir::currentPath())
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

QMap<QString, QPair<QByteArray, QDateTime>> fileSnapshot(const QString &root)
{
    QMap<QString, QPair<QByteArray, QDateTime>> out;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(QDir(root).relativeFilePath(path),
                   {readBytes(path), QFileInfo(path).lastModified()});
    }
    return out;
}

LiveObjects::LiveObjects()
{
    if (qtHookData[HookVersion] < 1 || qtHookData[HookSize] <= RemoveObject)
        return;
    m_available = true;
    liveObjects = 0;
    m_previousAdd = qtHookData[AddObject];
    m_previousRemove = qtHookData[RemoveObject];
    qtHookData[AddObject] = reinterpret_cast<quintptr>(&objectAdded);
    qtHookData[RemoveObject] = reinterpret_cast<quintptr>(&objectRemoved);
}

LiveObjects::~LiveObjects()
{
    if (!m_available)
        return;
    qtHookData[AddObject] = m_previousAdd;
    qtHookData[RemoveObject] = m_previousRemove;
}

long LiveObjects::count() const
{
    return liveObjects;
}

QString fileError(const QString &path, const QString &message)
{
    return QLatin1Char('"') + path + QStringLiteral("\": ") + message;
}
