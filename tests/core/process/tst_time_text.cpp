#include "core/process/time_text.h"

#include <QTest>

class TestTimeText : public QObject
{
    Q_OBJECT
private slots:
    void toText_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << "00:00:00";
        QTest::newRow("59") << 59 << "00:00:59";
        QTest::newRow("3661") << 3661 << "01:01:01";
        QTest::newRow("5400") << 5400 << "01:30:00";
        QTest::newRow("99:59:59") << 359999 << "99:59:59";
        QTest::newRow("100 hours") << 360000 << "100:00:00";
        QTest::newRow("minus 5") << -5 << "00:00:0-5";
        QTest::newRow("minus an hour") << -3600 << "0-1:00:00";
        QTest::newRow("minus 1") << -1 << "00:00:0-1";
    }
    void toText()
    {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QCOMPARE(SecondsToTimeText(seconds), text);
    }

    void toSeconds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");
        QTest::newRow("plain") << "01:30:00" << 5400;
        QTest::newRow("leading blank") << " 1:30:00" << 5400;
        QTest::newRow("one hour digit") << "1:30:00" << 0;
        QTest::newRow("seconds above 59") << "00:00:90" << 90;
        QTest::newRow("minutes above 59") << "00:75:00" << 4500;
        QTest::newRow("no seconds") << "12:34" << 0;
        QTest::newRow("blank mask") << "  :  :  " << 0;
        QTest::newRow("wait mark") << "X" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("lower-case x") << "x" << 0;
        QTest::newRow("other separators") << "01.30.00" << 5400;
        QTest::newRow("100 hours") << "100:00:00" << 0;
        QTest::newRow("negative hour") << "-1:00:00" << -3600;
        QTest::newRow("trailing text ignored") << "00:01:00 extra" << 60;
        QTest::newRow("trailing blank in field") << "00:01:5 " << 0;
        QTest::newRow("letter in field") << "0a:00:00" << 0;
        QTest::newRow("agitation code") << "A1" << 0;
    }
    void toSeconds()
    {
        QFETCH(QString, text);
        QFETCH(int, seconds);
        QCOMPARE(TimeTextToSeconds(text), seconds);
    }

    void roundTrip()
    {
        for (int n = 0; n <= 359999; ++n) {
            if (TimeTextToSeconds(SecondsToTimeText(n)) != n)
                QFAIL(qPrintable(QString("round trip fails at %1").arg(n)));
        }
    }
};

QTEST_GUILESS_MAIN(TestTimeText)
#include "tst_time_text.moc"
