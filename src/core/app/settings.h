#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The Préférences controls as plain data: the page copies them in and out, the
// rules for wsettings.txt work on this copy alone.
struct SettingsControls
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

    int sound = Beeps;
    int color = Colour;
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

    bool operator==(const SettingsControls &) const = default;
};

// The current paths and count-down length the rest of the program uses.
struct CurrentSettings
{
    QString LanguageFile;
    QString PaperProcessFile;
    QString FilmProcessFile;
    QString AgitationFile;
    QString ProcessFolder;
    QString FormulaFolder;
    int SoundSeconds = 0;
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

namespace Settings {

inline const QString FileName = QStringLiteral("wsettings.txt");

// The state of the file at path now.
FileState fileStateOf(const QString &path);

// "%root%" in a stored path stands for the program's folder. Expanding takes the
// placeholder in any letter case; contracting folds only the folder's exact text
// followed by "/" or the end of the value.
QString expandRoot(const QString &value, const QString &programFolder);
QString contractRoot(const QString &value, const QString &programFolder);

// Applies the lines of a settings file to the controls, in file order. A
// "Sound=" or "Color=" line without a digit after the key changes nothing and
// is reported: what comes back is one message per such line, "line N: ...",
// in file order; every other line has taken effect. The safelight view is on
// only when the file says so: a file without its line means off.
QStringList applyLines(const QStringList &lines, SettingsControls &controls,
                       const QString &programFolder);

// The count-down length a field's text gives: a whole number, blanks around it
// skipped as the number fields skip them; nothing for any other text.
std::optional<int> countDownOf(const QString &text);
// As countDownOf, raising the integer error for the text.
int countDownToSave(const QString &text);

// The nine lines the save writes, and the safelight line while it is on. Raises the integer error
// for a count-down length that is not a whole number, before anything is written.
QStringList fileLines(const SettingsControls &controls, const QString &programFolder);

// The current paths as the fields show them, and the count-down length (0 when
// the field holds no whole number).
void deriveCurrent(const SettingsControls &controls, CurrentSettings &current);
// The six current paths alone, as the fields show them (the reload takes only these).
void derivePaths(const SettingsControls &controls, CurrentSettings &current);

} // namespace Settings
