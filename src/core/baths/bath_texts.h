#pragma once

#include "core/baths/bath.h"

#include <QString>

class LanguageTable;

// The texts the baths show, from lines 150 to 179 of the language file; each
// keeps our own French wording while the file leaves it empty.
struct BathTexts
{
    QString fresh = QStringLiteral("neuf");
    QString inUse = QStringLiteral("en service");
    QString exhausted = QStringLiteral("épuisé");
    QString expired = QStringLiteral("périmé");
    QString dueToBeDiscarded = QStringLiteral("à jeter");
    // %1 the bath, %2 the films with this use, %3 the capacity.
    QString exhaustedWarning = QStringLiteral("%1 est épuisé : %2 films sur %3.");
    // %1 the bath, %2 its age in days, %3 its shelf life.
    QString expiredWarning =
        QStringLiteral("%1 est périmé : préparé il y a %2 jours, il se garde %3 jours.");
    // %1 the bath, %2 its last clearing time, %3 its fresh one.
    QString discardWarning =
        QStringLiteral("%1 est à jeter : il éclaircit en %2, le double de son temps à neuf (%3).");
    QString startAnyway = QStringLiteral("Démarrer quand même ?");
    // Ordinals: of 1; of numbers ending in 1, 2 and 3 (11, 12 and 13 aside);
    // of the others. %1 is the number (the ordinal of 1 is written out whole).
    QString ordinalOne = QStringLiteral("1er");
    QString ordinalEnding1 = QStringLiteral("%1e");
    QString ordinalEnding2 = QStringLiteral("%1e");
    QString ordinalEnding3 = QStringLiteral("%1e");
    QString ordinalOther = QStringLiteral("%1e");
    // %1 the bath, %2 the ordinal of the tank's first film, %3 the time in the
    // file, %4 the time the use gives.
    QString useLabel = QStringLiteral("%1 · %2 film · %3 → %4");
    QString linearPercent = QStringLiteral("pourcentage linéaire");
    QString compoundPercent = QStringLiteral("pourcentage composé");
    QString fixedCapacity = QStringLiteral("capacité fixe");
    QString clearingTime = QStringLiteral("temps d'éclaircissement");

    static BathTexts fromLanguage(const LanguageTable &language);
};

namespace BathLine {
constexpr int Fresh = 150;
constexpr int InUse = 151;
constexpr int Exhausted = 152;
constexpr int Expired = 153;
constexpr int DueToBeDiscarded = 154;
constexpr int ExhaustedWarning = 155;
constexpr int ExpiredWarning = 156;
constexpr int DiscardWarning = 157;
constexpr int StartAnyway = 158;
constexpr int OrdinalOne = 159;
constexpr int OrdinalEnding1 = 160;
constexpr int OrdinalEnding2 = 161;
constexpr int OrdinalEnding3 = 162;
constexpr int OrdinalOther = 163;
constexpr int UseLabel = 164;
constexpr int LinearPercent = 165;
constexpr int CompoundPercent = 166;
constexpr int FixedCapacity = 167;
constexpr int ClearingTime = 168;
// The Bains page, the tab's fields and the unit of Préférences.
constexpr int BathsPage = 169;
constexpr int FilmsInTank = 170;
constexpr int TabTemperature = 171;
constexpr int Columns = 172; // the list's headings, separated by "|"
constexpr int NewBath = 173;
constexpr int FreshBottle = 174;
constexpr int ClearingTest = 175;
constexpr int TakeBack = 176;
constexpr int Remove = 177;
constexpr int SaveBath = 178;
constexpr int Fields = 179; // the captions of the bath's fields, separated by "|"
constexpr int TemperatureUnit = 250;
constexpr int ClearsIn = 251;
constexpr int RemoveQuestion = 252;
constexpr int TakeBackQuestion = 253;
constexpr int NotValid = 254;
constexpr int NameTaken = 255;
} // namespace BathLine

QString bathStateName(const BathTexts &texts, BathState state);
QString wearName(const BathTexts &texts, Bath::Wear wear);
// "3rd", "3e".
QString ordinalText(const BathTexts &texts, qint64 n);
// "ID-11 · 3rd film · 08:30 → 10:12": the next use of the bath for a step of
// fileSeconds. Raises as adjustedSeconds does.
QString useLabel(const BathTexts &texts, const Bath &bath, int fileSeconds);
// The question to ask before starting a use of `films` films on `today`
// ("ID-11 is exhausted: 11 of 10 films. Start anyway?"), or the empty text
// when nothing is wrong.
QString startQuestion(const BathTexts &texts, const Bath &bath, int films, QDate today);
