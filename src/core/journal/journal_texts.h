#pragma once

#include "core/journal/journal.h"

#include <QString>
#include <QStringList>

class LanguageTable;

// The texts the journal shows, from lines 190 to 219 of the language file;
// each keeps our own French wording while the file leaves it empty.
struct JournalTexts
{
    QString finished = QStringLiteral("terminé");
    QString reset = QStringLiteral("réinitialisé à l'étape %1"); // %1 the step
    QString reload = QStringLiteral("rechargé");
    QString closed = QStringLiteral("programme fermé");
    QString cutOff = QStringLiteral("interrompu");
    QString running = QStringLiteral("en cours");
    // The comment of a process saved from a run; %1 its start.
    QString savedFromRun = QStringLiteral("Temps réels du traitement du %1.");
    // The CSV headings, in the order of the columns.
    QStringList csvHeadings = {QStringLiteral("Début"),
                               QStringLiteral("Processus"),
                               QStringLiteral("Fichier"),
                               QStringLiteral("Films"),
                               QStringLiteral("Fin"),
                               QStringLiteral("Durée totale"),
                               QStringLiteral("Étape"),
                               QStringLiteral("Phase"),
                               QStringLiteral("Temps du fichier"),
                               QStringLiteral("Temps donné"),
                               QStringLiteral("Facteur d'usure"),
                               QStringLiteral("Facteur de température"),
                               QStringLiteral("Temps réel"),
                               QStringLiteral("Pauses"),
                               QStringLiteral("Temps en pause"),
                               QStringLiteral("Températures"),
                               QStringLiteral("Bain"),
                               QStringLiteral("Utilisation"),
                               QStringLiteral("Note")};
    QString mainTime = QStringLiteral("temps principal");
    QString secondTime = QStringLiteral("temps 2");
    QString wait = QStringLiteral("attente");

    static JournalTexts fromLanguage(const LanguageTable &language);
};

namespace JournalLine {
constexpr int Finished = 190;
constexpr int Reset = 191;
constexpr int Reload = 192;
constexpr int Closed = 193;
constexpr int CutOff = 194;
constexpr int Running = 195;
constexpr int SavedFromRun = 196;
constexpr int FirstCsvHeading = 197; // to 215
constexpr int MainTime = 216;
constexpr int SecondTime = 217;
constexpr int Wait = 218;
} // namespace JournalLine

// "finished", "reset at step 3", ...
QString runEndText(const JournalTexts &texts, const JournalRun &run);
QString phaseText(const JournalTexts &texts, JournalCell::Phase phase);
