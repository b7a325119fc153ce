#include "core/app/settings.h"

#include "core/base/int_text.h"

namespace Settings {

QString expandRoot(const QString &value, const QString &programFolder)
{
    QString out = value;
    out.replace(QStringLiteral("%root%"), programFolder, Qt::CaseInsensitive);
    return out;
}

QString contractRoot(const QString &value, const QString &programFolder)
{
    // A program in the root folder has an empty folder text, which would match
    // between every two characters: nothing is contracted then.
    if (programFolder.isEmpty())
        return value;
    // Only the folder itself, letter case included: on a case-sensitive file
    // system another case is another folder, and "<folder>2" is a sibling.
    // Either would come back from "%root%" as a different path.
    static const QString placeholder = QStringLiteral("%root%");
    QString out;
    qsizetype from = 0;
    qsizetype at = value.indexOf(programFolder);
    while (at >= 0) {
        const qsizetype end = at + programFolder.size();
        const bool whole = end == value.size() || value.at(end) == QLatin1Char('/');
        if (whole) {
            out += QStringView(value).mid(from, at - from);
            out += placeholder;
            from = end;
        }
        at = value.indexOf(programFolder, whole ? end : at + 1);
    }
    out += QStringView(value).mid(from);
    return out;
}

namespace {

int digitAfterKey(const QString &line, qsizetype keyLength)
{
    return textToInt(line.mid(keyLength, 1));
}

struct PathKey
{
    QLatin1StringView key;
    QString SettingsControls::*field;
};

const PathKey kPathKeys[] = {
    {QLatin1StringView("LanguageFile="), &SettingsControls::languageFile},
    {QLatin1StringView("PaperProcessFile="), &SettingsControls::paperProcessFile},
    {QLatin1StringView("FilmProcessFile="), &SettingsControls::filmProcessFile},
    {QLatin1StringView("AgitationFile="), &SettingsControls::agitationFile},
    {QLatin1StringView("ProcessFolder="), &SettingsControls::processFolder},
    {QLatin1StringView("FormulaFolder="), &SettingsControls::formulaFolder},
};

// Begins like none of the nine keys, so a reader that knows only those
// passes over the line.
const QLatin1StringView kSafelightKey("Safelight=");

} // namespace

void applyLines(const QStringList &lines, SettingsControls &c, const QString &programFolder)
{
    static const QLatin1StringView sound("Sound=");
    static const QLatin1StringView soundSeconds("SoundSeconds=");
    static const QLatin1StringView color("Color=");
    c.safelight = false;
    for (const QString &line : lines) {
        if (line.startsWith(sound)) {
            const int v = digitAfterKey(line, sound.size());
            c.sound = (v == 2)   ? SettingsControls::Waves
                      : (v == 3) ? SettingsControls::NoSound
                                 : SettingsControls::Beeps;
        } else if (line.startsWith(soundSeconds)) {
            c.soundSeconds = line.mid(soundSeconds.size());
        } else if (line.startsWith(color)) {
            const int v = digitAfterKey(line, color.size());
            c.color = (v == 2) ? SettingsControls::Mono : SettingsControls::Colour;
        } else if (line.startsWith(kSafelightKey)) {
            c.safelight = line.mid(kSafelightKey.size(), 1) == QLatin1String("1");
        } else {
            for (const PathKey &k : kPathKeys) {
                if (line.startsWith(k.key)) {
                    c.*k.field = expandRoot(line.mid(k.key.size()), programFolder);
                    break;
                }
            }
        }
    }
}

QStringList fileLines(const SettingsControls &c, const QString &programFolder)
{
    const int seconds = textToInt(c.soundSeconds);
    QStringList out;
    out << QStringLiteral("Sound=%1").arg(c.sound);
    out << QStringLiteral("SoundSeconds=%1").arg(seconds);
    out << QStringLiteral("Color=%1").arg(c.color);
    for (const PathKey &k : kPathKeys)
        out << QString(k.key) + contractRoot(c.*k.field, programFolder);
    if (c.safelight)
        out << QString(kSafelightKey) + QLatin1Char('1');
    return out;
}

void deriveCurrent(const SettingsControls &c, CurrentSettings &current)
{
    current.SoundSeconds = parseInt(c.soundSeconds).value_or(0);
    derivePaths(c, current);
}

void derivePaths(const SettingsControls &c, CurrentSettings &current)
{
    current.LanguageFile = c.languageFile;
    current.PaperProcessFile = c.paperProcessFile;
    current.FilmProcessFile = c.filmProcessFile;
    current.AgitationFile = c.agitationFile;
    current.ProcessFolder = c.processFolder;
    current.FormulaFolder = c.formulaFolder;
}

} // namespace Settings
