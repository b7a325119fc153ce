#include "core/app/language.h"
#include "core/base/runtime_error.h"
#include "core/baths/bath_texts.h"
#include "core/baths/baths_file.h"
#include "core/process/time_text.h"
#include "core/textfile/text_file.h"
#include "test_support.h"

#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(Bath)

namespace {

const QDate kToday(2025, 12, 9);

Bath bathOf(Bath::Wear wear, double parameter, double filmsPerLitre = 0, double litres = 1)
{
    Bath b;
    b.name = "ID-11";
    b.wear = wear;
    b.parameter = parameter;
    b.filmsPerLitre = filmsPerLitre;
    b.litres = litres;
    b.bottles.push_back({});
    b.bottles.back().mixed = QDate(2025, 11, 1);
    return b;
}

void useFilms(Bath &b, int films)
{
    if (films > 0)
        b.bottles.back().uses.push_back({QDate(2025, 11, 2), films});
}

BathTexts englishTexts()
{
    LanguageTable language;
    language.loadFile(QFINDTESTDATA("../../../sample/english.txt"));
    return BathTexts::fromLanguage(language);
}

} // namespace

class TestBaths : public QObject
{
    Q_OBJECT
private slots:
    // Each wear model against the published figures it comes with.
    void wearModels_data()
    {
        QTest::addColumn<int>("wear");
        QTest::addColumn<double>("parameter");
        QTest::addColumn<int>("filmsSoFar");
        QTest::addColumn<QList<int>>("clearingTests");
        QTest::addColumn<QString>("fileTime");
        QTest::addColumn<QString>("time");
        using W = Bath::Wear;
        QTest::newRow("ID-11 +10 %, film 2 (x1.10)")
            << int(W::LinearPercent) << 10.0 << 1 << QList<int>{} << "00:10:00"
            << "00:11:00";
        QTest::newRow("ID-11 +10 %, film 3 (x1.20)")
            << int(W::LinearPercent) << 10.0 << 2 << QList<int>{} << "00:08:30"
            << "00:10:12";
        QTest::newRow("ID-11 +10 %, film 10 (x1.90)")
            << int(W::LinearPercent) << 10.0 << 9 << QList<int>{} << "00:10:00"
            << "00:19:00";
        QTest::newRow("C-41 developer +2 %, after 8 films")
            << int(W::CompoundPercent) << 2.0 << 8 << QList<int>{} << "00:03:30"
            << "00:04:06";
        QTest::newRow("C-41 developer +2 %, after 24 films (5:37.8)")
            << int(W::CompoundPercent) << 2.0 << 24 << QList<int>{} << "00:03:30"
            << "00:05:37";
        QTest::newRow("C-41 blix +5 %, after 24 films")
            << int(W::CompoundPercent) << 5.0 << 24 << QList<int>{} << "00:08:00"
            << "00:25:48";
        QTest::newRow("rapid fixer, fixed capacity")
            << int(W::FixedCapacity) << 0.0 << 20 << QList<int>{} << "00:05:00"
            << "00:05:00";
        QTest::newRow("fixer untested keeps the file's time")
            << int(W::ClearingTime) << 2.0 << 3 << QList<int>{} << "00:05:00"
            << "00:05:00";
        QTest::newRow("fixer clearing in 30 s, k = 2")
            << int(W::ClearingTime) << 2.0 << 0 << QList<int>{30} << "00:05:00"
            << "00:01:00";
        QTest::newRow("fixer, the last test counts")
            << int(W::ClearingTime) << 2.0 << 5 << QList<int>{30, 45} << "00:05:00"
            << "00:01:30";
    }
    void wearModels()
    {
        QFETCH(int, wear);
        QFETCH(double, parameter);
        QFETCH(int, filmsSoFar);
        QFETCH(QList<int>, clearingTests);
        QFETCH(QString, fileTime);
        QFETCH(QString, time);
        Bath b = bathOf(Bath::Wear(wear), parameter);
        useFilms(b, filmsSoFar);
        for (const int s : clearingTests)
            b.bottles.back().tests.push_back({QDate(2025, 11, 3), s});
        QCOMPARE(SecondsToTimeText(adjustedSeconds(b, TimeTextToSeconds(fileTime))), time);
    }

    // The state on a day, and the question a start asks then.
    void statesAndQuestions_data()
    {
        QTest::addColumn<Bath>("bath");
        QTest::addColumn<int>("films"); // in the tank
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("question");
        using W = Bath::Wear;
        Bath id11 = bathOf(W::LinearPercent, 10, 10);
        QTest::newRow("fresh") << id11 << 1 << int(BathState::Fresh) << "";
        Bath nine = id11;
        useFilms(nine, 9);
        QTest::newRow("9 of 10, the 10th is fine") << nine << 1 << int(BathState::InUse) << "";
        QTest::newRow("9 of 10, a tank of 2 is one too many")
            << nine << 2 << int(BathState::InUse)
            << "ID-11 is exhausted: 11 of 10 films. Start anyway?";
        Bath ten = nine;
        useFilms(ten, 1);
        QTest::newRow("exhausted after 10 films")
            << ten << 1 << int(BathState::Exhausted)
            << "ID-11 is exhausted: 11 of 10 films. Start anyway?";
        Bath fresh = ten;
        fresh.bottles.push_back({QDate(2025, 12, 8), {}, {}, {}});
        QTest::newRow("a fresh bottle starts a new count")
            << fresh << 1 << int(BathState::Fresh) << "";
        Bath old = id11;
        old.shelfLifeDays = 30;
        useFilms(old, 2);
        QTest::newRow("past its shelf life")
            << old << 1 << int(BathState::Expired)
            << "ID-11 is past its shelf life: mixed 38 days ago, keeps 30 days. Start anyway?";
        Bath both = ten;
        both.shelfLifeDays = 30;
        QTest::newRow("exhausted and expired: both said")
            << both << 1 << int(BathState::Exhausted)
            << "ID-11 is exhausted: 11 of 10 films. ID-11 is past its shelf life: mixed 38 days "
               "ago, keeps 30 days. Start anyway?";
        Bath fixer = bathOf(W::ClearingTime, 2);
        fixer.name = "Fixer";
        fixer.bottles.back().tests = {{QDate(2025, 11, 1), 30}};
        QTest::newRow("fixer tested when mixed is fresh")
            << fixer << 1 << int(BathState::Fresh) << "";
        fixer.bottles.back().tests.push_back({QDate(2025, 12, 1), 60});
        QTest::newRow("fixer clearing in twice its fresh time")
            << fixer << 1 << int(BathState::DueToBeDiscarded)
            << "Fixer is due to be discarded: it clears in 01:00, twice its fresh time (00:30). "
               "Start anyway?";
        Bath rapid = bathOf(W::FixedCapacity, 0, 24, 0.5);
        rapid.name = "Rapid";
        useFilms(rapid, 12);
        QTest::newRow("24 films a litre in half a litre")
            << rapid << 1 << int(BathState::Exhausted)
            << "Rapid is exhausted: 13 of 12 films. Start anyway?";
    }
    void statesAndQuestions()
    {
        QFETCH(Bath, bath);
        QFETCH(int, films);
        QFETCH(int, state);
        QFETCH(QString, question);
        QCOMPARE(int(bathState(bath, kToday)), state);
        QCOMPARE(startQuestion(englishTexts(), bath, films, kToday), question);
    }

    void labelsAndOrdinals()
    {
        const BathTexts en = englishTexts();
        QStringList got;
        for (const int n : {1, 2, 3, 4, 11, 12, 13, 21, 22, 23, 101, 111})
            got << ordinalText(en, n);
        QCOMPARE(got.join(' '),
                 QString("1st 2nd 3rd 4th 11th 12th 13th 21st 22nd 23rd 101st 111th"));
        QCOMPARE(ordinalText(BathTexts(), 1) + ' ' + ordinalText(BathTexts(), 21),
                 QString("1er 21e"));
        Bath b = bathOf(Bath::Wear::LinearPercent, 10, 10);
        useFilms(b, 2);
        QCOMPARE(useLabel(en, b, 510), QString("ID-11 · 3rd film · 08:30 → 10:12"));
    }

    // Everything a bath holds comes back from its lines; lines not understood
    // are reported by line and written back where they stood.
    void fileRoundTrip()
    {
        Bath dev = bathOf(Bath::Wear::LinearPercent, 10, 10, 1);
        dev.formulaFile = "chimies/id11.txt";
        dev.shelfLifeDays = 60;
        dev.temperature.model = TemperatureResponse::Table;
        dev.temperature.table = {{18, 1.25}, {20, 1}, {24, 0.7}};
        useFilms(dev, 2);
        dev.bottles.push_back({QDate(2025, 12, 1), {{QDate(2025, 12, 2), 1}}, {}, {}});
        Bath fixer = bathOf(Bath::Wear::ClearingTime, 2.5, 0, 0.75);
        fixer.name = "Fixateur rapide";
        fixer.temperature.model = TemperatureResponse::PerDegree;
        fixer.temperature.perDegree = 0.97;
        fixer.bottles.back().tests = {{QDate(2025, 11, 1), 30}, {QDate(2025, 11, 20), 41}};
        BathsFile file;
        file.baths = {dev, fixer};
        const QStringList lines = bathLines(file);
        const BathsRead back = parseBathLines(lines, "baths.txt");
        QCOMPARE(back.problems, QStringList());
        QVERIFY(back.file == file);
        QCOMPARE(lines.mid(0, 13),
                 (QStringList{"[Bath]", "Name=ID-11", "Formula=chimies/id11.txt", "Volume=1",
                              "Wear=linear 10", "Capacity=10", "ShelfLife=60",
                              "Temperature=table 18:1.25 20:1 24:0.7", "Mixed=2025-11-01",
                              "Use=2025-11-02 2", "Mixed=2025-12-01", "Use=2025-12-02 1", ""}));

        QStringList bad = lines;
        bad[5] = "Capacity=lots";
        bad.insert(0, "stray");
        bad.insert(10, "Use=2025-11-31 1");
        bad << "Colour=blue";
        const BathsRead read = parseBathLines(bad, "baths.txt");
        QCOMPARE(read.problems,
                 (QStringList{"\"baths.txt\": line 1: \"stray\" is not a line of a bath",
                              "\"baths.txt\": line 7: \"lots\" is not a valid Capacity",
                              "\"baths.txt\": line 11: \"2025-11-31 1\" is not a valid Use",
                              "\"baths.txt\": line 27: \"Colour\" is not a key of a bath"}));
        QCOMPARE(read.file.baths.size(), size_t(2));
        QCOMPARE(read.file.baths[0].unreadLines, QStringList{"Capacity=lots"});
        QCOMPARE(read.file.baths[0].bottles.front().uses.size(), size_t(1));
        QCOMPARE(read.file.baths[0].bottles.front().unreadLines, QStringList{"Use=2025-11-31 1"});
        const BathsRead again = parseBathLines(bathLines(read.file), "baths.txt");
        QVERIFY(again.file == read.file);
        QCOMPARE(again.problems.size(), 4);
    }

    // Every change is written at once; a failed write raises and leaves the
    // file and the store as they were; a file that cannot be read is never
    // written over.
    void storeWritesEveryChange()
    {
        TempWorkDir dir;
        BathStore store(dir.file("baths.txt"));
        QCOMPARE(store.load(), QStringList());
        QVERIFY(store.baths().empty());
        QVERIFY(store.add(bathOf(Bath::Wear::LinearPercent, 10, 10)));
        QVERIFY(!store.add(bathOf(Bath::Wear::FixedCapacity, 0)));
        QCOMPARE(store.addUse("ID-11", kToday, 2), 1);
        QCOMPARE(store.addUse(" ID-11 ", kToday, 1), 2);
        QVERIFY(store.takeBackLastUse("ID-11"));
        QVERIFY(store.freshBottle("ID-11", kToday));
        QVERIFY(!store.takeBackLastUse("ID-11"));
        QCOMPARE(store.addUse("none", kToday, 1), 0);

        BathStore other(dir.file("baths.txt"));
        QCOMPARE(other.load(), QStringList());
        QVERIFY(other.baths() == store.baths());
        QCOMPARE(other.find("ID-11")->bottles.size(), size_t(2));
        QCOMPARE(other.find("ID-11")->bottles.front().uses.size(), size_t(1));

        const QByteArray before = dir.read("baths.txt");
        QFile::setPermissions(dir.file("baths.txt"), QFile::ReadOwner | QFile::ReadUser);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, store.addUse("ID-11", kToday, 1));
        QCOMPARE(dir.read("baths.txt"), before);
        QVERIFY(store.baths() == other.baths());
        QFile::setPermissions(dir.file("baths.txt"), QFile::ReadOwner | QFile::WriteOwner);

        dir.write("baths.txt", QByteArray(TextFile::MaxFileBytes + 1, 'x'));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, store.load());
        try {
            store.addUse("ID-11", kToday, 1);
            QFAIL("written over a file it could not read");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.message(), fileError(dir.file("baths.txt"), "File too large (over 1 MB)"));
        }
        QCOMPARE(dir.read("baths.txt").size(), TextFile::MaxFileBytes + 1);
    }

    void sampleFileReads()
    {
        BathStore store(QFINDTESTDATA("../../../sample/baths.txt"));
        QCOMPARE(store.load(), QStringList());
        QCOMPARE(store.baths().size(), size_t(3));
        QVERIFY(store.find("ID-11"));
        for (const Bath &b : store.baths())
            QVERIFY2(isValidBath(b), qPrintable(b.name));
    }
};

QTEST_GUILESS_MAIN(TestBaths)
#include "tst_baths.moc"
