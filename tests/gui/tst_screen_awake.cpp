#include "app_fixture.h"
#include "gui/process/process_tab.h"
#include "gui/screen_awake.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusError>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>

// The desktop's screen saver as a test stands it in: it records the calls,
// in a thread of its own so that a caller may wait for its answer.
class ScreenSaverStandIn : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList calls() const
    {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_calls.clear();
        m_cookie = 40;
        m_refusals = 0;
    }
    // The next requests are refused, as by a desktop not ready yet.
    void refuse(int requests)
    {
        QMutexLocker lock(&m_mutex);
        m_refusals = requests;
    }

public slots:
    uint Inhibit(const QString &application, const QString &reason)
    {
        QMutexLocker lock(&m_mutex);
        m_calls << "Inhibit " + application + (reason.isEmpty() ? " without a reason" : "");
        if (m_refusals > 0) {
            --m_refusals;
            sendErrorReply(QDBusError::Failed, "not now");
            return 0;
        }
        return ++m_cookie;
    }
    void UnInhibit(uint cookie)
    {
        QMutexLocker lock(&m_mutex);
        m_calls << "UnInhibit " + QString::number(cookie);
    }

private:
    mutable QMutex m_mutex;
    QStringList m_calls;
    uint m_cookie = 40;
    int m_refusals = 0;
};

class TestScreenAwake : public QObject
{
    Q_OBJECT

    QProcess m_daemon;
    QString m_address;
    QThread m_thread;
    ScreenSaverStandIn *m_standIn = nullptr;

    QDBusConnection client() { return QDBusConnection::connectToBus(m_address, "noctarel"); }

    struct Rig
    {
        // Outlives the window, as in the program.
        std::unique_ptr<ScreenAwake> awake;
        AppFixture f;
        TfrmMain *w = nullptr;

        explicit Rig(const ScreenAwake::BusFactory &bus) : awake(std::make_unique<ScreenAwake>(bus))
        {
            f.writeStandardFolder();
            f.dir.write("proc/a.txt", crlf({"[Titel]", "Film", "[Comments]", "", "[Process]",
                                            "Step\tTime\tTime 2\tWait\tAgit", "Dev\t00:05:00\t\t\t",
                                            "Fix\t00:05:00\t\t\t"}));
            f.dir.write("films.txt", crlf({"a.txt", "a.txt"}));
            TfrmMain::Services s;
            s.dialogs = &f.dialogs;
            s.clock = &f.clock;
            s.sound = &f.sound;
            s.screenAwake = awake.get();
            f.window = std::make_unique<TfrmMain>(s);
            w = f.window.get();
        }
        QPushButton *button(int i, const char *role)
        {
            ProcessTab *t = w->processPages()->tab(i);
            return t->findChild<QPushButton *>("btn" + t->objectName().mid(3) + role);
        }
    };

private slots:
    void initTestCase()
    {
        // A session bus of the test's own, and the stand-in on it.
        m_daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        QVERIFY2(m_daemon.waitForStarted(), "dbus-daemon (package dbus-daemon) is needed");
        QVERIFY(m_daemon.waitForReadyRead(10000));
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QVERIFY(!m_address.isEmpty());
        QDBusConnection service = QDBusConnection::connectToBus(m_address, "standin");
        QVERIFY(service.isConnected());
        m_standIn = new ScreenSaverStandIn;
        m_standIn->moveToThread(&m_thread);
        m_thread.start();
        QVERIFY(service.registerObject("/org/freedesktop/ScreenSaver", m_standIn,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService("org.freedesktop.ScreenSaver"));
    }
    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus("noctarel");
        QDBusConnection::disconnectFromBus("standin");
        m_thread.quit();
        m_thread.wait();
        delete m_standIn;
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }
    void init() { m_standIn->clear(); }

    void heldWhileAProcessIsUnderway()
    {
        Rig r([this] { return client(); });
        QCOMPARE(m_standIn->calls(), QStringList());
        r.button(0, "Start")->click();
        QTRY_VERIFY(r.awake->held());
        r.button(1, "Start")->click();
        r.button(0, "Pause")->click(); // paused part-way: still under way
        r.button(1, "Reset")->click();
        QVERIFY(r.awake->held());
        r.button(0, "Reset")->click();
        QTRY_COMPARE(m_standIn->calls(), (QStringList{"Inhibit Noctarel", "UnInhibit 41"}));
        QVERIFY(!r.awake->held());
        // The end of a process lets the screen go as well.
        r.button(1, "Next")->click();
        r.button(1, "Pause")->click();
        QTRY_VERIFY(r.awake->held());
        ProcessTab *t = r.w->processPages()->tab(1);
        r.f.clock.setNowMs(*t->process().cellEndMs() + 2);
        t->run([t] { t->process().tick(); });
        QTRY_COMPARE(m_standIn->calls().size(), 4);
        QCOMPARE(m_standIn->calls().at(3), QStringLiteral("UnInhibit 42"));
    }

    // A desktop that said no, or did not answer, is asked again while a
    // process is under way.
    void askedAgainAfterARefusal()
    {
        Rig r([this] { return client(); });
        r.awake->setRetryInterval(50);
        m_standIn->refuse(2);
        r.button(0, "Start")->click();
        QTRY_VERIFY(r.awake->held());
        QCOMPARE(m_standIn->calls(),
                 (QStringList{"Inhibit Noctarel", "Inhibit Noctarel", "Inhibit Noctarel"}));
    }

    void releasedByAReload()
    {
        Rig r([this] { return client(); });
        r.button(0, "Start")->click();
        QTRY_VERIFY(r.awake->held());
        r.w->btnPrefReloadClick();
        QTRY_COMPARE(m_standIn->calls().size(), 2);
        QVERIFY(m_standIn->calls().at(1).startsWith("UnInhibit"));
    }

    void releasedWhenTheProgramEnds()
    {
        Rig r([this] { return client(); });
        r.button(0, "Start")->click();
        // Ends before the desktop has even answered.
        r.f.window.reset();
        r.awake.reset();
        QCOMPARE(m_standIn->calls(), (QStringList{"Inhibit Noctarel", "UnInhibit 41"}));
    }

    void withoutABusNothing()
    {
        Rig r([] { return QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "none"); });
        r.button(0, "Start")->click();
        QVERIFY(!r.awake->held());
        r.button(0, "Reset")->click();
        r.awake.reset();
        QCOMPARE(m_standIn->calls(), QStringList());
        QCOMPARE(r.f.dialogs.errors(), QStringList());
    }
};

QTEST_MAIN(TestScreenAwake)
#include "tst_screen_awake.moc"
