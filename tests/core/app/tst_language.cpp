#include "core/app/language.h"
#include "test_support.h"

#include <QTest>

class TestLanguage : public QObject
{
    Q_OBJECT
private slots:
    void entryText_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("entry");
        QTest::newRow("number and tab") << "13\tFilm"
                                        << "Film";
        QTest::newRow("no tab") << "Film"
                                << "Film";
        QTest::newRow("further tabs kept") << "a\tb\tc"
                                           << "b\tc";
        QTest::newRow("empty line") << ""
                                    << "";
        QTest::newRow("tab only") << "\t"
                                  << "";
        QTest::newRow("leading tab") << "\tx "
                                     << "x ";
        // A runaway line kept a label busy for seconds laying it out.
        QTest::newRow("runaway caption")
            << "11\t" + QString(500'000, 'w') << QString(LanguageTable::MaxEntryLength, 'w');
        QTest::newRow("not half a character")
            << QString(LanguageTable::MaxEntryLength - 1, 'w') + QString::fromUtf8("\U0001F600")
            << QString(LanguageTable::MaxEntryLength - 1, 'w');
    }
    void entryText()
    {
        QFETCH(QString, line);
        QFETCH(QString, entry);
        QCOMPARE(LanguageTable::entryText(line), entry);
    }

    void shorterFileKeepsLaterEntries()
    {
        LanguageTable t;
        QStringList ninety;
        for (int n = 1; n <= 90; ++n)
            ninety << QString("%1\tfirst %1").arg(n);
        t.loadLines(ninety);
        QStringList twenty;
        for (int n = 1; n <= 20; ++n)
            twenty << QString("%1\tsecond %1").arg(n);
        t.loadLines(twenty);
        QCOMPARE(t.entry(20), QStringLiteral("second 20"));
        QCOMPARE(t.entry(21), QStringLiteral("first 21"));
        QCOMPARE(t.entry(90), QStringLiteral("first 90"));
        QCOMPARE(t.entry(91), QString());
        QCOMPARE(t.entry(0), QString());
    }

    void linesPastTheTableAreIgnored()
    {
        LanguageTable t;
        QStringList lines;
        for (int n = 1; n <= LanguageTable::Size + 50; ++n)
            lines << QString::number(n);
        t.loadLines(lines);
        QCOMPARE(t.entry(LanguageTable::Size - 1), QString::number(LanguageTable::Size - 1));
        QCOMPARE(t.entry(0), QString());
    }

    void fileInUtf8AndEmptyPath()
    {
        TempWorkDir dir;
        dir.write("fr.txt", "1\tun\r\n2\tPr\xC3\xA9"
                            "f\xC3\xA9rences\r\n");
        LanguageTable t;
        QVERIFY(!t.loadFile(QString()));
        QVERIFY(t.loadFile(dir.file("fr.txt")));
        QCOMPARE(t.entry(2), QStringLiteral("Préférences"));
    }

    // The supplied files give every text that has no built-in wording, so none
    // of our French fallbacks shows under either.
    void suppliedFilesGiveEveryMessage_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("english") << "english.txt";
        QTest::newRow("francais") << "francais.txt";
    }
    void suppliedFilesGiveEveryMessage()
    {
        QFETCH(QString, file);
        LanguageTable t;
        QVERIFY(t.loadFile(QFINDTESTDATA("../../../sample/" + file)));
        QList<int> lines{1,
                         2,
                         3,
                         4,
                         5,
                         6,
                         7,
                         8,
                         9,
                         10,
                         LanguageEntry::AgitComing,
                         LanguageEntry::AgitRunning,
                         LanguageEntry::NoFile,
                         LanguageEntry::ChangedOnDisk,
                         LanguageEntry::KeepMine,
                         LanguageEntry::TakeTheirs,
                         LanguageEntry::CancelSave,
                         LanguageEntry::Finished,
                         LanguageEntry::CloseUnderway,
                         LanguageEntry::CloseUnderwayCaption,
                         LanguageEntry::AboutTitle,
                         LanguageEntry::GuideCaption};
        // The baths, the temperature and the journal.
        for (const auto &[first, last] : {std::pair{150, 168}, {180, 187}, {190, 218}})
            for (int n = first; n <= last; ++n)
                lines << n;
        for (const int n : lines)
            QVERIFY2(!t.entry(n).isEmpty(), qPrintable(QString::number(n)));
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
