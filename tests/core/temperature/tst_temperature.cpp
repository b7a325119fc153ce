#include "core/app/language.h"
#include "core/base/clock.h"
#include "core/baths/bath.h"
#include "core/calc/time_temperature.h"
#include "core/process/time_text.h"
#include "core/temperature/compensating_timer.h"
#include "core/temperature/temperature_source.h"
#include "core/temperature/temperature_texts.h"

#include <QTest>

namespace {

// A maker's chart for a developer at 20 °C: the 10:00 column and the 8:00 one,
// each as its bath's table of factors.
TemperatureResponse chart(bool tenMinutes)
{
    TemperatureResponse r;
    r.model = TemperatureResponse::Table;
    if (tenMinutes)
        r.table = {{18, 1.25}, {19, 1.125}, {20, 1}, {21, 0.9}, {22, 0.8}, {24, 0.7}};
    else
        r.table = {{18, 1.21875}, {19, 1.09375}, {20, 1},
                   {21, 0.90625}, {22, 0.8125},  {24, 0.6875}};
    return r;
}

QString remaining(const CompensatingTimer &t, qint64 nowMs)
{
    return SecondsToTimeText(int(t.remainingMs(nowMs) / 1000));
}

constexpr qint64 kMinute = 60000;

TemperatureTexts englishTexts()
{
    LanguageTable language;
    language.loadFile(QFINDTESTDATA("../../../sample/english.txt"));
    return TemperatureTexts::fromLanguage(language);
}

} // namespace

class TestTemperature : public QObject
{
    Q_OBJECT
private slots:
    // The chart's own points come back exactly, and a step read half-way at
    // another temperature does the rest at that point's factor.
    void tablePoints_data()
    {
        QTest::addColumn<bool>("tenMinutes");
        QTest::addColumn<double>("celsius");
        QTest::addColumn<QString>("time");
        const auto add = [](bool ten, double c, const char *t) {
            QTest::addRow("%s at %g", ten ? "10:00" : "8:00", c) << ten << c << QString(t);
        };
        add(true, 18, "00:12:30");
        add(true, 19, "00:11:15");
        add(true, 20, "00:10:00");
        add(true, 21, "00:09:00");
        add(true, 22, "00:08:00");
        add(true, 24, "00:07:00");
        add(false, 18, "00:09:45");
        add(false, 19, "00:08:45");
        add(false, 21, "00:07:15");
        add(false, 22, "00:06:30");
        add(false, 24, "00:05:30");
    }
    void tablePoints()
    {
        QFETCH(bool, tenMinutes);
        QFETCH(double, celsius);
        QFETCH(QString, time);
        CompensatingTimer t(chart(tenMinutes), 20);
        QCOMPARE(t.reading(0, celsius), CompensatingTimer::Reading::Applied);
        t.start((tenMinutes ? 600 : 480) * 1000LL, 1000);
        QCOMPARE(SecondsToTimeText(t.plannedSeconds()), time);
        QCOMPARE(SecondsToTimeText(int((t.endMs() - 1000) / 1000)), time);
    }

    // Readings integrate: every second at T does 1/factor(T) seconds of the
    // development; a reading while paused counts from the resume.
    void readingsIntegrate_data()
    {
        QTest::addColumn<QList<QList<qint64>>>("events"); // {ms, kind, tenths of °C}
        QTest::addColumn<QStringList>("shown");           // remaining after each event
        QTest::addColumn<qint64>("endMs");
        enum
        {
            Read,
            Pause,
            Resume
        };
        QTest::newRow("half-way at 22 leaves 4:00")
            << QList<QList<qint64>>{{5 * kMinute, Read, 220}} << QStringList{"00:04:00"}
            << 9 * kMinute;
        QTest::newRow("20, then 22, then 20: ends 9:15 after the start")
            << QList<QList<qint64>>{{2 * kMinute, Read, 220},
                                    {5 * kMinute, Read, 220},
                                    {5 * kMinute, Read, 200}}
            << QStringList{"00:06:24", "00:03:24", "00:04:15"} << 9 * kMinute + 15000;
        QTest::newRow("a reading while paused applies from the resume")
            << QList<QList<qint64>>{{2 * kMinute, Pause, 0},
                                    {2 * kMinute + 30000, Read, 220},
                                    {3 * kMinute, Resume, 0}}
            << QStringList{"00:08:00", "00:08:00", "00:06:24"} << 9 * kMinute + 24000;
        QTest::newRow("a reading after the end changes nothing")
            << QList<QList<qint64>>{{11 * kMinute, Read, 180}} << QStringList{"00:00:00"}
            << 10 * kMinute;
    }
    void readingsIntegrate()
    {
        QFETCH(QList<QList<qint64>>, events);
        QFETCH(QStringList, shown);
        QFETCH(qint64, endMs);
        CompensatingTimer t(chart(true), 20);
        t.start(10 * kMinute, 0);
        QStringList got;
        for (const QList<qint64> &e : events) {
            if (e[1] == 0)
                t.reading(e[0], e[2] / 10.0);
            else if (e[1] == 1)
                t.pause(e[0]);
            else
                t.resume(e[0]);
            got << remaining(t, e[0]);
        }
        QCOMPARE(got, shown);
        QCOMPARE(t.endMs(), endMs);
        QCOMPARE(t.readings().front(), (CompensatingTimer::Record{0, 20}));
    }

    // The Conversion Temps model gives what that page shows, also after the
    // bath's wear: the ID-11 stock at its 3rd film is 10:12 for 08:30.
    void conversionTempsModel_data()
    {
        QTest::addColumn<int>("fileSeconds");
        QTest::addColumn<int>("filmsSoFar");
        QTest::addColumn<QString>("pageTime");
        QTest::addColumn<QString>("time");
        QTest::newRow("10:00, 20 -> 22") << 600 << 0 << "00:10:00"
                                         << "00:08:43";
        QTest::newRow("ID-11, 3rd film, 08:30 at 22") << 510 << 2 << "00:10:12"
                                                      << "00:08:53";
    }
    void conversionTempsModel()
    {
        QFETCH(int, fileSeconds);
        QFETCH(int, filmsSoFar);
        QFETCH(QString, pageTime);
        QFETCH(QString, time);
        Bath id11;
        id11.name = "ID-11";
        id11.wear = Bath::Wear::LinearPercent;
        id11.parameter = 10;
        id11.bottles.push_back({});
        if (filmsSoFar > 0)
            id11.bottles.back().uses.push_back({QDate(2025, 12, 1), filmsSoFar});
        const int worn = adjustedSeconds(id11, fileSeconds);
        QCOMPARE(SecondsToTimeText(worn), pageTime);
        CompensatingTimer t(id11.temperature, 20);
        t.reading(0, 22);
        t.start(worn * 1000LL, 0);
        const QString page =
            TimeTemperature::compensate(TimeTemperature::Celsius, pageTime, "20", "22", '.').time;
        QCOMPARE(page, time);
        QCOMPARE(SecondsToTimeText(t.plannedSeconds()), time);
    }

    // A table refuses what lies outside it, and says so; the plan stays.
    void outsideTheTableIsRefused_data()
    {
        QTest::addColumn<double>("reference");
        QTest::addColumn<double>("celsius");
        QTest::addColumn<QString>("message");
        QTest::newRow("too warm") << 20.0 << 25.0
                                  << "25 °C is outside the bath's table: 18 °C to 24 °C.";
        QTest::newRow("too cold, in °F")
            << 20.0 << 17.5 << "63.5 °F is outside the bath's table: 64.4 °F to 75.2 °F.";
        QTest::newRow("the process's own temperature outside")
            << 26.0 << 22.0 << "26 °C is outside the bath's table: 18 °C to 24 °C.";
    }
    void outsideTheTableIsRefused()
    {
        QFETCH(double, reference);
        QFETCH(double, celsius);
        QFETCH(QString, message);
        CompensatingTimer t(chart(true), reference);
        t.start(10 * kMinute, 0);
        const qint64 end = t.endMs();
        QCOMPARE(t.reading(kMinute, celsius), CompensatingTimer::Reading::Refused);
        QCOMPARE(t.endMs(), end);
        QCOMPARE(t.readings().size(), size_t(1));
        const TemperatureUnit unit = QTest::currentDataTag() == QByteArray("too cold, in °F")
                                         ? TemperatureUnit::Fahrenheit
                                         : TemperatureUnit::Celsius;
        QCOMPARE(temperatureRefusal(englishTexts(), chart(true), celsius, reference, unit, '.'),
                 message);
    }

    void parseAndFormat_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("unit");        // of the field
        QTest::addColumn<QString>("celsius"); // formatted back in °C, "-" when refused
        QTest::newRow("bare number") << "20" << 0 << "20 °C";
        QTest::newRow("°F named") << "68 °F" << 0 << "20 °C";
        QTest::newRow("field in °F") << "70.7" << 1 << "21.5 °C";
        QTest::newRow("comma") << "20,5" << 0 << "20.5 °C";
        QTest::newRow("no blank, C") << "21.5°C" << 1 << "21.5 °C";
        QTest::newRow("letter alone") << " 75 f " << 0 << "23.9 °C";
        QTest::newRow("below zero") << "-2" << 0 << "-2 °C";
        QTest::newRow("exponent") << "2e1" << 0 << "-";
        QTest::newRow("empty") << "" << 0 << "-";
        QTest::newRow("unit alone") << "°C" << 0 << "-";
        QTest::newRow("boiling and more") << "500" << 0 << "-";
        QTest::newRow("words") << "warm" << 0 << "-";
    }
    void parseAndFormat()
    {
        QFETCH(QString, text);
        QFETCH(int, unit);
        QFETCH(QString, celsius);
        const auto got = parseTemperature(text, TemperatureUnit(unit));
        QCOMPARE(got ? formatTemperature(*got, TemperatureUnit::Celsius) : QString("-"), celsius);
    }

    void formatInEitherUnit()
    {
        QCOMPARE(formatTemperature(21.5, TemperatureUnit::Fahrenheit), QString("70.7 °F"));
        QCOMPARE(formatTemperature(21.5, TemperatureUnit::Celsius, ','), QString("21,5 °C"));
        QCOMPARE(temperatureLabel(englishTexts(), 21.5, TemperatureUnit::Celsius, '.', 510, 460),
                 QString("21.5 °C · 08:30 → 07:40"));
    }

    // Ctrl+Up and Ctrl+Down move by half a degree from the half degree next
    // to the value, and every change reaches the listener with its instant.
    void keyboardThermometer()
    {
        FakeClock clock;
        KeyboardThermometer k(clock, 20.3);
        QList<double> got;
        qint64 at = 0;
        k.setListener([&](const TemperatureSource::Reading &r) {
            got << r.celsius;
            at = r.atMs;
        });
        k.nudge(1);
        k.nudge(-1);
        k.nudge(-1);
        clock.advanceMs(1500);
        k.set(200); // outside: ignored
        k.set(21.2);
        QCOMPARE(got, (QList<double>{20.5, 20, 19.5, 21.2}));
        QCOMPARE(at, clock.nowMs());
    }
};

QTEST_GUILESS_MAIN(TestTemperature)
#include "tst_temperature.moc"
