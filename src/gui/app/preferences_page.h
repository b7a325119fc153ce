#pragma once

#include "core/app/settings.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QGroupBox;
class QPushButton;
class QRadioButton;
class LabeledEdit;
class LanguageTable;
class ProcessListEditor;
struct AppContext;

// The Préférences page: edits a copy of the settings, which Enregistrer
// writes to wsettings.txt and commits and Annuler reads back from the file.
// The colour scheme, the sound, the safelight view and the two data folders
// take effect as they are chosen; the count-down length and the four file
// paths only by Enregistrer (and the paths by Recharger).
class PreferencesPage : public QWidget
{
    Q_OBJECT
public:
    PreferencesPage(AppContext &context, QWidget *parent = nullptr);

    // The copy being edited, as the controls show it.
    const SettingsValues &draft() const { return m_draft; }
    // Whether the copy differs from what wsettings.txt holds.
    bool hasUnsavedChanges() const;

    // Reads wsettings.txt from the working folder over the copy (what the file
    // does not name keeps its state) and commits it. Raises when the file
    // cannot be read; a line that cannot be read is shown in the error box, by
    // its number, and every other line is taken.
    void LoadSettings();
    // Writes the copy and commits it; raises before touching the file when the
    // count-down length is not a whole number. When the file changed on disk
    // since it was read or written here, asks first: keep mine writes, take
    // theirs reads the file's settings (as Annuler), cancel does nothing and
    // returns false.
    bool btnPrefSaveClick();
    void btnPrefCancelClick();

    // The captions of the language texts.
    void retranslate(const LanguageTable &texts);
    // The safelight view on or off, as the check box does it (the F12 key).
    void toggleSafelight();
    // The paper or film list that its field names, in the list editor.
    void editList(bool paper);

    // A pedal slot's button was clicked: the next key is learned for it.
    bool isLearningKey() const { return m_learning >= 0; }
    // The key to learn, or Escape to give up.
    void learnKey(int key);

signals:
    // The fog test is asked for, at the draft's level, for these minutes.
    void fogTestRequested(int level, int minutes);

    void reloadRequested();

private:
    // The "..." buttons: a file picker in the working folder, a folder picker
    // prompting with the field's caption. A cancelled picker changes nothing.
    void pickFile(LabeledEdit *field);
    void pickFolder(LabeledEdit *field);
    // A double-click on one of the four file fields opens the file.
    void lbleLanguageFileDblClick(LabeledEdit *field);
    // The controls show the copy.
    void showDraft();
    // The darkroom's controls, below the rest of the page.
    void buildDarkroomControls();
    void showPedalKeys();
    void startLearning(int slot);

    AppContext &m_ctx;
    Settings &m_settings;
    SettingsValues m_draft;
    bool m_showing = false;   // the controls are being set from the copy
    int m_learning = -1;      // the pedal slot waiting for its key
    QStringList m_pedalTexts; // learn caption, prompt, and the four actions

    QRadioButton *rbtnBeepYN, *rbtnWaveYN, *rbtnSoundYN, *rbtnColorYN, *rbtnMonoYN, *rbtnCelsius,
        *rbtnFahrenheit;
    QGroupBox *grpbxSound, *grpbxColor, *grpbxFiles, *grpbxTemperature;
    QCheckBox *chkbxSafelight;
    QLabel *lblSafelightLevel;
    QComboBox *cbxSafelightLevel;
    LabeledEdit *lbleFogMinutes, *lbleCollisionMargin;
    QPushButton *btnFogTest;
    QGroupBox *grpbxPedal;
    QPushButton *btnPedalKey[3];
    QComboBox *cbxPedalAction[3];
    LabeledEdit *lbleSoundSeconds, *lbleLanguageFile, *lblePaperPrcFile, *lbleFilmPrcFile,
        *lbleAgitationFile, *lbleChemFolder, *lbleProcFolder;
    QPushButton *btnSelLangFile, *btnSelPapPrcFile, *btnSelFlmPrcFile, *btnSelAgitation,
        *btnChemFolder, *btnProcFolder, *btnPrefSave, *btnPrefCancel, *btnPrefReload;
    QPushButton *btnPaperList, *btnFilmList;
    ProcessListEditor *m_listEditor = nullptr; // made at its first use
    QString m_removeCaption = QStringLiteral("Retirer");
};
