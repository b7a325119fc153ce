#pragma once

#include "core/app/key_commands.h"
#include "core/temperature/temperature.h"
#include "core/textfile/text_file.h"

#include <QByteArray>
#include <QDir>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

// The settings of wsettings.txt as typed values: what the file holds, what is
// in effect, and the copy the Préférences page edits are all of this type.
struct SettingsValues
{
    enum Sound
    {
        Beeps = 1,
        Waves = 2,
        NoSound = 3
    };
    enum Color
    {
        Colour = 1,
        Mono = 2
    };

    Sound sound = Beeps;
    Color color = Colour;
    // The count-down length as typed: the close compares texts, and "07" is
    // saved as 7.
    QString soundSeconds;
    QString languageFile;
    QString paperProcessFile;
    QString filmProcessFile;
    QString agitationFile;
    QString processFolder;
    QString formulaFolder;
    // The dim red face for the darkroom; kept in a line of its own, written
    // only while it is on, so a file that never used it keeps its nine lines.
    bool safelight = false;
    // Its brightness, 1 (a quarter) to 4 (as it always was); a line of its
    // own, written only below the brightest.
    int safelightLevel = 4;
    // Keys learned on Préférences (a foot pedal's): a line each, only for
    // those set.
    LearnedKeys pedalKeys{};
    // Seconds within which two processes' calls on the photographer collide;
    // a line only when not the default.
    int collisionMargin = DefaultCollisionMargin;
    static constexpr int DefaultCollisionMargin = 15;
    static constexpr int MaxCollisionMargin = 600;
    // How temperatures are typed and shown; like the safelight, a line of its
    // own written only for °F.
    TemperatureUnit temperatureUnit = TemperatureUnit::Celsius;

    // The count-down length in seconds, 0 when the text is no whole number.
    int countDownSeconds() const;

    bool operator==(const SettingsValues &) const = default;
};

// What a file held when it was read or written, to tell later whether
// someone else (another Noctarel on the folder) has written it since: its
// bytes, or the message of what kept it from being read ("File not found").
struct FileState
{
    QByteArray bytes;
    QString error = QStringLiteral("not read yet");

    bool operator==(const FileState &) const = default;
};

// The rules of wsettings.txt on values alone.
namespace SettingsFile {

inline const QString FileName = QStringLiteral("wsettings.txt");

// The state of the file now.
FileState stateOf(const FilePath &file);

// "%root%" in a stored path stands for the program's folder. Expanding takes the
// placeholder in any letter case; contracting folds only the folder's exact text
// followed by "/" or the end of the value.
QString expandRoot(const QString &value, const QString &programFolder);
QString contractRoot(const QString &value, const QString &programFolder);

// Applies the lines of a settings file to the values, in file order. A
// "Sound=" or "Color=" line without a digit after the key changes nothing and
// is reported: what comes back is one message per such line, "line N: ...",
// in file order; every other line has taken effect. The safelight view is on
// only when the file says so: a file without its line means off.
QStringList applyLines(const QStringList &lines, SettingsValues &values,
                       const QString &programFolder);

// The count-down length a field's text gives: a whole number, blanks around it
// skipped as the number fields skip them; nothing for any other text.
std::optional<int> countDownOf(const QString &text);
// As countDownOf, raising the integer error for the text.
int countDownToSave(const QString &text);

// The nine lines the save writes, and the safelight line while it is on.
// Raises the integer error for a count-down length that is not a whole number,
// before anything is written.
QStringList fileLines(const SettingsValues &values, const QString &programFolder);

} // namespace SettingsFile

// The program's settings, once. They hold what is in effect (the timers, the
// tabs and the pages ask here) and what wsettings.txt held when it was last
// read or written (the close compares the Préférences copy with that). The
// working folder is held here too: every relative path is found in it.
//
// A load or a save makes both the same. Between the two, the choices that
// take effect as they are made (the colour scheme, the sound, the safelight
// view and the two data folders) and the paths a reload takes change only
// what is in effect; the count-down length changes only by a load or a save.
class Settings : public QObject
{
    Q_OBJECT
public:
    Settings(const QDir &workingFolder, const QString &programFolder, QObject *parent = nullptr);

    const QDir &workingFolder() const { return m_workingFolder; }
    // The folder of the program's executable, which "%root%" stands for.
    const QString &programFolder() const { return m_programFolder; }
    // A path as the user gave it, found in the working folder when relative.
    FilePath file(const QString &path) const { return FilePath(m_workingFolder, path); }
    // The wave to play for a bare name: the one in waves/<language file's
    // name>/ of the working folder when there is one (waves/english/5.wav),
    // the working folder's otherwise.
    QString waveName(const QString &bareName) const;
    // A folder as the user gave it, absolute: the working folder for none.
    QString folder(const QString &path) const;
    // A path as an editor's file field gives it: a bare name is in folder (as
    // the lists name processes), a path with a folder is found as file() finds it.
    FilePath fileIn(const QString &folder, const QString &path) const;

    // In effect.
    const SettingsValues &values() const { return m_values; }
    bool colourScheme() const { return m_values.color == SettingsValues::Colour; }
    SettingsValues::Sound soundMode() const { return m_values.sound; }
    int countDownSeconds() const { return m_countDown; }
    // As wsettings.txt held them when last read or written.
    const SettingsValues &saved() const { return m_saved; }

    // Reads wsettings.txt over base: the values the file names replace base's,
    // the others keep base's. Raises when the file cannot be read (nothing
    // changes then). A line that cannot be read changes nothing and comes
    // back, "line N: ...", with the other lines taken.
    QStringList load(const SettingsValues &base);
    // Raises the integer error for a count-down length that is not a whole
    // number; a save of these values would raise it before writing.
    void checkSavable(const SettingsValues &values) const;
    // Writes the values to wsettings.txt; both what is in effect and what is
    // saved become them. Raises, and changes nothing, when the file cannot be
    // written.
    void save(const SettingsValues &values);
    // Someone wrote wsettings.txt since it was last read or written here.
    bool changedOnDisk() const;

    // What takes effect as it is chosen, before any save.
    void setColor(SettingsValues::Color color);
    void setSound(SettingsValues::Sound sound);
    void setSafelight(bool on);
    void setSafelightLevel(int level);
    void setPedalKeys(const LearnedKeys &keys);
    void setCollisionMargin(int seconds);
    void setTemperatureUnit(TemperatureUnit unit);
    void setProcessFolder(const QString &folder);
    void setFormulaFolder(const QString &folder);
    // The six paths as given (a reload takes them without a save).
    void takePaths(const SettingsValues &from);

signals:
    // What is in effect changed.
    void changed();

private:
    void putInEffect(const SettingsValues &values);

    QDir m_workingFolder;
    QString m_programFolder;
    SettingsValues m_values;
    SettingsValues m_saved;
    int m_countDown = 0;
    FileState m_file;
};
