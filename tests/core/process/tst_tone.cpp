#include "core/process/tone.h"

#include <QTest>
#include <QtEndian>
#include <cmath>
#include <numbers>

Q_DECLARE_METATYPE(QList<Tone>)

namespace {

quint32 le(const QByteArray &b, int pos, int bytes)
{
    return bytes == 2 ? qFromLittleEndian<quint16>(b.constData() + pos)
                      : qFromLittleEndian<quint32>(b.constData() + pos);
}

QList<int> samplesOf(const QByteArray &wav)
{
    QList<int> out;
    for (int pos = 44; pos + 1 < wav.size(); pos += 2)
        out << qFromLittleEndian<qint16>(wav.constData() + pos);
    return out;
}

// Pitch from sign changes (a sine crosses zero twice a period), leaving out the
// near-silent fades where rounding noise would count.
double pitchHz(const QList<int> &s, int from, int to, int sampleRate)
{
    int crossings = 0, first = -1, lastCrossing = -1, last = 0;
    for (int i = from; i < to; ++i) {
        if (std::abs(s[i]) < 100)
            continue;
        if (last != 0 && (s[i] > 0) != (last > 0)) {
            first = first < 0 ? i : first;
            lastCrossing = i;
            ++crossings;
        }
        last = s[i];
    }
    return crossings < 2 ? 0 : (crossings - 1) / 2.0 * sampleRate / (lastCrossing - first);
}

} // namespace

class TestTone : public QObject
{
    Q_OBJECT
private slots:
    void header_data()
    {
        QTest::addColumn<QList<Tone>>("tones");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("frames");
        QTest::newRow("one note") << QList<Tone>{{880, 120}} << 22050 << 2646;
        QTest::newRow("two notes") << QList<Tone>{{660, 180}, {990, 270}} << 44100 << 19845;
        QTest::newRow("rounded frames") << QList<Tone>{{440, 1}, {0, 1}} << 8000 << 16;
        QTest::newRow("nothing") << QList<Tone>{} << 22050 << 0;
    }
    void header()
    {
        QFETCH(QList<Tone>, tones);
        QFETCH(int, rate);
        QFETCH(int, frames);
        const QByteArray wav = makeToneWav(tones, rate);
        QCOMPARE(wav.size(), 44 + 2 * frames);
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(le(wav, 4, 4), quint32(wav.size() - 8));
        const QList<quint32> format{16, 1, 1, quint32(rate), quint32(2 * rate), 2, 16};
        QCOMPARE((QList<quint32>{le(wav, 16, 4), le(wav, 20, 2), le(wav, 22, 2), le(wav, 24, 4),
                                 le(wav, 28, 4), le(wav, 32, 2), le(wav, 34, 2)}),
                 format);
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        QCOMPARE(le(wav, 40, 4), quint32(2 * frames));
    }

    // A click is a jump no sine of the note's pitch can make: every note starts and
    // ends in silence, so the hand-over between notes is smooth too.
    void noClicks_data()
    {
        QTest::addColumn<QList<Tone>>("tones");
        QTest::newRow("default beep") << defaultBeepTones();
        QTest::newRow("exclamation") << exclamationTones();
        QTest::newRow("high, low, very short") << QList<Tone>{{3000, 40}, {200, 40}, {1000, 2}};
    }
    void noClicks()
    {
        QFETCH(QList<Tone>, tones);
        const int rate = 22050;
        const QList<int> s = samplesOf(makeToneWav(tones, rate));
        int peak = 0;
        for (int v : s)
            peak = std::max(peak, std::abs(v));
        QVERIFY2(peak > 0.3 * 32767 && peak < 0.9 * 32767, "loud, with room before clipping");

        int start = 0;
        double highest = 0;
        for (const Tone &t : tones) {
            const int end = start + int(std::lround(rate * t.durationMs / 1000.0));
            QVERIFY2(std::abs(s[start]) <= peak / 50 + 2, qPrintable(QString::number(start)));
            QVERIFY2(std::abs(s[end - 1]) <= peak / 50 + 2, qPrintable(QString::number(end)));
            start = end;
            highest = std::max(highest, t.frequencyHz);
        }
        // The fades add a little to the sine's own steepest step.
        const double maxStep = 1.5 * 2 * std::numbers::pi * highest / rate * peak + 2;
        for (int i = 1; i < s.size(); ++i)
            QVERIFY2(std::abs(s[i] - s[i - 1]) <= maxStep, qPrintable(QString::number(i)));
    }

    // Told apart by ear: the end chime is much longer, it rises, and neither of its
    // notes is the tick's pitch. Both stay well inside one second of the timer.
    void beepsDiffer()
    {
        const int rate = 22050;
        const QList<int> tick = samplesOf(makeToneWav(defaultBeepTones(), rate));
        const QList<int> chime = samplesOf(makeToneWav(exclamationTones(), rate));
        QVERIFY(tick.size() >= rate / 20 && tick.size() <= rate / 4);
        QVERIFY(chime.size() >= 3 * tick.size() && chime.size() <= rate * 3 / 4);

        const double tickPitch = pitchHz(tick, 0, int(tick.size()), rate);
        const int n = int(chime.size());
        const double firstNote = pitchHz(chime, 0, n / 3, rate);
        const double lastNote = pitchHz(chime, n - n / 3, n, rate);
        QVERIFY2(lastNote > firstNote * 1.3, "the chime rises");
        for (double note : {firstNote, lastNote})
            QVERIFY2(std::abs(note - tickPitch) > 0.1 * tickPitch,
                     qPrintable(QStringLiteral("%1 Hz against %2 Hz").arg(note).arg(tickPitch)));
    }
};

QTEST_APPLESS_MAIN(TestTone)
#include "tst_tone.moc"
