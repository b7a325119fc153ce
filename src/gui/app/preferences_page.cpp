#include "gui/app/preferences_page.h"

#include "core/app/app_context.h"
#include "core/app/language.h"
#include "core/base/busy_cursor.h"
#include "core/base/fog_test.h"
#include "core/base/int_text.h"
#include "core/base/runtime_error.h"
#include "core/base/safelight_colors.h"
#include "core/baths/bath_texts.h"
#include "gui/app/process_list_editor.h"
#include "gui/dialogs.h"
#include "gui/handler_guard.h"
#include "gui/shell_open.h"
#include "gui/widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

PreferencesPage::PreferencesPage(AppContext &context, QWidget *parent)
    : QWidget(parent), m_ctx(context), m_settings(*context.settings)
{
    setObjectName(QStringLiteral("tbshtPref"));
    constexpr auto left = LabeledEdit::LabelPosition::Left;

    grpbxSound =
        makeGroup(this, QStringLiteral("grpbxSound"), QStringLiteral("Sons"), {12, 17, 157, 104});
    rbtnBeepYN = makeRadio(grpbxSound, QStringLiteral("rbtnBeepYN"), QStringLiteral("Beeps"),
                           {11, 17, 113, 17});
    rbtnWaveYN = makeRadio(grpbxSound, QStringLiteral("rbtnWaveYN"), QStringLiteral("Waves"),
                           {11, 35, 113, 17});
    rbtnSoundYN = makeRadio(grpbxSound, QStringLiteral("rbtnSoundYN"), QStringLiteral("Pas de son"),
                            {11, 51, 113, 17});
    lbleSoundSeconds = new LabeledEdit(grpbxSound, QStringLiteral("lbleSoundSeconds"),
                                       QStringLiteral("Décompte (s):"), left, {80, 72, 41, 22});
    auto *soundGroup = new QButtonGroup(this);
    soundGroup->addButton(rbtnBeepYN);
    soundGroup->addButton(rbtnWaveYN);
    soundGroup->addButton(rbtnSoundYN);
    rbtnBeepYN->setChecked(true);

    grpbxColor = makeGroup(this, QStringLiteral("grpbxColor"),
                           QStringLiteral("Couleurs minuteries"), {12, 130, 157, 63});
    rbtnColorYN = makeRadio(grpbxColor, QStringLiteral("rbtnColorYN"), QStringLiteral("Couleur"),
                            {10, 19, 113, 17});
    rbtnMonoYN = makeRadio(grpbxColor, QStringLiteral("rbtnMonoYN"), QStringLiteral("Monochrome"),
                           {10, 37, 113, 17});
    auto *colorGroup = new QButtonGroup(this);
    colorGroup->addButton(rbtnColorYN);
    colorGroup->addButton(rbtnMonoYN);
    rbtnColorYN->setChecked(true);

    // Below the colour scheme, in the room left above the page's buttons.
    chkbxSafelight = placed(new QCheckBox(QStringLiteral("Lumière inactinique"), this),
                            QStringLiteral("chkbxSafelight"), {12, 202, 157, 17});

    // Below the page's buttons: how temperatures are typed and shown.
    grpbxTemperature = makeGroup(this, QStringLiteral("grpbxTemperature"),
                                 QStringLiteral("Unité de température"), {12, 265, 157, 45});
    rbtnCelsius = makeRadio(grpbxTemperature, QStringLiteral("rbtnCelsius"), QStringLiteral("°C"),
                            {10, 19, 60, 17});
    rbtnFahrenheit = makeRadio(grpbxTemperature, QStringLiteral("rbtnFahrenheit"),
                               QStringLiteral("°F"), {80, 19, 60, 17});
    auto *unitGroup = new QButtonGroup(this);
    unitGroup->addButton(rbtnCelsius);
    unitGroup->addButton(rbtnFahrenheit);
    rbtnCelsius->setChecked(true);

    grpbxFiles = makeGroup(this, QStringLiteral("grpbxFiles"), QStringLiteral("Fichiers"),
                           {184, 17, 585, 176});
    lbleLanguageFile = new LabeledEdit(grpbxFiles, QStringLiteral("lbleLanguageFile"),
                                       QStringLiteral("Fichier Langue:"), left, {136, 16, 401, 22});
    btnSelLangFile = makeButton(grpbxFiles, QStringLiteral("btnSelLangFile"), QStringLiteral("..."),
                                {544, 16, 25, 21});
    lblePaperPrcFile =
        new LabeledEdit(grpbxFiles, QStringLiteral("lblePaperPrcFile"),
                        QStringLiteral("Fichier Processus Papiers:"), left, {136, 40, 401, 22});
    btnSelPapPrcFile = makeButton(grpbxFiles, QStringLiteral("btnSelPapPrcFile"),
                                  QStringLiteral("..."), {544, 40, 25, 21});
    lbleFilmPrcFile =
        new LabeledEdit(grpbxFiles, QStringLiteral("lbleFilmPrcFile"),
                        QStringLiteral("Fichier Processus Films:"), left, {136, 64, 401, 22});
    btnSelFlmPrcFile = makeButton(grpbxFiles, QStringLiteral("btnSelFlmPrcFile"),
                                  QStringLiteral("..."), {544, 64, 25, 21});
    lbleAgitationFile =
        new LabeledEdit(grpbxFiles, QStringLiteral("lbleAgitationFile"),
                        QStringLiteral("Fichier Agitation:"), left, {136, 88, 401, 22});
    btnSelAgitation = makeButton(grpbxFiles, QStringLiteral("btnSelAgitation"),
                                 QStringLiteral("..."), {544, 88, 25, 21});
    lbleChemFolder = new LabeledEdit(grpbxFiles, QStringLiteral("lbleChemFolder"),
                                     QStringLiteral("Dossier Chimies:"), left, {136, 114, 401, 22});
    btnChemFolder = makeButton(grpbxFiles, QStringLiteral("btnChemFolder"), QStringLiteral("..."),
                               {544, 115, 25, 21});
    lbleProcFolder =
        new LabeledEdit(grpbxFiles, QStringLiteral("lbleProcFolder"),
                        QStringLiteral("Dossier Processus:"), left, {136, 138, 401, 22});
    btnProcFolder = makeButton(grpbxFiles, QStringLiteral("btnProcFolder"), QStringLiteral("..."),
                               {544, 139, 25, 21});

    btnPrefSave = makeButton(this, QStringLiteral("btnPrefSave"), QStringLiteral("Enregistrer"),
                             {238, 227, 62, 25});
    btnPrefCancel = makeButton(this, QStringLiteral("btnPrefCancel"), QStringLiteral("Annuler"),
                               {330, 227, 62, 25});
    btnPrefReload = makeButton(this, QStringLiteral("btnPrefReload"), QStringLiteral("Recharger"),
                               {422, 227, 62, 25});

    // Under the list fields, above the page's buttons.
    btnPaperList = makeButton(this, QStringLiteral("btnPaperList"),
                              QStringLiteral("Liste Papiers..."), {320, 199, 120, 22});
    btnFilmList = makeButton(this, QStringLiteral("btnFilmList"), QStringLiteral("Liste Films..."),
                             {450, 199, 120, 22});
    setTabOrder(btnProcFolder, btnPaperList);
    setTabOrder(btnPaperList, btnFilmList);
    onClick(btnPaperList, *m_ctx.dialogs, [this] { editList(true); });
    onClick(btnFilmList, *m_ctx.dialogs, [this] { editList(false); });

    onClick(btnPrefSave, *m_ctx.dialogs, [this] { btnPrefSaveClick(); });
    onClick(btnPrefCancel, *m_ctx.dialogs, [this] { btnPrefCancelClick(); });
    connect(btnPrefReload, &QPushButton::clicked, this, &PreferencesPage::reloadRequested);
    const std::pair<QPushButton *, LabeledEdit *> files[] = {{btnSelLangFile, lbleLanguageFile},
                                                             {btnSelPapPrcFile, lblePaperPrcFile},
                                                             {btnSelFlmPrcFile, lbleFilmPrcFile},
                                                             {btnSelAgitation, lbleAgitationFile}};
    for (const auto &[b, field] : files) {
        LabeledEdit *target = field;
        onClick(b, *m_ctx.dialogs, [this, target] { pickFile(target); });
        connect(field, &LabeledEdit::doubleClicked, this, [this, target] {
            guarded(*m_ctx.dialogs, [this, target] { lbleLanguageFileDblClick(target); });
        });
    }
    const std::pair<QPushButton *, LabeledEdit *> folders[] = {{btnChemFolder, lbleChemFolder},
                                                               {btnProcFolder, lbleProcFolder}};
    for (const auto &[b, field] : folders) {
        LabeledEdit *target = field;
        onClick(b, *m_ctx.dialogs, [this, target] { pickFolder(target); });
    }

    // The controls edit the copy.
    using V = SettingsValues;
    const std::pair<LabeledEdit *, QString V::*> texts[] = {
        {lbleSoundSeconds, &V::soundSeconds},     {lbleLanguageFile, &V::languageFile},
        {lblePaperPrcFile, &V::paperProcessFile}, {lbleFilmPrcFile, &V::filmProcessFile},
        {lbleAgitationFile, &V::agitationFile},   {lbleProcFolder, &V::processFolder},
        {lbleChemFolder, &V::formulaFolder}};
    for (const auto &[field, member] : texts)
        connect(field, &QLineEdit::textChanged, this,
                [this, member = member](const QString &t) { m_draft.*member = t; });
    // The two folders are in use as typed, without a save.
    connect(lbleChemFolder, &QLineEdit::textChanged, &m_settings, &Settings::setFormulaFolder);
    connect(lbleProcFolder, &QLineEdit::textChanged, &m_settings, &Settings::setProcessFolder);
    // The scheme, the sound and the safelight view take effect as they are chosen.
    const std::pair<QRadioButton *, V::Sound> sounds[] = {
        {rbtnBeepYN, V::Beeps}, {rbtnWaveYN, V::Waves}, {rbtnSoundYN, V::NoSound}};
    for (const auto &[radio, sound] : sounds)
        connect(radio, &QRadioButton::toggled, this, [this, sound = sound](bool on) {
            if (!on)
                return;
            m_draft.sound = sound;
            m_settings.setSound(sound);
        });
    const std::pair<QRadioButton *, V::Color> colours[] = {{rbtnColorYN, V::Colour},
                                                           {rbtnMonoYN, V::Mono}};
    for (const auto &[radio, colour] : colours)
        connect(radio, &QRadioButton::toggled, this, [this, colour = colour](bool on) {
            if (!on)
                return;
            m_draft.color = colour;
            m_settings.setColor(colour);
        });
    const std::pair<QRadioButton *, TemperatureUnit> units[] = {
        {rbtnCelsius, TemperatureUnit::Celsius}, {rbtnFahrenheit, TemperatureUnit::Fahrenheit}};
    for (const auto &[radio, unit] : units)
        connect(radio, &QRadioButton::toggled, this, [this, unit = unit](bool on) {
            if (!on)
                return;
            m_draft.temperatureUnit = unit;
            m_settings.setTemperatureUnit(unit);
        });
    connect(chkbxSafelight, &QCheckBox::toggled, this, [this](bool on) {
        m_draft.safelight = on;
        m_settings.setSafelight(on);
    });
    buildDarkroomControls();
}

void PreferencesPage::buildDarkroomControls()
{
    constexpr auto left = LabeledEdit::LabelPosition::Left;
    // Below the page's buttons and the temperature unit, in a row and a group
    // of their own.
    lblSafelightLevel = makeLabel(this, QStringLiteral("lblSafelightLevel"),
                                  QStringLiteral("Luminosité:"), QPoint(12, 326));
    cbxSafelightLevel =
        placed(new QComboBox(this), QStringLiteral("cbxSafelightLevel"), {96, 322, 80, 22});
    for (int level = 1; level <= SafelightColors::Levels; ++level)
        cbxSafelightLevel->addItem(
            QStringLiteral("%1 - %2 %").arg(level).arg(100 * level / SafelightColors::Levels));
    cbxSafelightLevel->setCurrentIndex(SafelightColors::BrightestLevel - 1);
    lbleFogMinutes = new LabeledEdit(this, QStringLiteral("lbleFogMinutes"),
                                     QStringLiteral("Minutes:"), left, {250, 322, 41, 22});
    lbleFogMinutes->setText(QStringLiteral("4"));
    btnFogTest = makeButton(this, QStringLiteral("btnFogTest"), QStringLiteral("Test de voile"),
                            {300, 321, 110, 25});
    lbleCollisionMargin =
        new LabeledEdit(this, QStringLiteral("lbleCollisionMargin"),
                        QStringLiteral("Marge collisions (s):"), left, {560, 322, 41, 22});
    lbleCollisionMargin->setText(QString::number(SettingsValues::DefaultCollisionMargin));

    grpbxPedal = makeGroup(this, QStringLiteral("grpbxPedal"), QStringLiteral("Pédale"),
                           {12, 352, 398, 104});
    m_pedalTexts = {QStringLiteral("Apprendre une touche"),
                    QStringLiteral("Appuyez sur la touche (ou la pédale) à apprendre."),
                    QStringLiteral("Oublier"),
                    QStringLiteral("Pause/reprise"),
                    QStringLiteral("Suivant"),
                    QStringLiteral("Démarrer")};
    for (int k = 0; k < kLearnedKeys; ++k) {
        const int y = 18 + 28 * k;
        btnPedalKey[k] = makeButton(grpbxPedal, QStringLiteral("btnPedalKey%1").arg(k + 1),
                                    m_pedalTexts.at(0), {10, y, 200, 23});
        cbxPedalAction[k] =
            placed(new QComboBox(grpbxPedal), QStringLiteral("cbxPedalAction%1").arg(k + 1),
                   {220, y, 166, 22});
        for (int a = 0; a < 4; ++a)
            cbxPedalAction[k]->addItem(m_pedalTexts.at(2 + a));
        connect(btnPedalKey[k], &QPushButton::clicked, this, [this, k] { startLearning(k); });
        connect(cbxPedalAction[k], &QComboBox::activated, this, [this, k](int index) {
            LearnedKey &key = m_draft.pedalKeys[static_cast<size_t>(k)];
            key.action = PedalAction(index);
            if (key.action == PedalAction::None)
                key.key = 0;
            m_settings.setPedalKeys(m_draft.pedalKeys);
            showPedalKeys();
        });
    }

    connect(cbxSafelightLevel, &QComboBox::activated, this, [this](int index) {
        m_draft.safelightLevel = index + 1;
        m_settings.setSafelightLevel(index + 1);
    });
    connect(lbleCollisionMargin, &QLineEdit::textChanged, this, [this](const QString &t) {
        // A margin that is no number yet keeps the last one.
        if (const auto v = parseInt(t); v && *v >= 0) {
            m_draft.collisionMargin = std::min(*v, SettingsValues::MaxCollisionMargin);
            m_settings.setCollisionMargin(m_draft.collisionMargin);
        }
    });
    connect(btnFogTest, &QPushButton::clicked, this, [this] {
        const int minutes = parseInt(lbleFogMinutes->text().trimmed()).value_or(0);
        if (minutes < 1 || minutes > FogTest::MaxMinutes) {
            m_ctx.dialogs->showError(
                RuntimeError::invalidInteger(lbleFogMinutes->text()).message());
            return;
        }
        emit fogTestRequested(m_draft.safelightLevel, minutes);
    });
}

void PreferencesPage::startLearning(int slot)
{
    m_learning = slot;
    showPedalKeys();
}

void PreferencesPage::learnKey(int key)
{
    const int slot = m_learning;
    m_learning = -1;
    if (slot >= 0 && key != Qt::Key_Escape) {
        LearnedKey &learned = m_draft.pedalKeys[static_cast<size_t>(slot)];
        // The same key twice would do two things: it leaves the other slot.
        for (LearnedKey &other : m_draft.pedalKeys)
            if (other.key == key)
                other = {};
        learned.key = key;
        // A three-pedal model's keys do the three things in turn.
        if (learned.action == PedalAction::None)
            learned.action = PedalAction(slot + 1);
        m_settings.setPedalKeys(m_draft.pedalKeys);
    }
    showPedalKeys();
}

void PreferencesPage::showPedalKeys()
{
    for (int k = 0; k < kLearnedKeys; ++k) {
        const LearnedKey &key = m_draft.pedalKeys[static_cast<size_t>(k)];
        QString caption = m_pedalTexts.at(0);
        if (k == m_learning)
            caption = m_pedalTexts.at(1);
        else if (key.key != 0)
            caption = QKeySequence(key.key).toString(QKeySequence::NativeText);
        showFitted(btnPedalKey[k], caption);
        cbxPedalAction[k]->setCurrentIndex(key.key != 0 ? int(key.action) : 0);
    }
}

void PreferencesPage::retranslate(const LanguageTable &t)
{
    setCaption(btnPrefSave, t.entry(38));
    setCaption(btnPrefCancel, t.entry(39));
    setCaption(btnPrefReload, t.entry(40));
    grpbxSound->setTitle(t.entry(41));
    setCaption(rbtnBeepYN, t.entry(42));
    setCaption(rbtnWaveYN, t.entry(43));
    setCaption(rbtnSoundYN, t.entry(44));
    lbleSoundSeconds->setCaption(t.entry(45));
    grpbxColor->setTitle(t.entry(46));
    setCaption(rbtnColorYN, t.entry(47));
    setCaption(rbtnMonoYN, t.entry(48));
    lbleLanguageFile->setCaption(t.entry(49));
    lblePaperPrcFile->setCaption(t.entry(50));
    lbleFilmPrcFile->setCaption(t.entry(51));
    lbleAgitationFile->setCaption(t.entry(52));
    lbleProcFolder->setCaption(t.entry(93));
    lbleChemFolder->setCaption(t.entry(94));
    // Newer than most language files: our own wording while the file leaves
    // its line empty.
    QString safelight = QStringLiteral("Lumière inactinique");
    t.take(LanguageEntry::Safelight, safelight);
    setCaption(chkbxSafelight, safelight);

    const auto own = [&t](int n, const QString &text) {
        QString out = text;
        t.take(n, out);
        return out;
    };
    grpbxPedal->setTitle(own(222, grpbxPedal->title()));
    constexpr int pedalLines[] = {223, 228, 227, 224, 225, 226};
    for (int k = 0; k < m_pedalTexts.size(); ++k)
        m_pedalTexts[k] = own(pedalLines[k], m_pedalTexts.at(k));
    for (int k = 0; k < kLearnedKeys; ++k)
        for (int a = 0; a < 4; ++a)
            cbxPedalAction[k]->setItemText(a, m_pedalTexts.at(2 + a));
    showPedalKeys();
    lbleCollisionMargin->setCaption(own(229, lbleCollisionMargin->caption()));
    setCaption(lblSafelightLevel, own(238, lblSafelightLevel->text()));
    setCaption(btnFogTest, own(239, btnFogTest->text()));
    lbleFogMinutes->setCaption(own(240, lbleFogMinutes->caption()));
    QString unit = QStringLiteral("Unité de température");
    t.take(BathLine::TemperatureUnit, unit);
    grpbxTemperature->setTitle(unit);
    QString list = QStringLiteral("Liste %1...");
    t.take(LanguageEntry::EditList, list);
    QString papers = QStringLiteral("Papiers"), films = QStringLiteral("Films");
    t.take(12, papers);
    t.take(13, films);
    // A line without its "%1" is a caption of its own, for both buttons.
    const bool named = list.contains(QLatin1String("%1"));
    setCaption(btnPaperList, named ? list.arg(papers) : list);
    setCaption(btnFilmList, named ? list.arg(films) : list);
    t.take(LanguageEntry::RemoveEntry, m_removeCaption);
    if (m_listEditor)
        m_listEditor->setRemoveCaption(m_removeCaption);
}

void PreferencesPage::editList(bool paper)
{
    const QString &name = paper ? m_draft.paperProcessFile : m_draft.filmProcessFile;
    if (name.isEmpty())
        throw RuntimeError::noFileNamed(paper ? QStringLiteral("PaperProcessFile=")
                                              : QStringLiteral("FilmProcessFile="));
    if (!m_listEditor) {
        m_listEditor = new ProcessListEditor(*m_ctx.dialogs, this);
        m_listEditor->setRemoveCaption(m_removeCaption);
    }
    m_listEditor->load(m_settings.file(name));
    m_listEditor->setWindowTitle(name);
    m_ctx.dialogs->showModal(m_listEditor);
}

void PreferencesPage::toggleSafelight()
{
    chkbxSafelight->toggle();
}

bool PreferencesPage::hasUnsavedChanges() const
{
    return m_draft != m_settings.saved();
}

void PreferencesPage::showDraft()
{
    const SettingsValues c = m_draft;
    switch (c.sound) {
    case SettingsValues::Waves:
        rbtnWaveYN->setChecked(true);
        break;
    case SettingsValues::NoSound:
        rbtnSoundYN->setChecked(true);
        break;
    default:
        rbtnBeepYN->setChecked(true);
    }
    if (c.color == SettingsValues::Mono)
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
    chkbxSafelight->setChecked(c.safelight);
    cbxSafelightLevel->setCurrentIndex(SafelightColors::clampLevel(c.safelightLevel) - 1);
    set(lbleCollisionMargin, QString::number(c.collisionMargin));
    showPedalKeys();
    (c.temperatureUnit == TemperatureUnit::Fahrenheit ? rbtnFahrenheit : rbtnCelsius)
        ->setChecked(true);
}

void PreferencesPage::LoadSettings()
{
    QStringList bad;
    {
        BusyCursor busy;
        bad = m_settings.load(m_draft);
        m_draft = m_settings.saved();
        showDraft();
    }
    // Said, not raised: every other line is read, and what comes after the
    // load (the process tabs) goes on.
    if (!bad.isEmpty())
        m_ctx.dialogs->showError(
            RuntimeError(bad.join(QLatin1Char('\n'))).inFile(SettingsFile::FileName).message());
}

bool PreferencesPage::btnPrefSaveClick()
{
    m_settings.checkSavable(m_draft);
    // Another Noctarel on the folder may have saved since: its settings are
    // not written over without a word.
    if (m_settings.changedOnDisk()) {
        const Dialogs::ChangedOnDiskQuestion question{
            m_ctx.changedOnDiskText(0), m_ctx.message(4), m_ctx.changedOnDiskText(1),
            m_ctx.changedOnDiskText(2), m_ctx.changedOnDiskText(3)};
        switch (m_ctx.dialogs->askChangedOnDisk(question)) {
        case Dialogs::ChangedOnDisk::Cancel:
            return false;
        case Dialogs::ChangedOnDisk::TakeTheirs:
            btnPrefCancelClick();
            return true;
        case Dialogs::ChangedOnDisk::KeepMine:
            break;
        }
    }
    m_settings.save(m_draft);
    return true;
}

void PreferencesPage::btnPrefCancelClick()
{
    LoadSettings();
}

void PreferencesPage::pickFile(LabeledEdit *field)
{
    // The working folder holds the user's files; the program's folder here is
    // the build or install folder, with none of them.
    const auto chosen =
        m_ctx.dialogs->openFile({QStringLiteral("Text (*.txt)"), m_settings.workingFolder().path(),
                                 QStringLiteral("*.txt")});
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
    if (!OpenWithShell(field->text(), m_settings.workingFolder()))
        m_ctx.dialogs->showMessage(m_ctx.notOpenedMessage(field->text()));
}
