#include "core/app/settings.h"

#include "core/base/int_text.h"
#include "core/base/runtime_error.h"
#include "core/textfile/text_file.h"

namespace Settings {

FileState fileStateOf(const QString &path)
{
    FileState state;
    try {
        state.bytes = TextFile::readBytes(path);
        state.error.clear();
    } catch (const RuntimeError &e) {
        state.error = e.message();
    }
    return state;
}

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

std::optional<int> digitAfterKey(const QString &line, qsizetype keyLength)
{
    return parseInt(QStringView(line).mid(keyLength, 1));
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

QStringList applyLines(const QStringList &lines, SettingsControls &c, const QString &programFolder)
{
    static const QLatin1StringView sound("Sound=");
    static const QLatin1StringView soundSeconds("SoundSeconds=");
    static const QLatin1StringView color("Color=");
    QStringList bad;
    // A line that cannot be read is passed over: the lines after it are the
    // user's settings all the same, and a save must not lose them.
    const auto digit = [&bad](const QString &line, qsizetype key, qsizetype number) {
        const std::optional<int> v = digitAfterKey(line, key);
        if (!v)
            bad << QStringLiteral("line %1: ").arg(number + 1) +
                       RuntimeError::invalidInteger(line.mid(key, 1)).message();
        return v;
    };
    c.safelight = false;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString &line = lines[n];
        if (line.startsWith(sound)) {
            if (const auto v = digit(line, sound.size(), n))
                c.sound = (*v == 2)   ? SettingsControls::Waves
                          : (*v == 3) ? SettingsControls::NoSound
                                      : SettingsControls::Beeps;
        } else if (line.startsWith(soundSeconds)) {
            c.soundSeconds = line.mid(soundSeconds.size());
        } else if (line.startsWith(color)) {
            if (const auto v = digit(line, color.size(), n))
                c.color = (*v == 2) ? SettingsControls::Mono : SettingsControls::Colour;
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
    return bad;
}

std::optional<int> countDownOf(const QString &text)
{
    QStringView number(text);
    while (number.endsWith(QLatin1Char(' ')))
        number.chop(1);
    return parseInt(number);
}

int countDownToSave(const QString &text)
{
    if (const auto v = countDownOf(text))
        return *v;
    throw RuntimeError::invalidInteger(text);
}

QStringList fileLines(const SettingsControls &c, const QString &programFolder)
{
    const int seconds = countDownToSave(c.soundSeconds);
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
    current.SoundSeconds = countDownOf(c.soundSeconds).value_or(0);
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
