#include "core/process/tone.h"
#include "gui/qt_sound_output.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

// Runs wherever the tests run: on a build machine without an audio device requests
// must be silent and cheap; on a desk with one they must still never make the
// caller wait.
class TestQtSoundOutput : public QObject
{
    Q_OBJECT
private slots:
    void rapidRequestsNeverWait()
    {
        TempWorkDir dir;
        dir.write("5.wav", makeToneWav({{440, 300}}, 22050));
        dir.write("4.wav", "not a wave");
        dir.write("3.wav", makeToneWav({{523, 300}}, 44100));

        QtSoundOutput sound;
        // The first sound may open the sound system and report, once, that there is
        // none; after that a count-down must not write a line per tick.
        sound.playWave("5.wav");
        QCoreApplication::processEvents();
        QTest::failOnWarning(QRegularExpression(".*"));

        const int requests = 200;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < requests / 5; ++i) {
            sound.playWave("5.wav");
            sound.playWave("-1.wav");
            sound.playWave("4.wav");
            sound.beepDefault();
            sound.beepExclamation();
        }
        const qint64 ns = timer.nsecsElapsed();
        qInfo("%d requests in %.3f ms", requests, ns / 1e6);
        QVERIFY2(ns < 200'000'000, qPrintable(QString::number(ns / 1e6) + " ms"));

        // Each sound cut off by the next after it has started, through every kind of
        // request and a change of sample format.
        for (int i = 0; i < 10; ++i) {
            sound.playWave("5.wav");
            QCoreApplication::processEvents();
            sound.playWave("3.wav");
            QCoreApplication::processEvents();
            sound.playWave("missing.wav");
            QCoreApplication::processEvents();
            sound.beepExclamation();
            QCoreApplication::processEvents();
        }
        // The output goes while the chime still plays.
    }
};

QTEST_MAIN(TestQtSoundOutput)
#include "tst_qt_sound_output.moc"
