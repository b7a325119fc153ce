#include "core/app/settings.h"
#include "core/base/runtime_error.h"
#include "test_support.h"

#include <QDir>

#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void soundAndColourDigits_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("sound");
        QTest::addColumn<int>("color");
        QTest::newRow("defaults") << QStringList{} << 1 << 1;
        QTest::newRow("waves") << QStringList{"Sound=2"} << 2 << 1;
        QTest::newRow("no sound") << QStringList{"Sound=3"} << 3 << 1;
        QTest::newRow("Sound=10 is beeps") << QStringList{"Sound=3", "Sound=10"} << 1 << 1;
        QTest::newRow("Sound=7 is beeps") << QStringList{"Sound=2", "Sound=7"} << 1 << 1;
        QTest::newRow("Sound=0 is beeps") << QStringList{"Sound=2", "Sound=0"} << 1 << 1;
        QTest::newRow("mono") << QStringList{"Color=2"} << 1 << 2;
        QTest::newRow("Color=3 is colour") << QStringList{"Color=2", "Color=3"} << 1 << 1;
        QTest::newRow("last Color wins") << QStringList{"Color=1", "Color=2"} << 1 << 2;
        QTest::newRow("lower-case key ignored") << QStringList{"sound=2"} << 1 << 1;
        QTest::newRow("leading blank ignored") << QStringList{" Sound=2"} << 1 << 1;
        QTest::newRow("SoundSeconds is not Sound") << QStringList{"SoundSeconds=3"} << 1 << 1;
    }
    void soundAndColourDigits()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, sound);
        QFETCH(int, color);
        SettingsValues c;
        SettingsFile::applyLines(lines, c, "/opt/noctarel");
        QCOMPARE(int(c.sound), sound);
        QCOMPARE(int(c.color), color);
    }

    // A line that cannot be read is reported by its number; the lines after it
    // are read all the same.
    void badDigitIsReportedByLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("message");
        QTest::newRow("letter") << "Sound=x"
                                << "line 2: 'x' is not a valid integer value";
        QTest::newRow("nothing") << "Color="
                                 << "line 2: '' is not a valid integer value";
        QTest::newRow("blank") << "Sound= 2"
                               << "line 2: ' ' is not a valid integer value";
    }
    void badDigitIsReportedByLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, message);
        SettingsValues c;
        c.color = SettingsValues::Mono;
        const QStringList bad = SettingsFile::applyLines(
            {"LanguageFile=a.txt", line, "FilmProcessFile=b.txt", "Sound=3"}, c, "/p");
        QCOMPARE(bad, QStringList{message});
        QCOMPARE(c.languageFile, QStringLiteral("a.txt"));
        QCOMPARE(c.filmProcessFile, QStringLiteral("b.txt"));
        QCOMPARE(c.sound, SettingsValues::NoSound);
        // The bad line changed nothing.
        QCOMPARE(c.color, SettingsValues::Mono);
    }

    void valuesAreTakenAsTheyStand()
    {
        SettingsValues c;
        c.agitationFile = "kept.txt";
        SettingsFile::applyLines(
            {"LanguageFile=lang fr.txt  ", "SoundSeconds=07", "ProcessFolder="}, c, "/p");
        QCOMPARE(c.languageFile, QStringLiteral("lang fr.txt  "));
        QCOMPARE(c.soundSeconds, QStringLiteral("07"));
        QCOMPARE(c.processFolder, QString());
        QCOMPARE(c.agitationFile, QStringLiteral("kept.txt"));
    }

    void rootPlaceholder_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expanded");
        QTest::addColumn<QString>("saved");
        QTest::newRow("capitals expand") << "/opt/Labo"
                                         << "%ROOT%/x.txt"
                                         << "/opt/Labo/x.txt"
                                         << "%root%/x.txt";
        QTest::newRow("another letter case is another folder") << "/opt/Labo"
                                                               << "/opt/labo/x.txt"
                                                               << "/opt/labo/x.txt"
                                                               << "/opt/labo/x.txt";
        QTest::newRow("a sibling folder is no match") << "/opt/Labo"
                                                      << "%root%2/y.txt"
                                                      << "/opt/Labo2/y.txt"
                                                      << "/opt/Labo2/y.txt";
        QTest::newRow("the folder inside another path is no match") << "/opt/noc"
                                                                    << "/data/opt/noc/x"
                                                                    << "/data/opt/noc/x"
                                                                    << "/data/opt/noc/x";
        QTest::newRow("the folder itself") << "/opt/Labo"
                                           << "%Root%"
                                           << "/opt/Labo"
                                           << "%root%";
        QTest::newRow("twice") << "/opt/n"
                               << "%root%/a:%root%/b"
                               << "/opt/n/a:/opt/n/b"
                               << "%root%/a:%root%/b";
        QTest::newRow("accented folder") << "/home/élodie"
                                         << "/home/élodie/x"
                                         << "/home/élodie/x"
                                         << "%root%/x";
        QTest::newRow("root program folder contracts nothing") << ""
                                                               << "/data/x.txt"
                                                               << "/data/x.txt"
                                                               << "/data/x.txt";
    }
    void rootPlaceholder()
    {
        QFETCH(QString, programFolder);
        QFETCH(QString, stored);
        QFETCH(QString, expanded);
        QFETCH(QString, saved);
        SettingsValues c;
        c.soundSeconds = "0";
        SettingsFile::applyLines({"LanguageFile=" + stored}, c, programFolder);
        QCOMPARE(c.languageFile, expanded);
        QCOMPARE(SettingsFile::fileLines(c, programFolder).at(3), "LanguageFile=" + saved);
    }

    void saveWritesNineLinesInOrder()
    {
        SettingsValues c;
        c.sound = SettingsValues::Waves;
        c.color = SettingsValues::Mono;
        c.soundSeconds = "07";
        c.languageFile = "/opt/n/fr.txt";
        c.paperProcessFile = "p.txt";
        c.filmProcessFile = "f.txt";
        c.agitationFile = "a.txt";
        c.processFolder = "/opt/n/proc";
        c.formulaFolder = "chem";
        QCOMPARE(
            SettingsFile::fileLines(c, "/opt/n"),
            (QStringList{"Sound=2", "SoundSeconds=7", "Color=2", "LanguageFile=%root%/fr.txt",
                         "PaperProcessFile=p.txt", "FilmProcessFile=f.txt", "AgitationFile=a.txt",
                         "ProcessFolder=%root%/proc", "FormulaFolder=chem"}));
    }

    void safelightLine_data()
    {
        QTest::addColumn<bool>("before");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("after");
        QTest::newRow("on") << false << QStringList{"Safelight=1"} << true;
        QTest::newRow("a file without it means off") << true << QStringList{"Color=2"} << false;
        QTest::newRow("off") << true << QStringList{"Safelight=0"} << false;
        QTest::newRow("the last one wins")
            << false << QStringList{"Safelight=0", "Safelight=1"} << true;
        QTest::newRow("lower-case key ignored") << false << QStringList{"safelight=1"} << false;
    }
    void safelightLine()
    {
        QFETCH(bool, before);
        QFETCH(QStringList, lines);
        QFETCH(bool, after);
        SettingsValues c;
        c.safelight = before;
        c.color = SettingsValues::Mono;
        c.soundSeconds = "0";
        SettingsValues others = c;
        SettingsFile::applyLines(lines, c, "/p");
        QCOMPARE(c.safelight, after);
        // Nothing else is touched; the nine lines stay the nine lines.
        others.safelight = after;
        QVERIFY(c == others);
        const QStringList saved = SettingsFile::fileLines(c, "/p");
        others.safelight = false;
        QCOMPARE(saved.mid(0, 9), SettingsFile::fileLines(others, "/p"));
        QCOMPARE(saved.mid(9), after ? QStringList{"Safelight=1"} : QStringList{});
    }

    // The darkroom's lines: each read alone, written only when set, and the
    // nine lines stay the nine lines.
    void darkroomLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("written"); // empty: no line
        QTest::addColumn<int>("bad");
        QTest::newRow("level") << "SafelightLevel=2"
                               << "SafelightLevel=2" << 0;
        QTest::newRow("the brightest level: no line") << "SafelightLevel=4"
                                                      << "" << 0;
        QTest::newRow("a level out of range") << "SafelightLevel=7"
                                              << "" << 0;
        QTest::newRow("a level that is no digit") << "SafelightLevel=x"
                                                  << "" << 1;
        QTest::newRow("pedal key") << "PedalKey2=66,1"
                                   << "PedalKey2=66,1" << 0;
        QTest::newRow("pedal key: start") << "PedalKey3=16777239,3"
                                          << "PedalKey3=16777239,3" << 0;
        QTest::newRow("a fourth pedal key") << "PedalKey4=66,1"
                                            << "" << 1;
        QTest::newRow("an action that is none") << "PedalKey1=66,4"
                                                << "" << 1;
        QTest::newRow("a pedal key without its action") << "PedalKey1=66"
                                                        << "" << 1;
        QTest::newRow("margin") << "CollisionMargin=30"
                                << "CollisionMargin=30" << 0;
        QTest::newRow("the default margin: no line") << "CollisionMargin=15"
                                                     << "" << 0;
        QTest::newRow("no margin at all") << "CollisionMargin=0"
                                          << "CollisionMargin=0" << 0;
        QTest::newRow("a margin that is no number") << "CollisionMargin=-3"
                                                    << "" << 1;
    }
    void darkroomLines()
    {
        QFETCH(QString, line);
        QFETCH(QString, written);
        QFETCH(int, bad);
        SettingsValues c;
        c.soundSeconds = "0";
        QCOMPARE(SettingsFile::applyLines({"Color=2", line}, c, "/p").size(), bad);
        QCOMPARE(c.color, SettingsValues::Mono);
        const QStringList saved = SettingsFile::fileLines(c, "/p");
        QCOMPARE(saved.size(), 9 + !written.isEmpty());
        QCOMPARE(saved.mid(9), written.isEmpty() ? QStringList{} : QStringList{written});
        // Read back, the same values.
        SettingsValues again;
        SettingsFile::applyLines(saved, again, "/p");
        QVERIFY(again == c);
    }

    // A wave is looked for in the folder named by the language file first.
    void waveOfTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("bare");
        QTest::addColumn<QString>("played");
        QTest::newRow("English") << "english.txt"
                                 << "5.wav"
                                 << "waves/english/5.wav";
        QTest::newRow("English pause") << "english.txt"
                                       << "pause.wav"
                                       << "waves/english/pause.wav";
        QTest::newRow("a file its folder lacks") << "english.txt"
                                                 << "7.wav"
                                                 << "7.wav";
        QTest::newRow("French: the working folder's") << "francais.txt"
                                                      << "5.wav"
                                                      << "5.wav";
        QTest::newRow("a language file elsewhere") << "/opt/n/english.txt"
                                                   << "5.wav"
                                                   << "waves/english/5.wav";
        QTest::newRow("no language file") << ""
                                          << "5.wav"
                                          << "5.wav";
    }
    void waveOfTheLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, bare);
        QFETCH(QString, played);
        TempWorkDir dir;
        QDir().mkpath(dir.file("waves/english"));
        QDir().mkpath(dir.file("waves/francais/5.wav")); // a folder, not a wave
        for (const char *name :
             {"5.wav", "7.wav", "waves/english/5.wav", "waves/english/pause.wav"})
            dir.write(name, "RIFF");
        Settings settings(QDir(dir.path()), "/opt/n");
        SettingsValues v;
        v.languageFile = language;
        settings.takePaths(v);
        QCOMPARE(settings.waveName(bare), played);
    }

    // Loaded, a text that is no whole number is a count-down of 0; saved, it
    // is refused (saved: empty). Blanks around the number are skipped, as the
    // number fields skip them.
    void countDownLength_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QString>("saved");
        QTest::newRow("leading zero") << "07" << 7 << "SoundSeconds=7";
        QTest::newRow("empty") << "" << 0 << "";
        QTest::newRow("letters") << "abc" << 0 << "";
        QTest::newRow("decimal") << "2.5" << 0 << "";
        QTest::newRow("blanks around") << " 5 " << 5 << "SoundSeconds=5";
        QTest::newRow("a blank inside") << "1 0" << 0 << "";
    }
    void countDownLength()
    {
        QFETCH(QString, text);
        QFETCH(int, loaded);
        QFETCH(QString, saved);
        SettingsValues c;
        SettingsFile::applyLines({"SoundSeconds=" + text}, c, "/p");
        QCOMPARE(c.countDownSeconds(), loaded);
        try {
            QCOMPARE(SettingsFile::fileLines(c, "/p").at(1), saved);
        } catch (const RuntimeError &e) {
            QVERIFY(saved.isEmpty());
            QCOMPARE(e.message(), QString("'%1' is not a valid integer value").arg(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
