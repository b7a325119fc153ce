#pragma once

#include "core/app/settings.h"

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class LabeledEdit;
struct AppContext;

// The Préférences page: the working copy of wsettings.txt.
class PreferencesPage : public QWidget
{
    Q_OBJECT
public:
    PreferencesPage(AppContext &context, QWidget *parent = nullptr);

    SettingsControls controls() const;
    void setControls(const SettingsControls &c);
    SettingsControls SettingsSnapshot() const { return controls(); }

    // Reads wsettings.txt from the working folder into the controls, then the
    // current paths and count-down length. Raises when the file cannot be
    // read; a line that cannot be read is shown in the error box, by its
    // number, and every other line is taken.
    void LoadSettings();
    // Writes the file from the controls; raises before touching it when the
    // count-down length is not a whole number. When the file changed on disk
    // since it was read or written here, asks first: keep mine writes, take
    // theirs reads the file's settings (as Annuler), cancel does nothing and
    // returns false.
    bool btnPrefSaveClick();
    void btnPrefCancelClick();

    // The "..." buttons: a file picker in the working folder, a folder picker
    // prompting with the field's caption. A cancelled picker changes nothing.
    void pickFile(LabeledEdit *field);
    void pickFolder(LabeledEdit *field);
    // A double-click on one of the four file fields opens the file.
    void lbleLanguageFileDblClick(LabeledEdit *field);

    // The safelight check box's caption: the language file's, or our own
    // while the file leaves its line empty.
    void setSafelightCaption(const QString &text);

    bool colourMode() const;
    int soundMode() const; // SettingsControls::Sound

    QRadioButton *rbtnBeepYN, *rbtnWaveYN, *rbtnSoundYN, *rbtnColorYN, *rbtnMonoYN;
    QGroupBox *grpbxSound, *grpbxColor, *grpbxFiles;
    QCheckBox *chkbxSafelight;
    LabeledEdit *lbleSoundSeconds, *lbleLanguageFile, *lblePaperPrcFile, *lbleFilmPrcFile,
        *lbleAgitationFile, *lbleChemFolder, *lbleProcFolder;
    QPushButton *btnSelLangFile, *btnSelPapPrcFile, *btnSelFlmPrcFile, *btnSelAgitation,
        *btnChemFolder, *btnProcFolder, *btnPrefSave, *btnPrefCancel, *btnPrefReload;

signals:
    void reloadRequested();
    // The colour scheme radio buttons were selected (by the user or the loader).
    void colourSchemeSelected(bool colour);
    // The safelight check box changed (by the user, the F12 key or the loader).
    void safelightSelected(bool on);

private:
    AppContext &m_ctx;
};
