#include "core/base/runtime_error.h"
#include "core/calc/number_text.h"

#include <QTest>
#include <cfloat>

Q_DECLARE_METATYPE(long double)

namespace {

QString raised(const std::function<void()> &f)
{
    try {
        f();
    } catch (const RuntimeError &e) {
        return e.message();
    }
    return QString();
}

// One row under "." and one under ",", the expected text following suit.
void addBoth(const char *name, long double value, const QString &text)
{
    QTest::addRow("%s (.)", name) << value << QChar('.') << text;
    QString comma = text;
    comma.replace(QLatin1Char('.'), QLatin1Char(','));
    QTest::addRow("%s (,)", name) << value << QChar(',') << comma;
}

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT
private slots:
    void toText_data()
    {
        QTest::addColumn<long double>("value");
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<QString>("text");
        addBoth("zero", 0.0L, "0");
        addBoth("negative zero", -0.0L, "0");
        addBoth("one", 1.0L, "1");
        addBoth("minus one", -1.0L, "-1");
        addBoth("hundred keeps its zeros", 100.0L, "100");
        addBoth("1000 / 3", 1000.0L / 3, "333.333333333333");
        addBoth("-1000 / 3", -1000.0L / 3, "-333.333333333333");
        addBoth("2 / 3 rounds up", 2.0L / 3, "0.666666666666667");
        addBoth("0.1 + 0.2", 0.1L + 0.2L, "0.3");
        addBoth("0.0001 is fixed", 0.0001L, "0.0001");
        addBoth("below 0.0001 rounding up to it", 0.00009999999999999999L, "0.0001");
        addBoth("15 nines stay below 0.0001", 0.0000999999999999999L, "9.99999999999999E-5");
        addBoth("just below 0.0001", 0.0000999L, "9.99E-5");
        addBoth("0.000119591589936703", 0.000119591589936703L, "0.000119591589936703");
        addBoth("1E-5", 0.00001L, "1E-5");
        addBoth("1E-6", 0.000001L, "1E-6");
        addBoth("1.5E-5", 0.000015L, "1.5E-5");
        addBoth("-1.5E-5", -0.000015L, "-1.5E-5");
        addBoth("largest fixed", 999999999999999.0L, "999999999999999");
        addBoth("1E14 written out", 1e14L, "100000000000000");
        addBoth("1E15", 1e15L, "1E15");
        addBoth("-1E15", -1e15L, "-1E15");
        addBoth("rounds up to 1E15", 999999999999999.5L, "1E15");
        addBoth("16 digits rounded", 1234567890123456.0L, "1.23456789012346E15");
        addBoth("large exponent", 1.25e300L, "1.25E300");
        addBoth("beyond the double range", 3e4000L, "3E4000");
        addBoth("tiny", -2.5e-320L, "-2.5E-320");
    }
    void toText()
    {
        QFETCH(long double, value);
        QFETCH(QChar, sep);
        QFETCH(QString, text);
        QCOMPARE(NumberToText(value, sep), text);
    }

    void toTextRefusesNonFinite()
    {
        QCOMPARE(raised([] { NumberToText(HUGE_VALL, '.'); }), "Floating point overflow");
        QCOMPARE(raised([] { NumberToText(-HUGE_VALL, '.'); }), "Floating point overflow");
        QCOMPARE(raised([] { NumberToText(std::nanl(""), '.'); }),
                 "Invalid floating point operation");
    }

    void toNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<long double>("value");
        QTest::newRow("integer") << "12" << QChar('.') << 12.0L;
        QTest::newRow("blanks around") << "  12  " << QChar('.') << 12.0L;
        QTest::newRow("plus sign") << "+5" << QChar('.') << 5.0L;
        QTest::newRow("minus point") << "-2.5" << QChar('.') << -2.5L;
        QTest::newRow("minus comma") << "-2,5" << QChar(',') << -2.5L;
        QTest::newRow("leading separator") << ".5" << QChar('.') << 0.5L;
        QTest::newRow("trailing separator") << "5," << QChar(',') << 5.0L;
        QTest::newRow("exponent") << "1E3" << QChar('.') << 1000.0L;
        QTest::newRow("lower-case negative exponent") << "1e-3" << QChar('.') << 0.001L;
        QTest::newRow("signed exponent with comma") << "2,5E+2" << QChar(',') << 250.0L;
        QTest::newRow("negative zero") << " -0 " << QChar('.') << 0.0L;
        // Nearest extended, not nearest double: 25.4 must equal the literal 25.4L.
        QTest::newRow("25.4 in extended") << "25.4" << QChar('.') << 25.4L;
        QTest::newRow("0,0648 in extended") << "0,0648" << QChar(',') << 0.0648L;
        QTest::newRow("beyond the double range") << "1e400" << QChar('.') << 1e400L;
        QTest::newRow("underflow gives zero") << "1e-99999" << QChar('.') << 0.0L;
    }
    void toNumber()
    {
        QFETCH(QString, text);
        QFETCH(QChar, sep);
        QFETCH(long double, value);
        QVERIFY(TextToNumber(text, sep) == value);
    }

    void toNumberRejects_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("sep");
        QTest::newRow("empty") << "" << QChar('.');
        QTest::newRow("blanks only") << "   " << QChar('.');
        QTest::newRow("two separators") << "1.2.3" << QChar('.');
        QTest::newRow("point under comma locale") << "2.5" << QChar(',');
        QTest::newRow("comma under point locale") << "2,5" << QChar('.');
        QTest::newRow("thousands comma") << "1,000.5" << QChar('.');
        QTest::newRow("thousands point") << "1.000,5" << QChar(',');
        QTest::newRow("thousands blank") << "1 000" << QChar('.');
        QTest::newRow("trailing letters") << "12abc" << QChar('.');
        QTest::newRow("letters") << "abc" << QChar('.');
        QTest::newRow("sign only") << "-" << QChar('.');
        QTest::newRow("separator only") << "." << QChar('.');
        QTest::newRow("two signs") << "+-1" << QChar('.');
        QTest::newRow("exponent without digits") << "1E" << QChar('.');
        QTest::newRow("exponent sign only") << "1e+" << QChar('.');
        QTest::newRow("exponent alone") << "E5" << QChar('.');
        QTest::newRow("fraction in exponent") << "1e2.5" << QChar('.');
        QTest::newRow("hexadecimal") << "0x10" << QChar('.');
        QTest::newRow("inf") << "inf" << QChar('.');
        QTest::newRow("nan") << "nan" << QChar('.');
        QTest::newRow("beyond the extended range") << "1e5000" << QChar('.');
        QTest::newRow("non-ASCII digits") << QString::fromUtf8("\u0661\u0662") << QChar('.');
        QTest::newRow("tab is not a blank") << "\t1" << QChar('.');
    }
    void toNumberRejects()
    {
        QFETCH(QString, text);
        QFETCH(QChar, sep);
        QCOMPARE(raised([&] { TextToNumber(text, sep); }),
                 QStringLiteral("'%1' is not a valid floating point value").arg(text));
    }

    void checkedArithmetic_data()
    {
        QTest::addColumn<int>("op"); // 0 add, 1 subtract, 2 multiply, 3 divide
        QTest::addColumn<long double>("a");
        QTest::addColumn<long double>("b");
        QTest::addColumn<QString>("error");
        QTest::newRow("x / 0") << 3 << 5.0L << 0.0L << "Floating point division by zero";
        QTest::newRow("-x / -0") << 3 << -5.0L << -0.0L << "Floating point division by zero";
        QTest::newRow("0 / 0") << 3 << 0.0L << 0.0L << "Invalid floating point operation";
        QTest::newRow("quotient overflow") << 3 << LDBL_MAX << 0.5L << "Floating point overflow";
        QTest::newRow("product overflow") << 2 << LDBL_MAX << 2.0L << "Floating point overflow";
        QTest::newRow("sum overflow") << 0 << LDBL_MAX << LDBL_MAX << "Floating point overflow";
        QTest::newRow("difference overflow")
            << 1 << -LDBL_MAX << LDBL_MAX << "Floating point overflow";
        QTest::newRow("underflow is no error") << 3 << LDBL_MIN << 1e300L << "";
        QTest::newRow("plain division") << 3 << 1.0L << 4.0L << "";
    }
    void checkedArithmetic()
    {
        QFETCH(int, op);
        QFETCH(long double, a);
        QFETCH(long double, b);
        QFETCH(QString, error);
        long double r = 0;
        const QString message = raised([&] {
            switch (op) {
            case 0:
                r = checkedAdd(a, b);
                break;
            case 1:
                r = checkedSubtract(a, b);
                break;
            case 2:
                r = checkedMultiply(a, b);
                break;
            default:
                r = checkedDivide(a, b);
            }
        });
        QCOMPARE(message, error);
        if (error.isEmpty() && op == 3)
            QVERIFY(r == a / b);
    }

    void toDoubleOverflows()
    {
        QCOMPARE(raised([] { toDouble(1e400L); }), "Floating point overflow");
        QCOMPARE(raised([] { toDouble(-1e400L); }), "Floating point overflow");
        QCOMPARE(toDouble(1e-400L), 0.0);
        QCOMPARE(toDouble(2.5L), 2.5);
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
