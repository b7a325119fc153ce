#include "core/base/runtime_error.h"
#include "core/calc/dilution.h"
#include "core/calc/number_text.h"

#include <QTest>

namespace {

enum Row
{
    A,
    B,
    C,
    D
};

// What a Calcul click computes from the three texts as typed.
QString calculate(int row, const QStringList &in, QChar sep)
{
    const double x = toDouble(TextToNumber(in[0], sep));
    const double y = toDouble(TextToNumber(in[1], sep));
    const double z = toDouble(TextToNumber(in[2], sep));
    long double r = 0;
    switch (row) {
    case A:
        r = Dilution::stockForFinal(x, y, z);
        break;
    case B:
        r = Dilution::finalForStock(x, y, z);
        break;
    case C:
        r = Dilution::stockForRatio(x, y, z);
        break;
    default:
        r = Dilution::stockForPercent(x, y, z);
    }
    return NumberToText(r, sep);
}

QString raised(int row, const QStringList &in)
{
    try {
        calculate(row, in, '.');
    } catch (const RuntimeError &e) {
        return e.message();
    }
    return QString();
}

void addBoth(const char *name, int row, const QStringList &in, const QString &out)
{
    QTest::addRow("%s (.)", name) << row << in << QChar('.') << out;
    QStringList comma = in;
    comma.replaceInStrings(QStringLiteral("."), QStringLiteral(","));
    QString commaOut = out;
    commaOut.replace(QLatin1Char('.'), QLatin1Char(','));
    QTest::addRow("%s (,)", name) << row << comma << QChar(',') << commaOut;
}

} // namespace

class TestDilution : public QObject
{
    Q_OBJECT
private slots:
    void results_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("in");
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<QString>("out");
        addBoth("a: 1000 at 1+4", A, {"1000", "1", "4"}, "200");
        addBoth("a: 1000 at 1+2", A, {"1000", "1", "2"}, "333.333333333333");
        // The first number enters only through the sum.
        addBoth("a: 1000 at 2+8", A, {"1000", "2", "8"}, "100");
        addBoth("a: decimals", A, {"2.5", "0.5", "4.5"}, "0.5");
        addBoth("b: 200 at 1+4", B, {"200", "1", "4"}, "1000");
        addBoth("b: 100 at 2+8", B, {"100", "2", "8"}, "500");
        addBoth("b: 0.75 at 1+2", B, {"0.75", "1", "2"}, "2.25");
        addBoth("c: 1000 at 30/1000", C, {"1000", "30", "1000"}, "30");
        addBoth("c: 500 at 2.5/1000", C, {"500", "2.5", "1000"}, "1.25");
        addBoth("d: 500 at 2% from 20%", D, {"500", "2", "20"}, "50");
        addBoth("d: equal concentrations", D, {"500", "20", "20"}, "500");
        addBoth("d: 1000 at 0.5% from 3%", D, {"1000", "0.5", "3"}, "166.666666666667");
        addBoth("negative result as it comes", A, {"1000", "-3", "1"}, "-500");
    }
    void results()
    {
        QFETCH(int, row);
        QFETCH(QStringList, in);
        QFETCH(QChar, sep);
        QFETCH(QString, out);
        QCOMPARE(calculate(row, in, sep), out);
    }

    void zeroDivisors_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("in");
        QTest::addColumn<QString>("error");
        const QString byZero = "Floating point division by zero";
        const QString invalid = "Invalid floating point operation";
        QTest::newRow("a: 1 + -1") << int(A) << QStringList{"1000", "1", "-1"} << byZero;
        QTest::newRow("a: 0 / (1 + -1)") << int(A) << QStringList{"0", "1", "-1"} << invalid;
        QTest::newRow("b: a = 0") << int(B) << QStringList{"200", "0", "4"} << byZero;
        QTest::newRow("b: 0 / 0") << int(B) << QStringList{"0", "0", "4"} << invalid;
        QTest::newRow("c: c2 = 0") << int(C) << QStringList{"1000", "30", "0"} << byZero;
        QTest::newRow("d: K = 0, F < 0") << int(D) << QStringList{"500", "-1", "0"} << byZero;
        QTest::newRow("d: K = F = 0") << int(D) << QStringList{"500", "0", "0"} << invalid;
    }
    void zeroDivisors()
    {
        QFETCH(int, row);
        QFETCH(QStringList, in);
        QFETCH(QString, error);
        QCOMPARE(raised(row, in), error);
    }

    // Inputs are doubles, the arithmetic extended: results past the double
    // range are still written, and only an unreadable double is refused.
    void extendedRange()
    {
        QCOMPARE(calculate(A, {"1e308", "1e-308", "0"}, '.'), QStringLiteral("1E616"));
        QCOMPARE(raised(A, {"1e400", "1", "4"}), QStringLiteral("Floating point overflow"));
    }
};

QTEST_GUILESS_MAIN(TestDilution)
#include "tst_dilution.moc"
