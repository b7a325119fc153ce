#include "gui/lazy_sound_output.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {

bool multimediaLoaded()
{
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
}

} // namespace

// This program does not link Qt Multimedia: only the plugin brings it in.
class TestLazySoundOutput : public QObject
{
    Q_OBJECT
private slots:
    void loadsTheSoundSystemAtTheFirstSound()
    {
        LazySoundOutput sound({"/no/such/plugin.so", SOUND_PLUGIN_PATH}, QDir::temp());
        QCoreApplication::processEvents();
        QVERIFY(!multimediaLoaded());
        sound.beepDefault();
        sound.playWave("5.wav");
        // The caller does not wait for the load.
        QVERIFY(!multimediaLoaded());
        QCoreApplication::processEvents();
        QVERIFY(multimediaLoaded());
        sound.beepExclamation();
        QCoreApplication::processEvents();
    }

    void withoutThePluginEveryRequestIsDropped()
    {
        LazySoundOutput sound({"/no/such/plugin.so"}, QDir::temp());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^noctarel: no sound: .*plugin.so"));
        sound.beepDefault();
        QCoreApplication::processEvents();
        // Once: the next requests find no plugin without looking again.
        QTest::failOnWarning(QRegularExpression(".*"));
        sound.playWave("5.wav");
        sound.beepExclamation();
        QCoreApplication::processEvents();
    }
};

QTEST_MAIN(TestLazySoundOutput)
#include "tst_lazy_sound_output.moc"
