#include "gui/app/preferences_page.h"

#include "core/app/app_context.h"
#include "core/base/busy_cursor.h"
#include "core/base/int_text.h"
#include "core/base/runtime_error.h"
#include "core/textfile/text_file.h"
#include "gui/dialogs.h"
#include "gui/handler_guard.h"
#include "gui/shell_open.h"
#include "gui/widgets.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

QRadioButton *radio(QWidget *parent, const char *name, const QString &caption, QRect bounds)
{
    auto *r = new QRadioButton(caption, parent);
    r->setObjectName(QLatin1String(name));
    r->setGeometry(bounds);
    return r;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, QRect bounds)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(bounds);
    return b;
}

QGroupBox *group(QWidget *parent, const char *name, const QString &caption, QRect bounds)
{
    auto *g = new QGroupBox(caption, parent);
    g->setObjectName(QLatin1String(name));
    g->setGeometry(bounds);
    return g;
}

LabeledEdit *leftEdit(QWidget *parent, const char *name, const QString &caption, QRect bounds)
{
    return new LabeledEdit(parent, QLatin1String(name), caption, LabeledEdit::LabelPosition::Left,
                           bounds);
}

} // namespace

PreferencesPage::PreferencesPage(AppContext &context, QWidget *parent)
    : QWidget(parent), m_ctx(context)
{
    setObjectName(QStringLiteral("tbshtPref"));

    grpbxSound = group(this, "grpbxSound", QStringLiteral("Sons"), {12, 17, 157, 104});
    rbtnBeepYN = radio(grpbxSound, "rbtnBeepYN", QStringLiteral("Beeps"), {11, 17, 113, 17});
    rbtnWaveYN = radio(grpbxSound, "rbtnWaveYN", QStringLiteral("Waves"), {11, 35, 113, 17});
    rbtnSoundYN = radio(grpbxSound, "rbtnSoundYN", QStringLiteral("Pas de son"), {11, 51, 113, 17});
    lbleSoundSeconds =
        leftEdit(grpbxSound, "lbleSoundSeconds", QStringLiteral("Décompte (s):"), {80, 72, 41, 22});
    auto *soundGroup = new QButtonGroup(this);
    soundGroup->addButton(rbtnBeepYN);
    soundGroup->addButton(rbtnWaveYN);
    soundGroup->addButton(rbtnSoundYN);
    rbtnBeepYN->setChecked(true);

    grpbxColor =
        group(this, "grpbxColor", QStringLiteral("Couleurs minuteries"), {12, 130, 157, 63});
    rbtnColorYN = radio(grpbxColor, "rbtnColorYN", QStringLiteral("Couleur"), {10, 19, 113, 17});
    rbtnMonoYN = radio(grpbxColor, "rbtnMonoYN", QStringLiteral("Monochrome"), {10, 37, 113, 17});
    auto *colorGroup = new QButtonGroup(this);
    colorGroup->addButton(rbtnColorYN);
    colorGroup->addButton(rbtnMonoYN);
    rbtnColorYN->setChecked(true);

    grpbxFiles = group(this, "grpbxFiles", QStringLiteral("Fichiers"), {184, 17, 585, 176});
    lbleLanguageFile = leftEdit(grpbxFiles, "lbleLanguageFile", QStringLiteral("Fichier Langue:"),
                                {136, 16, 401, 22});
    btnSelLangFile = button(grpbxFiles, "btnSelLangFile", QStringLiteral("..."), {544, 16, 25, 21});
    lblePaperPrcFile = leftEdit(grpbxFiles, "lblePaperPrcFile",
                                QStringLiteral("Fichier Processus Papiers:"), {136, 40, 401, 22});
    btnSelPapPrcFile =
        button(grpbxFiles, "btnSelPapPrcFile", QStringLiteral("..."), {544, 40, 25, 21});
    lbleFilmPrcFile = leftEdit(grpbxFiles, "lbleFilmPrcFile",
                               QStringLiteral("Fichier Processus Films:"), {136, 64, 401, 22});
    btnSelFlmPrcFile =
        button(grpbxFiles, "btnSelFlmPrcFile", QStringLiteral("..."), {544, 64, 25, 21});
    lbleAgitationFile = leftEdit(grpbxFiles, "lbleAgitationFile",
                                 QStringLiteral("Fichier Agitation:"), {136, 88, 401, 22});
    btnSelAgitation =
        button(grpbxFiles, "btnSelAgitation", QStringLiteral("..."), {544, 88, 25, 21});
    lbleChemFolder = leftEdit(grpbxFiles, "lbleChemFolder", QStringLiteral("Dossier Chimies:"),
                              {136, 114, 401, 22});
    btnChemFolder = button(grpbxFiles, "btnChemFolder", QStringLiteral("..."), {544, 115, 25, 21});
    lbleProcFolder = leftEdit(grpbxFiles, "lbleProcFolder", QStringLiteral("Dossier Processus:"),
                              {136, 138, 401, 22});
    btnProcFolder = button(grpbxFiles, "btnProcFolder", QStringLiteral("..."), {544, 139, 25, 21});

    btnPrefSave = button(this, "btnPrefSave", QStringLiteral("Enregistrer"), {238, 227, 62, 25});
    btnPrefCancel = button(this, "btnPrefCancel", QStringLiteral("Annuler"), {330, 227, 62, 25});
    btnPrefReload = button(this, "btnPrefReload", QStringLiteral("Recharger"), {422, 227, 62, 25});

    connect(btnPrefSave, &QPushButton::clicked, this,
            [this] { guarded(*m_ctx.dialogs, [this] { btnPrefSaveClick(); }); });
    connect(btnPrefCancel, &QPushButton::clicked, this,
            [this] { guarded(*m_ctx.dialogs, [this] { btnPrefCancelClick(); }); });
    connect(btnPrefReload, &QPushButton::clicked, this, &PreferencesPage::reloadRequested);
    const std::pair<QPushButton *, LabeledEdit *> files[] = {{btnSelLangFile, lbleLanguageFile},
                                                             {btnSelPapPrcFile, lblePaperPrcFile},
                                                             {btnSelFlmPrcFile, lbleFilmPrcFile},
                                                             {btnSelAgitation, lbleAgitationFile}};
    for (const auto &[b, field] : files) {
        LabeledEdit *target = field;
        connect(b, &QPushButton::clicked, this,
                [this, target] { guarded(*m_ctx.dialogs, [this, target] { pickFile(target); }); });
        connect(field, &LabeledEdit::doubleClicked, this, [this, target] {
            guarded(*m_ctx.dialogs, [this, target] { lbleLanguageFileDblClick(target); });
        });
    }
    const std::pair<QPushButton *, LabeledEdit *> folders[] = {{btnChemFolder, lbleChemFolder},
                                                               {btnProcFolder, lbleProcFolder}};
    for (const auto &[b, field] : folders) {
        LabeledEdit *target = field;
        connect(b, &QPushButton::clicked, this, [this, target] {
            guarded(*m_ctx.dialogs, [this, target] { pickFolder(target); });
        });
    }
    // The two folders are in use as typed, without a save.
    connect(lbleChemFolder, &QLineEdit::textChanged, this,
            [this](const QString &t) { m_ctx.current.FormulaFolder = t; });
    connect(lbleProcFolder, &QLineEdit::textChanged, this,
            [this](const QString &t) { m_ctx.current.ProcessFolder = t; });
    connect(rbtnColorYN, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            emit colourSchemeSelected(true);
    });
    connect(rbtnMonoYN, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            emit colourSchemeSelected(false);
    });
}

SettingsControls PreferencesPage::controls() const
{
    SettingsControls c;
    c.sound = rbtnWaveYN->isChecked()    ? SettingsControls::Waves
              : rbtnSoundYN->isChecked() ? SettingsControls::NoSound
                                         : SettingsControls::Beeps;
    c.color = rbtnMonoYN->isChecked() ? SettingsControls::Mono : SettingsControls::Colour;
    c.soundSeconds = lbleSoundSeconds->text();
    c.languageFile = lbleLanguageFile->text();
    c.paperProcessFile = lblePaperPrcFile->text();
    c.filmProcessFile = lbleFilmPrcFile->text();
    c.agitationFile = lbleAgitationFile->text();
    c.processFolder = lbleProcFolder->text();
    c.formulaFolder = lbleChemFolder->text();
    return c;
}

void PreferencesPage::setControls(const SettingsControls &c)
{
    switch (c.sound) {
    case SettingsControls::Waves:
        rbtnWaveYN->setChecked(true);
        break;
    case SettingsControls::NoSound:
        rbtnSoundYN->setChecked(true);
        break;
    default:
        rbtnBeepYN->setChecked(true);
    }
    if (c.color == SettingsControls::Mono)
        rbtnMonoYN->setChecked(true);
    else
        rbtnColorYN->setChecked(true);
    const auto set = [](LabeledEdit *e, const QString &t) {
        if (e->text() != t)
            e->setText(t);
    };
    set(lbleSoundSeconds, c.soundSeconds);
    set(lbleLanguageFile, c.languageFile);
    set(lblePaperPrcFile, c.paperProcessFile);
    set(lbleFilmPrcFile, c.filmProcessFile);
    set(lbleAgitationFile, c.agitationFile);
    set(lbleProcFolder, c.processFolder);
    set(lbleChemFolder, c.formulaFolder);
}

QString PreferencesPage::SettingsSnapshot() const
{
    return Settings::snapshot(controls());
}

void PreferencesPage::LoadSettings()
{
    BusyCursor busy;
    const QStringList lines = TextFile::readLines(Settings::FileName);
    SettingsControls c = controls();
    try {
        Settings::applyLines(lines, c, m_ctx.ProgramFolder);
    } catch (const RuntimeError &e) {
        // What the lines before the bad one set stays in the controls.
        setControls(c);
        throw e.inFile(Settings::FileName);
    }
    setControls(c);
    Settings::deriveCurrent(c, m_ctx.current);
}

void PreferencesPage::btnPrefSaveClick()
{
    BusyCursor busy;
    const SettingsControls c = controls();
    m_ctx.current.SoundSeconds = textToInt(c.soundSeconds);
    Settings::derivePaths(c, m_ctx.current);
    TextFile::writeLines(Settings::FileName, Settings::fileLines(c, m_ctx.ProgramFolder));
    m_ctx.StartSnapshot = SettingsSnapshot();
}

void PreferencesPage::btnPrefCancelClick()
{
    LoadSettings();
    m_ctx.StartSnapshot = SettingsSnapshot();
}

void PreferencesPage::pickFile(LabeledEdit *field)
{
    const auto chosen = m_ctx.dialogs->openFile(
        {QStringLiteral("Text (*.txt)"), m_ctx.ProgramFolder, QStringLiteral("*.txt")});
    if (chosen)
        field->setText(*chosen);
}

void PreferencesPage::pickFolder(LabeledEdit *field)
{
    const auto chosen = m_ctx.dialogs->chooseFolder(field->caption());
    if (chosen)
        field->setText(*chosen);
}

void PreferencesPage::lbleLanguageFileDblClick(LabeledEdit *field)
{
    OpenWithShell(field->text());
}

bool PreferencesPage::colourMode() const
{
    return rbtnColorYN->isChecked();
}

int PreferencesPage::soundMode() const
{
    return controls().sound;
}
