#include "core/base/clock.h"

#include <QTest>

#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

bool writeFile(const char *path, const char *text)
{
    const int fd = open(path, O_WRONLY);
    if (fd < 0)
        return false;
    const ssize_t n = write(fd, text, strlen(text));
    close(fd);
    return n == static_cast<ssize_t>(strlen(text));
}

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

constexpr int kNoNamespace = 77;

} // namespace

class TestClock : public QObject
{
    Q_OBJECT
private slots:
    void countsTheTimeAsleep()
    {
        // A time namespace whose boot clock is a day ahead of its monotonic
        // clock stands for a machine that has slept for a day.
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            const int flags = CLONE_NEWTIME | (geteuid() == 0 ? 0 : CLONE_NEWUSER);
            if (unshare(flags) != 0 ||
                !writeFile("/proc/self/timens_offsets", "boottime 86400 0\n"))
                _exit(kNoNamespace);
            // Only children enter the new namespace.
            const pid_t inner = fork();
            if (inner == 0) {
                const qint64 ahead = SystemClock::steadyNs() - monotonicNs();
                _exit(ahead > 86399LL * 1000000000 && ahead < 86401LL * 1000000000 ? 0 : 1);
            }
            int status = 0;
            waitpid(inner, &status, 0);
            _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 2);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        if (WEXITSTATUS(status) == kNoNamespace)
            QSKIP("no time namespace can be made here");
        QCOMPARE(WEXITSTATUS(status), 0);
    }
};

QTEST_GUILESS_MAIN(TestClock)
#include "tst_clock.moc"
