#include "core/base/runtime_error.h"
#include "core/calc/time_temperature.h"
#include "core/process/time_text.h"

#include <QTest>
#include <cmath>

using namespace TimeTemperature;

namespace {

QString comma(QString s)
{
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

// The closed form: each 9 °C (16.2 °F) of warming divides the time by 1.855043714.
QString closedForm(int unit, double refTemp, double refSeconds, double newTemp)
{
    const double span = unit == Celsius ? 9.0 : 16.2;
    const double seconds = refSeconds * std::pow(1.855043714, (refTemp - newTemp) / span);
    return SecondsToTimeText(int(std::nearbyint(seconds)));
}

} // namespace

class TestTimeTemperature : public QObject
{
    Q_OBJECT
private slots:
    void slopes_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("k");
        QTest::newRow("Celsius") << int(Celsius) << -0.0990503538;
        QTest::newRow("Fahrenheit") << int(Fahrenheit) << -0.0550279743;
        QTest::newRow("any other index is Fahrenheit") << 2 << -0.0550279743;
    }
    void slopes()
    {
        QFETCH(int, unit);
        QFETCH(double, k);
        QVERIFY2(std::fabs(slope(unit) - k) < 1e-10,
                 qPrintable(QString::number(slope(unit), 'g', 17)));
    }

    void panel_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("refTime");
        QTest::addColumn<QString>("refTemp");
        QTest::addColumn<QString>("newTemp");
        QTest::addColumn<QString>("time");
        const auto both = [](const char *name, int unit, const QString &t, const QString &ref,
                             const QString &now, const QString &expected) {
            QTest::addRow("%s (.)", name) << unit << t << ref << now << expected;
            QTest::addRow("%s (,)", name) << unit << t << comma(ref) << comma(now) << expected;
        };
        both("24 C from 20 C", Celsius, "00:10:00", "20", "24", "00:07:36");
        both("75 F from 68 F", Fahrenheit, "00:10:00", "68", "75", "00:07:39");
        both("18 C from 20 C lengthens", Celsius, "00:10:00", "20", "18", "00:11:28");
        both("same whole temperature", Celsius, "00:10:00", "20", "20", "00:10:00");
        both("blank reference time", Celsius, "  :  :  ", "20", "24", "00:00:00");
        both("20.5 C", Celsius, "00:10:00", "20", "20.5", closedForm(Celsius, 20, 600, 20.5));
        both("21.5 C", Celsius, "00:10:00", "20", "21.5", closedForm(Celsius, 20, 600, 21.5));
        both("decimal reference", Celsius, " 1:30:00", "19.5", "23",
             closedForm(Celsius, 19.5, 5400, 23));
        both("68.5 F", Fahrenheit, "00:08:00", "68", "68.5", closedForm(Fahrenheit, 68, 480, 68.5));
    }
    void panel()
    {
        QFETCH(int, unit);
        QFETCH(QString, refTime);
        QFETCH(QString, refTemp);
        QFETCH(QString, newTemp);
        QFETCH(QString, time);
        const QChar sep = newTemp.contains(',') || refTemp.contains(',') ? ',' : '.';
        QCOMPARE(compensate(unit, refTime, refTemp, newTemp, sep).time, time);
    }

    void table_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("refTime");
        QTest::addColumn<QString>("newTemp");
        QTest::addColumn<QStringList>("temperatures");
        QTest::addColumn<QStringList>("times");
        QTest::newRow("24 C") << int(Celsius) << "00:10:00"
                              << "24" << QStringList{"19", "20", "21", "22", "23", "24",
                                                     "25", "26", "27", "28", "29"}
                              << QStringList{"00:10:43", "00:10:00", "00:09:20", "00:08:43",
                                             "00:08:08", "00:07:36", "00:07:06", "00:06:37",
                                             "00:06:11", "00:05:46", "00:05:23"};
        QStringList zeros;
        for (int i = 0; i < 11; ++i)
            zeros << "00:00:00";
        QTest::newRow("blank reference time")
            << int(Celsius) << "  :  :  "
            << "24" << QStringList{"19", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29"}
            << zeros;
    }
    void table()
    {
        QFETCH(int, unit);
        QFETCH(QString, refTime);
        QFETCH(QString, newTemp);
        QFETCH(QStringList, temperatures);
        QFETCH(QStringList, times);
        for (const QChar sep : {QChar('.'), QChar(',')}) {
            const Table t = compensate(unit, refTime, "20", newTemp, sep);
            QCOMPARE(t.temperatures, temperatures);
            QCOMPARE(t.times, times);
        }
    }

    // The row of whole temperatures centres on the new one rounded half to even.
    void tableRange_data()
    {
        QTest::addColumn<QString>("newTemp");
        QTest::addColumn<int>("first");
        QTest::newRow("20.5 rounds down to 20") << "20.5" << 15;
        QTest::newRow("21.5 rounds up to 22") << "21.5" << 17;
        QTest::newRow("20.6") << "20.6" << 16;
        QTest::newRow("-0.5 rounds to 0") << "-0.5" << -5;
        QTest::newRow("below zero") << "-3" << -8;
    }
    void tableRange()
    {
        QFETCH(QString, newTemp);
        QFETCH(int, first);
        const Table t = compensate(Celsius, "00:10:00", "20", newTemp, '.');
        QCOMPARE(t.temperatures.size(), 11);
        for (int i = 0; i < 11; ++i) {
            QCOMPARE(t.temperatures[i], QString::number(first + i));
            QCOMPARE(t.times[i], closedForm(Celsius, 20, 600, first + i));
        }
    }

    void wholeReferenceRepeatsInColumn5()
    {
        const Table t = compensate(Fahrenheit, "00:12:34", "68", "68", '.');
        QCOMPARE(t.time, QStringLiteral("00:12:34"));
        QCOMPARE(t.temperatures[5], QStringLiteral("68"));
        QCOMPARE(t.times[5], QStringLiteral("00:12:34"));
    }

    void errors_data()
    {
        QTest::addColumn<QString>("refTemp");
        QTest::addColumn<QString>("newTemp");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty reference temperature") << ""
                                                     << "24"
                                                     << "'' is not a valid floating point value";
        QTest::newRow("empty new temperature") << "20"
                                               << ""
                                               << "'' is not a valid floating point value";
        QTest::newRow("the new one is read first") << "x"
                                                   << "y"
                                                   << "'y' is not a valid floating point value";
        QTest::newRow("comma under point locale") << "20"
                                                  << "20,5"
                                                  << "'20,5' is not a valid floating point value";
        QTest::newRow("beyond 32-bit seconds") << "20"
                                               << "-2000"
                                               << "Floating point overflow";
        QTest::newRow("power overflows") << "20"
                                         << "-1e6"
                                         << "Floating point overflow";
        QTest::newRow("no whole temperature around") << "20"
                                                     << "1e30"
                                                     << "Invalid floating point operation";
    }
    void errors()
    {
        QFETCH(QString, refTemp);
        QFETCH(QString, newTemp);
        QFETCH(QString, error);
        QString message;
        try {
            compensate(Celsius, "00:10:00", refTemp, newTemp, '.');
        } catch (const RuntimeError &e) {
            message = e.message();
        }
        QCOMPARE(message, error);
    }

    void zeroExponentKeepsTheTime()
    {
        QCOMPARE(compensatedSeconds(20.25L, 20.25L, slope(Celsius), 4321), 4321);
        QCOMPARE(compensatedSeconds(20, 20, 0.0, 59), 59);
    }
};

QTEST_GUILESS_MAIN(TestTimeTemperature)
#include "tst_time_temperature.moc"
