#include "core/process/tone.h"
#include "core/process/wave_file.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QtEndian>

using SampleType = WaveClip::SampleType;

namespace {

QByteArray le(quint32 v, int bytes)
{
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b.left(bytes);
}

QByteArray chunk(const QByteArray &id, const QByteArray &body, qint64 claimed = -1)
{
    QByteArray out = id + le(quint32(claimed < 0 ? body.size() : claimed), 4) + body;
    return body.size() % 2 ? out + '\0' : out;
}

// extensible: WAVE_FORMAT_EXTENSIBLE naming `format` in its sub-format identifier.
QByteArray fmt(quint16 format, int channels, int rate, int bits, bool extensible = false)
{
    const int frame = channels * bits / 8;
    QByteArray body = le(extensible ? 0xFFFE : format, 2) + le(channels, 2) + le(rate, 4) +
                      le(quint32(rate) * quint32(frame), 4) + le(frame, 2) + le(bits, 2);
    if (extensible)
        body += le(22, 2) + le(bits, 2) + le(0, 4) + le(format, 2) +
                QByteArray::fromHex("000000001000800000aa00389b71");
    return chunk("fmt ", body);
}

QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le(quint32(4 + chunks.size()), 4) + "WAVE" + chunks;
}

void stamp(const QString &path, const QDateTime &time)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(time, QFileDevice::FileModificationTime));
}

const QByteArray kPcm = QByteArray::fromHex("010203040506");
const QByteArray kWidened = QByteArray::fromHex("0001020300040506");

} // namespace

class TestWaveFile : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<SampleType>("type");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QByteArray>("pcm");

        const QByteArray data = chunk("data", kPcm);
        const QByteArray none;
        QTest::newRow("16-bit") << riff(fmt(1, 1, 22050, 16) + data) << SampleType::Int16 << 1
                                << kPcm;
        QTest::newRow("8-bit stereo")
            << riff(fmt(1, 2, 8000, 8) + data) << SampleType::UInt8 << 2 << kPcm;
        QTest::newRow("24-bit") << riff(fmt(1, 1, 22050, 24) + data) << SampleType::Int32 << 1
                                << kWidened;
        QTest::newRow("float, extensible")
            << riff(fmt(3, 1, 22050, 32, true) + chunk("data", "abcd")) << SampleType::Float << 1
            << QByteArray("abcd");
        QTest::newRow("24-bit extensible")
            << riff(fmt(1, 1, 22050, 24, true) + data) << SampleType::Int32 << 1 << kWidened;
        QTest::newRow("odd chunk padded, data first")
            << riff(data + chunk("LIST", "abc") + fmt(1, 1, 22050, 16)) << SampleType::Int16 << 1
            << kPcm;
        QTest::newRow("size unknown, as streamed")
            << riff(fmt(1, 1, 22050, 16) + "data" + le(0xFFFFFFFF, 4) + kPcm) << SampleType::Int16
            << 1 << kPcm;
        QTest::newRow("truncated: whole frames")
            << riff(fmt(1, 2, 22050, 16) + chunk("data", kPcm, 400)) << SampleType::Int16 << 2
            << kPcm.left(4);

        QTest::newRow("not RIFF") << QByteArray("RIFX") + riff(fmt(1, 1, 22050, 16) + data).mid(4)
                                  << SampleType::Invalid << 0 << none;
        QTest::newRow("no fmt") << riff(data) << SampleType::Invalid << 0 << none;
        QTest::newRow("no data") << riff(fmt(1, 1, 22050, 16)) << SampleType::Invalid << 0 << none;
        QTest::newRow("short fmt")
            << riff(chunk("fmt ", le(1, 4)) + data) << SampleType::Invalid << 0 << none;
        QTest::newRow("ADPCM") << riff(fmt(2, 1, 22050, 4) + data) << SampleType::Invalid << 0
                               << none;
        QTest::newRow("64-bit float")
            << riff(fmt(3, 1, 22050, 64) + data) << SampleType::Invalid << 0 << none;
        QTest::newRow("12-bit") << riff(fmt(1, 1, 22050, 12) + data) << SampleType::Invalid << 0
                                << none;
        QTest::newRow("no channels")
            << riff(fmt(1, 0, 22050, 16) + data) << SampleType::Invalid << 0 << none;
        // Qt Multimedia 6.4 divides by zero, in a timer event, below 50 Hz.
        QTest::newRow("20 Hz") << riff(fmt(1, 1, 20, 8) + data) << SampleType::Invalid << 0 << none;
        QTest::newRow("49 Hz stereo")
            << riff(fmt(1, 2, 49, 16) + data) << SampleType::Invalid << 0 << none;
        QTest::newRow("three channels")
            << riff(fmt(1, 3, 22050, 16) + data) << SampleType::Invalid << 0 << none;
        QTest::newRow("absurd rate")
            << riff(fmt(1, 1, 2'000'000'000, 16) + data) << SampleType::Invalid << 0 << none;
        QTest::newRow("empty") << QByteArray() << SampleType::Invalid << 0 << none;
    }
    void parse()
    {
        QFETCH(QByteArray, file);
        QFETCH(SampleType, type);
        QFETCH(int, channels);
        QFETCH(QByteArray, pcm);
        const WaveClip clip = parseWave(file);
        QCOMPARE(clip.sampleType, type);
        QCOMPARE(clip.channels, channels);
        QCOMPARE(clip.pcm.toHex(), pcm.toHex());
    }

    void readsGeneratedTones()
    {
        const WaveClip clip = parseWave(makeToneWav(exclamationTones(), 8000));
        QCOMPARE(clip.sampleType, SampleType::Int16);
        QCOMPARE(clip.sampleRate, 8000);
        QCOMPARE(clip.durationMs(), 450);
    }

    // The sample folder's count-down words are playable, and over before the next
    // second's word cuts them off.
    void sampleFolderWaves_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "pause"})
            QTest::newRow(name) << QStringLiteral("%1.wav").arg(name);
    }
    void sampleFolderWaves()
    {
        QFETCH(QString, name);
        QFile file(QFINDTESTDATA("../../../sample/" + name));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
        const WaveClip clip = parseWave(file.readAll());
        QVERIFY(clip.isValid());
        QVERIFY2(clip.durationMs() >= 150 && clip.durationMs() <= 800,
                 qPrintable(QString::number(clip.durationMs())));
    }

    void cacheFollowsTheFile()
    {
        TempWorkDir dir;
        const QString path = dir.file("3.wav");
        WaveCache cache;
        QCOMPARE(cache.clip(path), nullptr);
        QVERIFY(QDir().mkdir(path));
        QCOMPARE(cache.clip(path), nullptr);
        QVERIFY(QDir().rmdir(path));

        // A file that appears later is found.
        dir.write("3.wav", makeToneWav({{440, 100}}, 8000));
        QCOMPARE(cache.clip(path)->durationMs(), 100);

        // Same size and time stamp: not read again, though its bytes changed.
        const QDateTime time = QFileInfo(path).lastModified();
        dir.write("3.wav", QByteArray(QFileInfo(path).size(), 'x'));
        stamp(path, time);
        QVERIFY(cache.clip(path)->isValid());

        // A new time stamp: read again.
        stamp(path, time.addSecs(5));
        QVERIFY(!cache.clip(path)->isValid());

        // A new size with the same time stamp: read again.
        dir.write("3.wav", makeToneWav({{440, 300}}, 8000));
        stamp(path, time.addSecs(5));
        QCOMPARE(cache.clip(path)->durationMs(), 300);

        QVERIFY(QFile::remove(path));
        QCOMPARE(cache.clip(path), nullptr);
    }

    // What the cache reads and what it keeps do not follow what a file claims
    // or how many files a count-down asks for.
    void cacheIsBounded()
    {
        TempWorkDir dir;
        WaveCache cache;
        // A file that reports no size and never ends.
        QVERIFY(QFile::link("/proc/self/pagemap", dir.file("pause.wav")));
        QVERIFY(!cache.clip(dir.file("pause.wav"))->isValid());

        // A count-down of thirty seconds over one-megabyte words.
        const QByteArray word = riff(fmt(1, 1, 22050, 16) + chunk("data", QByteArray(1 << 20, 1)));
        for (int s = 0; s <= 30; ++s) {
            dir.write(QString("%1.wav").arg(s), word);
            QVERIFY(cache.clip(dir.file(QString("%1.wav").arg(s)))->isValid());
            QVERIFY(cache.heldBytes() <= WaveCache::MaxHeldBytes);
        }
        // The first word was let go: read again, it is what the file now holds.
        const QString first = dir.file("0.wav");
        const QDateTime time = QFileInfo(first).lastModified();
        dir.write("0.wav", QByteArray(word.size(), 'x'));
        stamp(first, time);
        QVERIFY(!cache.clip(first)->isValid());
    }
};

QTEST_APPLESS_MAIN(TestWaveFile)
#include "tst_wave_file.moc"
