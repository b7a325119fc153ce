#include "core/base/runtime_error.h"
#include "core/textfile/text_file.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

class TestTextFile : public QObject
{
    Q_OBJECT
private slots:
    void lineRules_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("lone lf") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("no final break") << QByteArray("a\r\nb") << QStringList{"a", "b"};
        QTest::newRow("lone cr dropped") << QByteArray("a\rb\r\nc") << QStringList{"ab", "c"};
        QTest::newRow("cr at end") << QByteArray("abc\r") << QStringList{"abc"};
        QTest::newRow("empty lines kept")
            << QByteArray("\r\n\r\nx\r\n") << QStringList{"", "", "x"};
        QTest::newRow("single break") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("ctrl-z ends") << QByteArray("a\r\nb\x1A"
                                                   "c\r\nd")
                                     << QStringList{"a", "b"};
        QTest::newRow("ctrl-z first") << QByteArray("\x1A"
                                                    "abc")
                                      << QStringList();
        QTest::newRow("tabs kept") << QByteArray("a\tb\t\r\n") << QStringList{"a\tb\t"};
        QTest::newRow("trailing blanks kept") << QByteArray("a  \r\n") << QStringList{"a  "};
        QTest::newRow("mixed endings")
            << QByteArray("a\nb\r\nc\rd\n") << QStringList{"a", "b", "cd"};
    }
    void lineRules()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(TextFile::splitLines(bytes), lines);
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("Films") << "Films";
        QTest::newRow("1252 accents") << QByteArray("Pr\xE9"
                                                    "f\xE9rences")
                                      << "Préférences";
        QTest::newRow("1252 euro and quotes")
            << QByteArray("\x80 \x93x\x94 \x85") << QString::fromUtf8("€ “x” …");
        QTest::newRow("utf8 accents") << QByteArray("Pr\xC3\xA9"
                                                    "f\xC3\xA9rences")
                                      << "Préférences";
        QTest::newRow("utf8 with bom") << QByteArray("\xEF\xBB\xBF"
                                                     "\xC3\xA9t\xC3\xA9")
                                       << "été";
        QTest::newRow("invalid utf8 is 1252")
            << QByteArray("\xC3\xA9 and \xE9") << QString::fromUtf8("Ã© and é");
        QTest::newRow("overlong is 1252") << QByteArray("\xC0\xAF") << QString::fromUtf8("À¯");
        QTest::newRow("truncated sequence") << QByteArray("ab\xC3") << QString::fromUtf8("abÃ");
        QTest::newRow("undefined 1252 byte") << QByteArray("\x81") << QString(QChar(0x81));
    }
    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(TextFile::decode(bytes), text);
    }

    void everyByteSurvivesARoundTrip()
    {
        QByteArray all;
        for (int b = 0x20; b < 0x100; ++b)
            if (b != 0x7F)
                all.append(char(b));
        const QString text = TextFile::decodeWindows1252(all);
        QCOMPARE(TextFile::encode(text), all);
    }

    void writeUsesCrlfAnd1252()
    {
        TempWorkDir dir;
        TextFile::writeLines(dir.file("out.txt"), {"Révélateur", "", "a\tb"});
        QCOMPARE(dir.read("out.txt"), QByteArray("R\xE9v\xE9lateur\r\n\r\na\tb\r\n"));
        QCOMPARE(TextFile::readLines(dir.file("out.txt")), (QStringList{"Révélateur", "", "a\tb"}));
    }

    void writeFallsBackToUtf8_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("a character outside 1252")
            << QStringList{"Ω developer", "é"} << QByteArray("\xCE\xA9 developer\r\n\xC3\xA9\r\n");
        // The 1252 bytes C3 A9 would read back as "é".
        QTest::newRow("1252 bytes that look like UTF-8")
            << QStringList{"Ã©"} << QByteArray("\xC3\x83\xC2\xA9\r\n");
        QTest::newRow("leading byte-order mark kept")
            << QStringList{QString(QChar(0xFEFF)) + "x"}
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx\r\n");
    }
    void writeFallsBackToUtf8()
    {
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, bytes);
        TempWorkDir dir;
        TextFile::writeLines(dir.file("out.txt"), lines);
        QCOMPARE(dir.read("out.txt"), bytes);
        QCOMPARE(TextFile::readLines(dir.file("out.txt")), lines);
    }

    void readErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "nothing.txt"
                                 << "File not found";
        QTest::newRow("missing folder") << "nofolder/x.txt"
                                        << "File not found";
        QTest::newRow("empty path") << ""
                                    << "File not found";
        QTest::newRow("folder") << "."
                                << "File access denied";
        // Each of these used to hang, swallow the memory or read another file.
        QTest::newRow("fifo") << "fifo"
                              << "Not a regular file";
        QTest::newRow("endless device") << "/dev/zero"
                                        << "Not a regular file";
        QTest::newRow("huge file") << "huge.txt"
                                   << "File too large (over 1 MB)";
        QTest::newRow("nul in the name") << QString("lang.txt") + QChar(0) + "junk"
                                         << "Invalid file name";
        QTest::newRow("name too long")
            << QString(300, 'n') << QString("I/O error %1").arg(ENAMETOOLONG);
    }
    void readErrors()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TempWorkDir dir;
        QVERIFY(::mkfifo(QFile::encodeName(dir.file("fifo")).constData(), 0644) == 0);
        dir.write("lang.txt", "x\r\n");
        QFile huge(dir.file("huge.txt"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(TextFile::MaxFileBytes + 1));
        huge.close();
        const QString path = name.isEmpty() || name.startsWith('/') ? name : dir.file(name);
        try {
            TextFile::readLines(path);
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            if (path.isEmpty() || (path.size() < 200 && !path.contains(QChar(0)))) {
                QCOMPARE(e.message(), path.isEmpty() ? message : fileError(path, message));
            } else {
                // Named all the same: a NUL made visible, a long path shortened.
                QString head = path.left(50);
                head.replace(QChar(0), QChar(0x2400));
                QVERIFY2(e.message().startsWith('"' + head), qPrintable(e.message()));
                QVERIFY(e.message().endsWith("\": " + message));
                QVERIFY(e.message().size() < 250);
            }
        }
    }

    void readOnlyTargetKeepsOldFile()
    {
        TempWorkDir dir;
        dir.write("keep.txt", "old\r\n");
        QFile::setPermissions(dir.file("keep.txt"), QFile::ReadOwner | QFile::ReadUser);
        try {
            TextFile::writeLines(dir.file("keep.txt"), {"new"});
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.message(), fileError(dir.file("keep.txt"), "File access denied"));
        }
        QCOMPARE(dir.read("keep.txt"), QByteArray("old\r\n"));
    }

    void writeErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("folder as target") << "sub"
                                          << "File access denied";
        QTest::newRow("missing folder") << "nofolder/x.txt"
                                        << "File not found";
        QTest::newRow("fifo as target") << "fifo"
                                        << "Not a regular file";
        QTest::newRow("nul in the name") << QString("sub") + QChar(0) + "x"
                                         << "Invalid file name";
    }
    void writeErrors()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TempWorkDir dir;
        dir.write("sub/inner.txt", "x");
        QVERIFY(::mkfifo(QFile::encodeName(dir.file("fifo")).constData(), 0644) == 0);
        try {
            TextFile::writeLines(dir.file(name), {"new"});
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QString shown = dir.file(name);
            shown.replace(QChar(0), QChar(0x2400)); // made visible
            QCOMPARE(e.message(), fileError(shown, message));
        }
        QCOMPARE(dir.read("sub/inner.txt"), QByteArray("x"));
    }

    void replaceLeavesNoTemporaryFiles()
    {
        TempWorkDir dir;
        dir.write("a.txt", "old\r\n");
        TextFile::writeLines(dir.file("a.txt"), {"new"});
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.txt"});
        QCOMPARE(dir.read("a.txt"), QByteArray("new\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_text_file.moc"
