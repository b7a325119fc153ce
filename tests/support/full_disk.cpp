#include "full_disk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

constexpr char kFolderVariable[] = "NOCTAREL_FULL_DISK";
constexpr char kWayVariable[] = "NOCTAREL_FULL_DISK_WAY";
// The child's exit code when it could not make its own mount namespace.
constexpr int kNoNamespace = 97;

bool writeAll(const char *path, const QByteArray &text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool done = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return done;
}

// In the forked child, before it starts the test program again: a mount
// namespace of its own (with a user namespace where it is not root) and a
// tmpfs of a few pages over the folder.
bool enterTinyTmpfs(const QByteArray &point, const QByteArray &uidMap, const QByteArray &gidMap)
{
    const bool ownUsers = ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0;
    if (!ownUsers && ::unshare(CLONE_NEWNS) != 0)
        return false;
    if (ownUsers &&
        (!writeAll("/proc/self/setgroups", "deny") || !writeAll("/proc/self/uid_map", uidMap) ||
         !writeAll("/proc/self/gid_map", gidMap)))
        return false;
    // Nothing mounted here may show in the test's own namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return false;
    return ::mount("tmpfs", point.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                   "size=64k,mode=0700") == 0;
}

} // namespace

QString FullDisk::folder()
{
    return qEnvironmentVariable(kFolderVariable);
}

bool FullDisk::runChild(QString *output)
{
    QString function = QString::fromLatin1(QTest::currentTestFunction());
    if (QTest::currentDataTag())
        function += QLatin1Char(':') + QString::fromUtf8(QTest::currentDataTag());
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        *output = QStringLiteral("no temporary folder");
        return false;
    }
    const QByteArray point = QFile::encodeName(scratch.path());
    const QByteArray uidMap =
        QByteArray::number(::getuid()) + ' ' + QByteArray::number(::getuid()) + " 1";
    const QByteArray gidMap =
        QByteArray::number(::getgid()) + ' ' + QByteArray::number(::getgid()) + " 1";
    const bool shimOnly = qEnvironmentVariable(kWayVariable) == QLatin1String("shim");
    for (const bool tmpfs : {true, false}) {
        if (tmpfs && shimOnly)
            continue;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(kFolderVariable), scratch.path());
        env.insert(QLatin1String(kWayVariable),
                   tmpfs ? QStringLiteral("tmpfs") : QStringLiteral("shim"));
        QProcess child;
        if (tmpfs) {
            child.setChildProcessModifier([point, uidMap, gidMap] {
                if (!enterTinyTmpfs(point, uidMap, gidMap))
                    ::_exit(kNoNamespace);
            });
        } else {
            const QString preload = env.value(QStringLiteral("LD_PRELOAD"));
            env.insert(QStringLiteral("LD_PRELOAD"),
                       QStringLiteral(NOCTAREL_FULL_DISK_SHIM) +
                           (preload.isEmpty() ? QString() : QLatin1Char(':') + preload));
            // The sanitizers' runtime would insist on coming first.
            const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
            env.insert(QStringLiteral("ASAN_OPTIONS"),
                       (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) +
                           QStringLiteral("verify_asan_link_order=0"));
        }
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {function});
        child.waitForFinished(-1);
        *output = QString::fromLocal8Bit(child.readAll());
        if (tmpfs && child.exitStatus() == QProcess::NormalExit && child.exitCode() == kNoNamespace)
            continue;
        const char *way = tmpfs ? "on a full tmpfs" : "through the write() shim";
        qInfo("the full disk: %s", way);
        *output = QStringLiteral("[%1]\n").arg(QLatin1String(way)) + *output;
        return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    }
    *output = QStringLiteral("no way to a full disk");
    return false;
}

void FullDisk::fill()
{
    if (qEnvironmentVariable(kWayVariable) == QLatin1String("shim")) {
        using Fill = void (*)();
        const auto arm = reinterpret_cast<Fill>(::dlsym(RTLD_DEFAULT, "noctarelFillDisk"));
        if (!arm)
            qFatal("the write() shim is not loaded");
        arm();
        return;
    }
    // Every page the tmpfs has left goes to one file.
    const QByteArray path = QFile::encodeName(folder() + QStringLiteral("/filler"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        qFatal("no filler file");
    const QByteArray block(4096, 'f');
    while (::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    const int err = errno;
    ::close(fd);
    if (err != ENOSPC)
        qFatal("the tmpfs did not fill up");
}
