#include "core/base/clock.h"

#include <QTest>

#include <cstdio>
#include <sched.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

class TestClock : public QObject
{
    Q_OBJECT
private slots:
    void countsTheTimeAsleep()
    {
        // A time namespace whose boot clock is a day ahead of its monotonic
        // clock stands for a machine that has slept for a day.
        constexpr int kNoNamespace = 77;
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            FILE *offsets = nullptr;
            if (unshare(CLONE_NEWTIME | (geteuid() == 0 ? 0 : CLONE_NEWUSER)) != 0 ||
                !(offsets = fopen("/proc/self/timens_offsets", "w")) ||
                fputs("boottime 86400 0\n", offsets) < 0 || fclose(offsets) != 0)
                _exit(kNoNamespace);
            // Only children enter the new namespace.
            const pid_t inner = fork();
            if (inner == 0) {
                timespec mono{};
                clock_gettime(CLOCK_MONOTONIC, &mono);
                const qint64 ahead =
                    SystemClock::steadyNs() - (qint64(mono.tv_sec) * 1000000000 + mono.tv_nsec);
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
