#include "core/base/runtime_error.h"
#include "core/calc/number_text.h"
#include "core/calc/unit_conversion.h"

#include <QTest>
#include <cmath>

using namespace UnitConversion;
Q_DECLARE_METATYPE(UnitConversion::Group)

namespace {

QString comma(QString s)
{
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

// A group with only the source field filled.
QStringList only(Group group, int field, const QString &text)
{
    QStringList texts(fieldCount(group));
    texts[field] = text;
    return texts;
}

struct Expect
{
    int field;
    const char *text;
};

// One row per target field, under "." and ",".
void addConversion(const char *name, Group group, int source, const char *text,
                   std::initializer_list<Expect> targets)
{
    for (const Expect &t : targets) {
        QTest::addRow("%s -> %d (.)", name, t.field)
            << group << source << QString(text) << t.field << QChar('.') << QString(t.text);
        QTest::addRow("%s -> %d (,)", name, t.field)
            << group << source << comma(text) << t.field << QChar(',') << comma(t.text);
    }
}

QString raised(const std::function<void()> &f)
{
    try {
        f();
    } catch (const RuntimeError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

class TestUnitConversion : public QObject
{
    Q_OBJECT
private slots:
    void conversions_data()
    {
        QTest::addColumn<Group>("group");
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("target");
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<QString>("expected");
        const Group T = Group::Temperature, L = Group::Length, S = Group::Surface,
                    V = Group::Volume, W = Group::Weight;
        addConversion("20 C", T, TempC, "20", {{TempF, "68"}, {TempK, "293.15"}});
        addConversion("37 C", T, TempC, "37", {{TempF, "98.6"}, {TempK, "310.15"}});
        addConversion("-40 C", T, TempC, "-40", {{TempF, "-40"}, {TempK, "233.15"}});
        addConversion("37.78 C", T, TempC, "37.78", {{TempF, "100"}, {TempK, "310.93"}});
        // Kelvin from the rounded Celsius text.
        addConversion("100 F", T, TempF, "100", {{TempC, "37.78"}, {TempK, "310.93"}});
        addConversion("0 F", T, TempF, "0", {{TempC, "-17.78"}, {TempK, "255.37"}});
        addConversion("0 K", T, TempK, "0", {{TempC, "-273.15"}, {TempF, "-459.67"}});
        addConversion("300 K", T, TempK, "300", {{TempC, "26.85"}, {TempF, "80.33"}});
        addConversion("0.1 K: Celsius unrounded", T, TempK, "0.1",
                      {{TempC, "-273.05"}, {TempF, "-459.49"}});

        addConversion("1 mm", L, Lengthmm, "1",
                      {{Lengthcm, "0.1"},
                       {Lengthm, "0.001"},
                       {LengthInches, "0.0393700787401575"},
                       {LengthFeet, "0.00328083989501312"},
                       {LengthYards, "0.00109361329833771"}});
        addConversion("1 inch", L, LengthInches, "1",
                      {{Lengthmm, "25.4"},
                       {Lengthcm, "2.54"},
                       {Lengthm, "0.0254"},
                       {LengthFeet, "0.0833333333333333"},
                       {LengthYards, "0.0277777777777778"}});
        addConversion(
            "1 foot", L, LengthFeet, "1",
            {{Lengthmm, "304.8"}, {Lengthcm, "30.48"}, {LengthYards, "0.333333333333333"}});

        addConversion("1 m2", S, Surfacem, "1",
                      {{Surfacecm, "10000"},
                       {SurfaceInches, "1549.90700557967"},
                       {SurfaceFeet, "10.7632430943032"},
                       {SurfaceYards, "1.19591589936703"}});
        addConversion("1 cm2", S, Surfacecm, "1",
                      {{Surfacem, "0.0001"}, {SurfaceYards, "0.000119591589936703"}});

        addConversion("1 l", V, Voll, "1",
                      {{Volml, "1000"},
                       {Volcl, "100"},
                       {Voldl, "10"},
                       {Volm, "0.001"},
                       {VolUKOunce, "35.195002309672"},
                       {VolUKPint, "1.7597501154836"},
                       {VolUKQuart, "0.879875057741801"},
                       {VolUKGallon, "0.21996876443545"},
                       {VolUSOunce, "33.8140227047015"},
                       {VolUSPint, "2.11337641904384"},
                       {VolUSQuart, "1.05668820952192"},
                       {VolUSGallon, "0.26417205238048"}});
        addConversion("1 dl", V, Voldl, "1",
                      {{VolUKOunce, "3.5195002309672"},
                       {VolUSOunce, "3.38140227047015"},
                       {VolUKPint, "0.17597501154836"},
                       {VolUSPint, "0.211337641904384"}});
        addConversion("1 ml", V, Volml, "1", {{Volm, "1E-6"}});
        addConversion("1 cl", V, Volcl, "1", {{Volm, "1E-5"}});
        addConversion("1 UK gallon", V, VolUKGallon, "1",
                      {{Volml, "4546.1"},
                       {Voll, "4.5461"},
                       {Volm, "0.0045461"},
                       {VolUSGallon, "1.2009525673269"}});
        addConversion("1 US gallon", V, VolUSGallon, "1",
                      {{Volml, "3785.41178368"},
                       {Voll, "3.78541178368"},
                       {VolUKGallon, "0.832672352935483"}});
        // One UK quart and two UK pints are the same volume in US units too.
        addConversion("1 UK quart", V, VolUKQuart, "1",
                      {{Volml, "1136.525"},
                       {VolUSOunce, "38.4304821544608"},
                       {VolUSPint, "2.4019051346538"},
                       {VolUSQuart, "1.2009525673269"},
                       {VolUSGallon, "0.300238141831725"}});
        addConversion("2 UK pints", V, VolUKPint, "2",
                      {{VolUSOunce, "38.4304821544608"},
                       {VolUSPint, "2.4019051346538"},
                       {VolUSQuart, "1.2009525673269"},
                       {VolUSGallon, "0.300238141831725"}});

        addConversion("1 kg", W, Weightkg, "1",
                      {{Weightgr, "1000"},
                       {WeightADPGrain, "15432.0987654321"},
                       {WeightTroyGrain, "15432.0987654321"},
                       {WeightADPOunce, "35.2733686067019"},
                       {WeightADPPound, "2.20463414096431"},
                       {WeightTroyPennyweight, "643.004115226337"},
                       {WeightTroyOunce, "32.1502057613169"},
                       {WeightTroyPound, "2.67918381344307"}});
        addConversion("1 pound", W, WeightADPPound, "1",
                      {{Weightgr, "453.59"},
                       {Weightkg, "0.45359"},
                       {WeightADPGrain, "7000.0128"},
                       {WeightTroyGrain, "7000.0128"},
                       {WeightADPOunce, "16"},
                       {WeightTroyPennyweight, "291.6672"},
                       {WeightTroyOunce, "14.58336"},
                       {WeightTroyPound, "1.21528"}});
        addConversion("1 ounce", W, WeightADPOunce, "1",
                      {{Weightgr, "28.35"}, {WeightADPGrain, "437.5008"}});
        addConversion("1 troy ounce", W, WeightTroyOunce, "1",
                      {{Weightgr, "31.104"},
                       {Weightkg, "0.031104"},
                       {WeightADPGrain, "480"},
                       {WeightTroyGrain, "480"},
                       {WeightTroyPennyweight, "20"},
                       {WeightTroyPound, "0.0833333333333333"}});
        addConversion("1 troy pound", W, WeightTroyPound, "1",
                      {{WeightTroyPennyweight, "240"},
                       {WeightTroyOunce, "12"},
                       {WeightTroyGrain, "5760"},
                       {Weightgr, "373.248"}});
        addConversion("grain 1.50", W, WeightTroyGrain, "1.50", {{WeightADPGrain, "1.5"}});
        addConversion("grain 1.50 other way", W, WeightADPGrain, "1.50",
                      {{WeightTroyGrain, "1.5"}});
    }
    void conversions()
    {
        QFETCH(Group, group);
        QFETCH(int, source);
        QFETCH(QString, text);
        QFETCH(int, target);
        QFETCH(QChar, sep);
        QFETCH(QString, expected);
        const auto result = convertFields(group, only(group, source, text), sep);
        QVERIFY(result);
        QCOMPARE(result->source, source);
        QCOMPARE(result->texts[source], text);
        QCOMPARE(result->texts[target], expected);
    }

    // Every pair of every table agrees with going through a third unit, to the
    // small differences of the short constants (437.5008 grains against 28.35 g
    // for the ounce): a wrong or swapped factor in any cell is far outside that.
    void tablesAreConsistent_data()
    {
        QTest::addColumn<Group>("group");
        QTest::newRow("length") << Group::Length;
        QTest::newRow("surface") << Group::Surface;
        QTest::newRow("volume") << Group::Volume;
        QTest::newRow("weight") << Group::Weight;
    }
    void tablesAreConsistent()
    {
        QFETCH(Group, group);
        const int n = fieldCount(group);
        for (int from = 0; from < n; ++from) {
            QVERIFY(convert(group, from, from, 3.0L) == 3.0L);
            for (int via = 0; via < n; ++via) {
                for (int to = 0; to < n; ++to) {
                    const long double direct = convert(group, from, to, 1);
                    const long double twoSteps =
                        convert(group, via, to, convert(group, from, via, 1));
                    const long double ratio = direct / twoSteps;
                    QVERIFY2(std::fabs(ratio - 1) < 1e-3,
                             qPrintable(QString("%1 -> %2 -> %3").arg(from).arg(via).arg(to)));
                }
            }
        }
    }

    void firstNonEmptyFieldIsTheSource()
    {
        // UK is searched before US although it stands below it.
        QStringList texts(fieldCount(Group::Volume));
        texts[VolUSOunce] = "5";
        texts[VolUKOunce] = "1";
        auto r = convertFields(Group::Volume, texts, '.');
        QVERIFY(r);
        QCOMPARE(r->source, int(VolUKOunce));
        QCOMPARE(r->texts[VolUSOunce], NumberToText(2.8413125L / 2.957352956L, '.'));

        // After a conversion, a second click converts from the first field.
        r = convertFields(Group::Temperature, only(Group::Temperature, TempF, "100"), '.');
        QVERIFY(r);
        r = convertFields(Group::Temperature, r->texts, '.');
        QCOMPARE(r->source, int(TempC));
        QCOMPARE(r->texts, (QStringList{"37.78", "100", "310.93"}));
    }

    void emptyGroupDoesNothing_data()
    {
        QTest::addColumn<Group>("group");
        QTest::newRow("temperature") << Group::Temperature;
        QTest::newRow("volume") << Group::Volume;
    }
    void emptyGroupDoesNothing()
    {
        QFETCH(Group, group);
        QVERIFY(!convertFields(group, QStringList(fieldCount(group)), '.'));
    }

    void errors_data()
    {
        QTest::addColumn<Group>("group");
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("blanks are a source") << Group::Length << int(Lengthcm) << "  "
                                             << "'  ' is not a valid floating point value";
        QTest::newRow("letters") << Group::Weight << int(Weightkg) << "1kg"
                                 << "'1kg' is not a valid floating point value";
        QTest::newRow("wrong separator") << Group::Temperature << int(TempF) << "1,5"
                                         << "'1,5' is not a valid floating point value";
        QTest::newRow("volume overflow") << Group::Volume << int(Volm) << "1e4930"
                                         << "Floating point overflow";
        QTest::newRow("surface overflow") << Group::Surface << int(SurfaceYards) << "1e4931"
                                          << "Floating point overflow";
        QTest::newRow("Fahrenheit beyond a double") << Group::Temperature << int(TempC) << "1e400"
                                                    << "Floating point overflow";
        QTest::newRow("Celsius beyond a double") << Group::Temperature << int(TempF) << "-1e400"
                                                 << "Floating point overflow";
    }
    void errors()
    {
        QFETCH(Group, group);
        QFETCH(int, source);
        QFETCH(QString, text);
        QFETCH(QString, error);
        QCOMPARE(raised([&] { convertFields(group, only(group, source, text), '.'); }), error);
    }

    void hundredths_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("rounded");
        QTest::newRow("up") << 37.777 << 37.78;
        QTest::newRow("down") << -17.7777 << -17.78;
        QTest::newRow("exact") << 98.6 << 98.6;
        QTest::newRow("huge stays") << 1e300 << 1e300;
    }
    void hundredths()
    {
        QFETCH(double, value);
        QFETCH(double, rounded);
        QCOMPARE(roundToHundredths(value), rounded);
    }
};

QTEST_GUILESS_MAIN(TestUnitConversion)
#include "tst_unit_conversion.moc"
