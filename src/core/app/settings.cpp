#include "core/app/settings.h"

#include "core/base/int_text.h"
#include "core/base/runtime_error.h"
#include "core/base/safelight_colors.h"
#include "core/textfile/text_file.h"

#include <QFileInfo>

#include <algorithm>

int SettingsValues::countDownSeconds() const
{
    return SettingsFile::countDownOf(soundSeconds).value_or(0);
}

namespace SettingsFile {

FileState stateOf(const FilePath &file)
{
    FileState state;
    try {
        state.bytes = TextFile::readBytes(file);
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
    // system another case is another folder, "<folder>2" is a sibling and
    // "/data<folder>" another folder altogether: none of them moves with the
    // program.
    static const QString placeholder = QStringLiteral("%root%");
    QString out;
    qsizetype from = 0;
    qsizetype at = value.indexOf(programFolder);
    while (at >= 0) {
        const qsizetype end = at + programFolder.size();
        // The folder's own edges: it starts the value (or a path of a list),
        // and it ends it or a folder name does.
        const bool left =
            at == 0 || value.at(at - 1) == QLatin1Char(':') || value.at(at - 1) == QLatin1Char(';');
        const bool whole = left && (end == value.size() || value.at(end) == QLatin1Char('/'));
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
    QString SettingsValues::*field;
};

const PathKey kPathKeys[] = {
    {QLatin1StringView("LanguageFile="), &SettingsValues::languageFile},
    {QLatin1StringView("PaperProcessFile="), &SettingsValues::paperProcessFile},
    {QLatin1StringView("FilmProcessFile="), &SettingsValues::filmProcessFile},
    {QLatin1StringView("AgitationFile="), &SettingsValues::agitationFile},
    {QLatin1StringView("ProcessFolder="), &SettingsValues::processFolder},
    {QLatin1StringView("FormulaFolder="), &SettingsValues::formulaFolder},
};

// Begins like none of the nine keys, so a reader that knows only those
// passes over the line.
const QLatin1StringView kSafelightKey("Safelight=");
const QLatin1StringView kSafelightLevelKey("SafelightLevel=");
// "PedalKey1=66,2": the key's Qt number and what it does (1 pause, 2 next,
// 3 start).
const QLatin1StringView kPedalKey("PedalKey");
const QLatin1StringView kCollisionMarginKey("CollisionMargin=");

std::optional<LearnedKey> pedalKeyOf(QStringView value)
{
    const qsizetype comma = value.indexOf(QLatin1Char(','));
    if (comma < 0)
        return std::nullopt;
    const std::optional<int> key = parseInt(value.left(comma));
    const std::optional<int> action = parseInt(value.mid(comma + 1));
    if (!key || !action || *key <= 0 || *action < 1 || *action > 3)
        return std::nullopt;
    return LearnedKey{*key, PedalAction(*action)};
}
const QLatin1StringView kTemperatureUnitKey("TemperatureUnit=");

} // namespace

QStringList applyLines(const QStringList &lines, SettingsValues &c, const QString &programFolder)
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
    c.safelightLevel = SafelightColors::BrightestLevel;
    c.pedalKeys = {};
    c.collisionMargin = SettingsValues::DefaultCollisionMargin;
    c.temperatureUnit = TemperatureUnit::Celsius;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString &line = lines[n];
        if (line.startsWith(sound)) {
            if (const auto v = digit(line, sound.size(), n))
                c.sound = (*v == 2)   ? SettingsValues::Waves
                          : (*v == 3) ? SettingsValues::NoSound
                                      : SettingsValues::Beeps;
        } else if (line.startsWith(soundSeconds)) {
            c.soundSeconds = line.mid(soundSeconds.size());
        } else if (line.startsWith(color)) {
            if (const auto v = digit(line, color.size(), n))
                c.color = (*v == 2) ? SettingsValues::Mono : SettingsValues::Colour;
        } else if (line.startsWith(kPedalKey) && line.size() > kPedalKey.size() + 1 &&
                   line.at(kPedalKey.size() + 1) == QLatin1Char('=')) {
            const int slot = line.at(kPedalKey.size()).unicode() - '1';
            const auto learned = pedalKeyOf(QStringView(line).mid(kPedalKey.size() + 2));
            if (slot < 0 || slot >= kLearnedKeys || !learned)
                bad << QStringLiteral("line %1: ").arg(n + 1) +
                           RuntimeError::invalidInteger(line.mid(kPedalKey.size())).message();
            else
                c.pedalKeys[static_cast<size_t>(slot)] = *learned;
        } else if (line.startsWith(kCollisionMarginKey)) {
            const QString text = line.mid(kCollisionMarginKey.size());
            if (const auto v = parseInt(text); v && *v >= 0)
                c.collisionMargin = std::min(*v, SettingsValues::MaxCollisionMargin);
            else
                bad << QStringLiteral("line %1: ").arg(n + 1) +
                           RuntimeError::invalidInteger(text).message();
        } else if (line.startsWith(kSafelightLevelKey)) {
            // Read as the digit lines are: one digit, out of range clamped.
            if (const auto v = digit(line, kSafelightLevelKey.size(), n))
                c.safelightLevel = SafelightColors::clampLevel(*v);
        } else if (line.startsWith(kSafelightKey)) {
            c.safelight = line.mid(kSafelightKey.size(), 1) == QLatin1String("1");
        } else if (line.startsWith(kTemperatureUnitKey)) {
            const QString unit = line.mid(kTemperatureUnitKey.size()).trimmed();
            c.temperatureUnit = unit.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0
                                    ? TemperatureUnit::Fahrenheit
                                    : TemperatureUnit::Celsius;
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

QStringList fileLines(const SettingsValues &c, const QString &programFolder)
{
    const int seconds = countDownToSave(c.soundSeconds);
    QStringList out;
    out << QStringLiteral("Sound=%1").arg(c.sound);
    out << QStringLiteral("SoundSeconds=%1").arg(seconds);
    out << QStringLiteral("Color=%1").arg(c.color);
    for (const PathKey &k : kPathKeys)
        out << QString(k.key) + contractRoot(TextFile::oneLine(c.*k.field), programFolder);
    if (c.safelight)
        out << QString(kSafelightKey) + QLatin1Char('1');
    for (int k = 0; k < kLearnedKeys; ++k) {
        const LearnedKey &key = c.pedalKeys[static_cast<size_t>(k)];
        if (key.isSet())
            out << QString(kPedalKey) + QString::number(k + 1) + QLatin1Char('=') +
                       QString::number(key.key) + QLatin1Char(',') +
                       QString::number(int(key.action));
    }
    if (c.collisionMargin != SettingsValues::DefaultCollisionMargin)
        out << QString(kCollisionMarginKey) + QString::number(c.collisionMargin);
    if (c.safelightLevel != SafelightColors::BrightestLevel)
        out << QString(kSafelightLevelKey) +
                   QString::number(SafelightColors::clampLevel(c.safelightLevel));
    if (c.temperatureUnit == TemperatureUnit::Fahrenheit)
        out << QString(kTemperatureUnitKey) + QLatin1Char('F');
    return out;
}

} // namespace SettingsFile

Settings::Settings(const QDir &workingFolder, const QString &programFolder, QObject *parent)
    : QObject(parent), m_workingFolder(workingFolder), m_programFolder(programFolder)
{
}

QString Settings::folder(const QString &path) const
{
    return path.isEmpty() ? m_workingFolder.path() : FilePath(m_workingFolder, path).path();
}

QString Settings::waveName(const QString &bareName) const
{
    const QString language = QFileInfo(m_values.languageFile).completeBaseName();
    if (!language.isEmpty()) {
        const QString own = QStringLiteral("waves/") + language + QLatin1Char('/') + bareName;
        if (QFileInfo(m_workingFolder.filePath(own)).isFile())
            return own;
    }
    return bareName;
}

FilePath Settings::fileIn(const QString &folderPath, const QString &path) const
{
    if (path.contains(QLatin1Char('/')) || QDir::isAbsolutePath(path))
        return file(path);
    return FilePath(QDir(folder(folderPath)), path);
}

QStringList Settings::load(const SettingsValues &base)
{
    const FilePath file = this->file(SettingsFile::FileName);
    QByteArray bytes;
    try {
        bytes = TextFile::readBytes(file);
    } catch (const RuntimeError &e) {
        m_file = {{}, e.message()};
        throw;
    }
    SettingsValues values = base;
    const QStringList bad =
        SettingsFile::applyLines(TextFile::splitLines(bytes), values, m_programFolder);
    m_file = {bytes, {}};
    m_saved = values;
    putInEffect(values);
    return bad;
}

void Settings::checkSavable(const SettingsValues &values) const
{
    SettingsFile::countDownToSave(values.soundSeconds);
}

void Settings::save(const SettingsValues &values)
{
    const FilePath file = this->file(SettingsFile::FileName);
    TextFile::writeLines(file, SettingsFile::fileLines(values, m_programFolder));
    m_file = SettingsFile::stateOf(file);
    m_saved = values;
    putInEffect(values);
}

bool Settings::changedOnDisk() const
{
    return SettingsFile::stateOf(file(SettingsFile::FileName)) != m_file;
}

void Settings::putInEffect(const SettingsValues &values)
{
    const int countDown = values.countDownSeconds();
    if (values == m_values && countDown == m_countDown)
        return;
    m_values = values;
    m_countDown = countDown;
    emit changed();
}

void Settings::setColor(SettingsValues::Color color)
{
    SettingsValues v = m_values;
    v.color = color;
    putInEffect(v);
}

void Settings::setSound(SettingsValues::Sound sound)
{
    SettingsValues v = m_values;
    v.sound = sound;
    putInEffect(v);
}

void Settings::setSafelight(bool on)
{
    SettingsValues v = m_values;
    v.safelight = on;
    putInEffect(v);
}

void Settings::setSafelightLevel(int level)
{
    SettingsValues v = m_values;
    v.safelightLevel = SafelightColors::clampLevel(level);
    putInEffect(v);
}

void Settings::setPedalKeys(const LearnedKeys &keys)
{
    SettingsValues v = m_values;
    v.pedalKeys = keys;
    putInEffect(v);
}

void Settings::setCollisionMargin(int seconds)
{
    SettingsValues v = m_values;
    v.collisionMargin = std::clamp(seconds, 0, SettingsValues::MaxCollisionMargin);
    putInEffect(v);
}

void Settings::setTemperatureUnit(TemperatureUnit unit)
{
    SettingsValues v = m_values;
    v.temperatureUnit = unit;
    putInEffect(v);
}

void Settings::setProcessFolder(const QString &folder)
{
    SettingsValues v = m_values;
    v.processFolder = folder;
    putInEffect(v);
}

void Settings::setFormulaFolder(const QString &folder)
{
    SettingsValues v = m_values;
    v.formulaFolder = folder;
    putInEffect(v);
}

void Settings::takePaths(const SettingsValues &from)
{
    SettingsValues v = m_values;
    v.languageFile = from.languageFile;
    v.paperProcessFile = from.paperProcessFile;
    v.filmProcessFile = from.filmProcessFile;
    v.agitationFile = from.agitationFile;
    v.processFolder = from.processFolder;
    v.formulaFolder = from.formulaFolder;
    putInEffect(v);
}
