#include "core/base/int_text.h"
#include "core/base/runtime_error.h"

#include <QTest>
#include <cerrno>

class TestRuntimeError : public QObject
{
    Q_OBJECT
private slots:
    void errnoMapping_data()
    {
        QTest::addColumn<int>("err");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << ENOENT << "File not found";
        QTest::newRow("missing folder") << ENOTDIR << "File not found";
        QTest::newRow("permission") << EACCES << "File access denied";
        QTest::newRow("read-only fs") << EROFS << "File access denied";
        QTest::newRow("folder as file") << EISDIR << "File access denied";
        QTest::newRow("disk full") << ENOSPC << "disk full";
        QTest::newRow("quota used up") << EDQUOT << "disk full";
        QTest::newRow("another error") << EIO << QString("I/O error %1").arg(EIO);
        QTest::newRow("unknown zero") << 0 << QString("I/O error %1").arg(EIO);
    }
    void errnoMapping()
    {
        QFETCH(int, err);
        QFETCH(QString, message);
        QCOMPARE(RuntimeError::fromErrno(err).message(), message);
    }

    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "File not found"
                                << "File not found.";
        QTest::newRow("full stop") << "Done."
                                   << "Done.";
        QTest::newRow("digit") << "I/O error 5"
                               << "I/O error 5.";
        QTest::newRow("closing bracket") << "odd (x)"
                                         << "odd (x)";
        QTest::newRow("quote") << "say 'x'"
                               << "say 'x'";
        QTest::newRow("slash sorts above") << "a/"
                                           << "a/.";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("accented") << "Arrêté"
                                  << "Arrêté.";
    }
    void fullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(errorBoxText(message), shown);
    }

    void integers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "42" << true << 42;
        QTest::newRow("leading zero") << "07" << true << 7;
        QTest::newRow("leading blanks") << "  7" << true << 7;
        QTest::newRow("plus") << "+3" << true << 3;
        QTest::newRow("minus") << "-12" << true << -12;
        QTest::newRow("trailing blank") << "7 " << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("letter") << "x" << false << 0;
        QTest::newRow("decimal") << "1.5" << false << 0;
        QTest::newRow("max") << "2147483647" << true << 2147483647;
        QTest::newRow("min") << "-2147483648" << true << int(-2147483648LL);
        QTest::newRow("too big") << "2147483648" << false << 0;
        QTest::newRow("huge") << "99999999999999999999" << false << 0;
    }
    void integers()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const auto v = parseInt(text);
        QCOMPARE(v.has_value(), ok);
        if (ok)
            QCOMPARE(*v, value);
    }

    void integerErrorNamesTheText()
    {
        try {
            textToInt(QStringLiteral("x7"));
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.message(), QStringLiteral("'x7' is not a valid integer value"));
        }
    }
};

QTEST_GUILESS_MAIN(TestRuntimeError)
#include "tst_runtime_error.moc"
