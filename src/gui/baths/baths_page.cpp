#include "gui/baths/baths_page.h"

#include "core/app/app_context.h"
#include "core/base/clock.h"
#include "core/base/data_text.h"
#include "core/base/int_text.h"
#include "core/base/runtime_error.h"
#include "core/baths/bath_texts.h"
#include "core/baths/baths_file.h"
#include "core/process/time_text.h"
#include "core/temperature/temperature_texts.h"
#include "gui/dialogs.h"
#include "gui/handler_guard.h"
#include "gui/widgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <iterator>

namespace {

// The file's words of the wear models, in the order of the list of names.
const char *const kWearWords[] = {"linear", "compound", "capacity", "clearing"};
constexpr Bath::Wear kWears[] = {Bath::Wear::LinearPercent, Bath::Wear::CompoundPercent,
                                 Bath::Wear::FixedCapacity, Bath::Wear::ClearingTime};
constexpr TemperatureResponse::Model kModels[] = {
    TemperatureResponse::ConversionTemps, TemperatureResponse::PerDegree,
    TemperatureResponse::Table, TemperatureResponse::None};

const QString kDefaultColumns =
    QStringLiteral("Bain|Âge (jours)|Films|Capacité|État|Facteur suivant");
const QString kDefaultFields =
    QStringLiteral("Nom:|Formule:|Volume (l):|Usure:|Paramètre:|Films par litre:|Garde (jours):|"
                   "Température:|Facteur par degré:|Table:");

QString orDash(qint64 n, bool known)
{
    return known ? QString::number(n) : QStringLiteral("—");
}

} // namespace

BathsPage::BathsPage(AppContext &context, QWidget *parent, Build when)
    : LazyPage(parent), m_ctx(context)
{
    setObjectName(QStringLiteral("tbshtBaths"));
    if (when == Build::Now)
        build();
}

void BathsPage::buildControls()
{
    constexpr auto left = LabeledEdit::LabelPosition::Left;
    lvBaths = placed(new QTreeWidget(this), QStringLiteral("lvBaths"), {8, 8, 757, 200});
    lvBaths->setRootIsDecorated(false);
    lvBaths->setUniformRowHeights(true);
    lvBaths->setColumnCount(6);
    lvBaths->header()->setStretchLastSection(true);
    const int widths[] = {200, 100, 80, 90, 150};
    for (int c = 0; c < 5; ++c)
        lvBaths->setColumnWidth(c, widths[c]);

    btnBathNew = makeButton(this, QStringLiteral("btnBathNew"), QStringLiteral("Nouveau bain"),
                            {8, 214, 130, 25});
    btnBathFresh = makeButton(this, QStringLiteral("btnBathFresh"),
                              QStringLiteral("Bouteille neuve"), {144, 214, 130, 25});
    btnBathTakeBack =
        makeButton(this, QStringLiteral("btnBathTakeBack"),
                   QStringLiteral("Reprendre la dernière utilisation"), {280, 214, 230, 25});
    btnBathRemove = makeButton(this, QStringLiteral("btnBathRemove"), QStringLiteral("Supprimer"),
                               {516, 214, 100, 25});
    lbleBathClearing = new LabeledEdit(this, QStringLiteral("lbleBathClearing"),
                                       QStringLiteral("Éclaircit en:"), left, {100, 247, 70, 22});
    lbleBathClearing->setPlaceholderText(QStringLiteral("00:00:30"));
    btnBathClearing = makeButton(this, QStringLiteral("btnBathClearing"),
                                 QStringLiteral("Test d'éclaircissement"), {178, 245, 180, 25});

    grpbxBath = makeGroup(this, QStringLiteral("grpbxBath"), QString(), {8, 280, 757, 225});
    const auto field = [this, left](const char *name, int x, int y, int w) {
        return new LabeledEdit(grpbxBath, QLatin1String(name), QString(), left, {x, y, w, 22});
    };
    lbleBathName = field("lbleBathName", 130, 20, 220);
    lbleBathFormula = field("lbleBathFormula", 130, 46, 220);
    lbleBathVolume = field("lbleBathVolume", 130, 72, 60);
    lblBathWear = makeLabel(grpbxBath, QStringLiteral("lblBathWear"), QString(),
                            QRect(6, 98, 120, 22), Qt::AlignRight | Qt::AlignVCenter);
    cmbBathWear =
        placed(new QComboBox(grpbxBath), QStringLiteral("cmbBathWear"), {130, 98, 220, 22});
    lbleBathParameter = field("lbleBathParameter", 130, 124, 60);
    lbleBathCapacity = field("lbleBathCapacity", 130, 150, 60);
    lbleBathShelfLife = field("lbleBathShelfLife", 130, 176, 60);
    lblBathTemperature = makeLabel(grpbxBath, QStringLiteral("lblBathTemperature"), QString(),
                                   QRect(390, 20, 126, 22), Qt::AlignRight | Qt::AlignVCenter);
    cmbBathTemperature =
        placed(new QComboBox(grpbxBath), QStringLiteral("cmbBathTemperature"), {520, 20, 220, 22});
    lbleBathPerDegree = field("lbleBathPerDegree", 520, 46, 60);
    lbleBathTable = field("lbleBathTable", 520, 72, 220);
    lbleBathTable->setPlaceholderText(QStringLiteral("18:1.25 20:1 22:0.8"));
    btnBathSave = makeButton(grpbxBath, QStringLiteral("btnBathSave"),
                             QStringLiteral("Enregistrer le bain"), {520, 172, 220, 25});
    for (int i = 0; i < 4; ++i) {
        cmbBathWear->addItem(QString());
        cmbBathTemperature->addItem(QString());
    }

    Dialogs &dialogs = *m_ctx.dialogs;
    onClick(btnBathNew, dialogs, [this] { btnBathNewClick(); });
    onClick(btnBathFresh, dialogs, [this] { btnBathFreshClick(); });
    onClick(btnBathClearing, dialogs, [this] { btnBathClearingClick(); });
    onClick(btnBathTakeBack, dialogs, [this] { btnBathTakeBackClick(); });
    onClick(btnBathRemove, dialogs, [this] { btnBathRemoveClick(); });
    onClick(btnBathSave, dialogs, [this] { btnBathSaveClick(); });
    connect(lvBaths, &QTreeWidget::currentItemChanged, this,
            [this] { showBath(m_ctx.baths ? m_ctx.baths->find(selectedBath()) : nullptr); });
    connect(cmbBathWear, &QComboBox::currentIndexChanged, this, &BathsPage::enableFields);
    connect(cmbBathTemperature, &QComboBox::currentIndexChanged, this, &BathsPage::enableFields);

    setTabOrder(lvBaths, btnBathNew);
    setTabOrder(btnBathNew, btnBathFresh);
    setTabOrder(btnBathFresh, btnBathTakeBack);
    setTabOrder(btnBathTakeBack, btnBathRemove);
    setTabOrder(btnBathRemove, lbleBathClearing);
    setTabOrder(lbleBathClearing, btnBathClearing);
    setTabOrder(btnBathClearing, lbleBathName);
    setTabOrder(lbleBathName, lbleBathFormula);
    setTabOrder(lbleBathFormula, lbleBathVolume);
    setTabOrder(lbleBathVolume, cmbBathWear);
    setTabOrder(cmbBathWear, lbleBathParameter);
    setTabOrder(lbleBathParameter, lbleBathCapacity);
    setTabOrder(lbleBathCapacity, lbleBathShelfLife);
    setTabOrder(lbleBathShelfLife, cmbBathTemperature);
    setTabOrder(cmbBathTemperature, lbleBathPerDegree);
    setTabOrder(lbleBathPerDegree, lbleBathTable);
    setTabOrder(lbleBathTable, btnBathSave);

    retranslateControls(LanguageTable());
    showBath(nullptr);
    refresh();
}

void BathsPage::retranslateControls(const LanguageTable &t)
{
    const auto text = [&t](int line, const QString &own) {
        QString s = own;
        t.take(line, s);
        return s;
    };
    m_columns = text(BathLine::Columns, kDefaultColumns).split(QLatin1Char('|'));
    lvBaths->setHeaderLabels(m_columns);
    setCaption(btnBathNew, text(BathLine::NewBath, QStringLiteral("Nouveau bain")));
    setCaption(btnBathFresh, text(BathLine::FreshBottle, QStringLiteral("Bouteille neuve")));
    setCaption(btnBathTakeBack,
               text(BathLine::TakeBack, QStringLiteral("Reprendre la dernière utilisation")));
    setCaption(btnBathRemove, text(BathLine::Remove, QStringLiteral("Supprimer")));
    setCaption(btnBathClearing,
               text(BathLine::ClearingTest, QStringLiteral("Test d'éclaircissement")));
    lbleBathClearing->setCaption(text(BathLine::ClearsIn, QStringLiteral("Éclaircit en:")));
    setCaption(btnBathSave, text(BathLine::SaveBath, QStringLiteral("Enregistrer le bain")));
    const QStringList fields = text(BathLine::Fields, kDefaultFields).split(QLatin1Char('|'));
    const QStringList own = kDefaultFields.split(QLatin1Char('|'));
    const auto caption = [&](int i) { return fields.value(i, own.value(i)); };
    LabeledEdit *const edits[] = {lbleBathName,      lbleBathFormula,  lbleBathVolume,    nullptr,
                                  lbleBathParameter, lbleBathCapacity, lbleBathShelfLife, nullptr,
                                  lbleBathPerDegree, lbleBathTable};
    for (int i = 0; i < 10; ++i)
        if (edits[i])
            edits[i]->setCaption(caption(i));
    setCaption(lblBathWear, caption(3));
    setCaption(lblBathTemperature, caption(7));
    m_removeQuestion = text(BathLine::RemoveQuestion, m_removeQuestion);
    m_takeBackQuestion = text(BathLine::TakeBackQuestion, m_takeBackQuestion);
    m_notValid = text(BathLine::NotValid, m_notValid);
    m_nameTaken = text(BathLine::NameTaken, m_nameTaken);

    m_bathTexts = BathTexts::fromLanguage(t);
    const BathTexts &bathTexts = m_bathTexts;
    const TemperatureTexts temperatureTexts = TemperatureTexts::fromLanguage(t);
    for (int i = 0; i < 4; ++i) {
        cmbBathWear->setItemText(i, wearName(bathTexts, kWears[i]));
        cmbBathTemperature->setItemText(i, temperatureModelName(temperatureTexts, kModels[i]));
    }
    // The states and factors are words of the language too.
    m_shownRevision = ~quint64(0);
    refresh();
}

void BathsPage::showEvent(QShowEvent *event)
{
    LazyPage::showEvent(event);
    refresh();
}

void BathsPage::refresh()
{
    if (!isBuilt() || !m_ctx.baths || m_ctx.baths->revision() == m_shownRevision)
        return;
    fillList();
}

void BathsPage::fillList()
{
    const BathStore &store = *m_ctx.baths;
    m_shownRevision = store.revision();
    const QString selected = selectedBath();
    const QDate today = m_ctx.clock->localNow().date();
    const BathTexts &texts = m_bathTexts;
    QSignalBlocker block(lvBaths);
    lvBaths->clear();
    for (const Bath &b : store.baths()) {
        const std::optional<qint64> age = bathAgeDays(b, today);
        const TimeAdjustment next = nextUseAdjustment(b);
        const QString factor =
            next.fixingSeconds
                ? shortTimeText(*next.fixingSeconds)
                : QStringLiteral("×") + QString::number(static_cast<double>(next.factor), 'f', 2);
        auto *item = new QTreeWidgetItem(
            lvBaths, {b.name, orDash(age.value_or(0), age.has_value()),
                      QString::number(b.filmsSoFar()), orDash(b.capacity(), b.capacity() > 0),
                      bathStateName(texts, bathState(b, today)), factor});
        if (b.name == selected)
            lvBaths->setCurrentItem(item);
    }
    block.unblock();
    showBath(store.find(selectedBath()));
}

QString BathsPage::selectedBath() const
{
    const QTreeWidgetItem *item = lvBaths ? lvBaths->currentItem() : nullptr;
    return item ? item->text(0) : QString();
}

void BathsPage::selectBath(const QString &name)
{
    build();
    refresh();
    const QList<QTreeWidgetItem *> found = lvBaths->findItems(name, Qt::MatchExactly, 0);
    if (!found.isEmpty())
        lvBaths->setCurrentItem(found.front());
}

void BathsPage::showBath(const Bath *bath)
{
    const Bath shown = bath ? *bath : Bath{};
    lbleBathName->setText(shown.name);
    lbleBathFormula->setText(shown.formulaFile);
    lbleBathVolume->setText(decimalText(shown.litres));
    const int wear = static_cast<int>(std::find(std::begin(kWears), std::end(kWears), shown.wear) -
                                      std::begin(kWears));
    cmbBathWear->setCurrentIndex(wear);
    lbleBathParameter->setText(
        shown.wear == Bath::Wear::FixedCapacity ? QString() : decimalText(shown.parameter));
    lbleBathCapacity->setText(shown.filmsPerLitre > 0 ? decimalText(shown.filmsPerLitre)
                                                      : QString());
    lbleBathShelfLife->setText(shown.shelfLifeDays > 0 ? QString::number(shown.shelfLifeDays)
                                                       : QString());
    const TemperatureResponse &r = shown.temperature;
    cmbBathTemperature->setCurrentIndex(static_cast<int>(
        std::find(std::begin(kModels), std::end(kModels), r.model) - std::begin(kModels)));
    lbleBathPerDegree->setText(r.model == TemperatureResponse::PerDegree ? decimalText(r.perDegree)
                                                                         : QString());
    // The file's own words after "table ".
    lbleBathTable->setText(r.model == TemperatureResponse::Table ? temperatureText(r).mid(6)
                                                                 : QString());
    const bool chosen = bath != nullptr;
    for (QWidget *w :
         {static_cast<QWidget *>(btnBathFresh), static_cast<QWidget *>(btnBathTakeBack),
          static_cast<QWidget *>(btnBathRemove), static_cast<QWidget *>(btnBathClearing),
          static_cast<QWidget *>(btnBathSave)})
        w->setEnabled(chosen);
    enableFields();
}

void BathsPage::enableFields()
{
    lbleBathParameter->setEnabled(kWears[std::max(0, cmbBathWear->currentIndex())] !=
                                  Bath::Wear::FixedCapacity);
    const TemperatureResponse::Model model =
        kModels[std::max(0, cmbBathTemperature->currentIndex())];
    lbleBathPerDegree->setEnabled(model == TemperatureResponse::PerDegree);
    lbleBathTable->setEnabled(model == TemperatureResponse::Table);
}

Bath BathsPage::bathOfFields() const
{
    const RuntimeError invalid(m_notValid);
    Bath b;
    b.name = lbleBathName->text().trimmed();
    b.formulaFile = lbleBathFormula->text().trimmed();
    const std::optional<double> litres = parseDecimal(lbleBathVolume->text().trimmed());
    if (!litres)
        throw invalid;
    b.litres = *litres;
    const int wear = std::max(0, cmbBathWear->currentIndex());
    QString wearValue = QLatin1String(kWearWords[wear]);
    if (kWears[wear] != Bath::Wear::FixedCapacity)
        wearValue += QLatin1Char(' ') + lbleBathParameter->text().trimmed();
    if (!parseWear(wearValue, b))
        throw invalid;
    const QString capacity = lbleBathCapacity->text().trimmed();
    if (!capacity.isEmpty()) {
        const std::optional<double> perLitre = parseDecimal(capacity);
        if (!perLitre || *perLitre < 0)
            throw invalid;
        b.filmsPerLitre = *perLitre;
    }
    const QString shelf = lbleBathShelfLife->text().trimmed();
    if (!shelf.isEmpty()) {
        const std::optional<int> days = parseInt(shelf);
        if (!days || *days < 0)
            throw invalid;
        b.shelfLifeDays = *days;
    }
    QString model;
    switch (kModels[std::max(0, cmbBathTemperature->currentIndex())]) {
    case TemperatureResponse::ConversionTemps:
        model = QStringLiteral("conversion");
        break;
    case TemperatureResponse::PerDegree:
        model = QStringLiteral("per-degree ") + lbleBathPerDegree->text().trimmed();
        break;
    case TemperatureResponse::Table:
        model = QStringLiteral("table ") + lbleBathTable->text().trimmed();
        break;
    case TemperatureResponse::None:
        model = QStringLiteral("none");
        break;
    }
    if (!parseTemperatureResponse(model, b.temperature) || !isValidBath(b))
        throw invalid;
    return b;
}

void BathsPage::btnBathNewClick()
{
    Bath b = bathOfFields();
    if (m_ctx.baths->find(b.name))
        throw RuntimeError(m_nameTaken.arg(b.name));
    // A new bath is a bottle mixed today.
    b.bottles.push_back(BathBottle{m_ctx.clock->localNow().date(), {}, {}, {}});
    if (m_ctx.baths->add(b)) {
        refresh();
        selectBath(b.name);
    }
}

void BathsPage::btnBathFreshClick()
{
    const QString name = selectedBath();
    if (!name.isEmpty() && m_ctx.baths->freshBottle(name, m_ctx.clock->localNow().date()))
        refresh();
}

void BathsPage::btnBathClearingClick()
{
    const QString name = selectedBath();
    if (name.isEmpty())
        return;
    const QString typed = lbleBathClearing->text().trimmed();
    // "30" is seconds, "00:00:30" or "0:30" a time.
    int seconds = 0;
    if (const std::optional<int> plain = parseInt(typed))
        seconds = *plain;
    else if (typed.count(QLatin1Char(':')) == 1)
        seconds = TimeTextToSeconds(QStringLiteral("00:") + typed);
    else
        seconds = TimeTextToSeconds(typed);
    if (seconds <= 0 || seconds > 359999)
        throw RuntimeError(RuntimeError::invalidInteger(typed).message());
    if (m_ctx.baths->addClearingTest(name, m_ctx.clock->localNow().date(), seconds)) {
        lbleBathClearing->clear();
        refresh();
    }
}

void BathsPage::btnBathTakeBackClick()
{
    const Bath *b = m_ctx.baths->find(selectedBath());
    if (!b || !b->bottle() || b->bottle()->uses.empty())
        return;
    const QString name = b->name;
    const QString question =
        m_takeBackQuestion.arg(name, QString::number(b->bottle()->uses.back().films));
    if (m_ctx.dialogs->askYesNo(question, applicationTitle(), false) &&
        m_ctx.baths->takeBackLastUse(name))
        refresh();
}

void BathsPage::btnBathRemoveClick()
{
    const QString name = selectedBath();
    if (name.isEmpty())
        return;
    if (m_ctx.dialogs->askYesNo(m_removeQuestion.arg(name), applicationTitle(), false) &&
        m_ctx.baths->remove(name))
        refresh();
}

void BathsPage::btnBathSaveClick()
{
    const QString name = selectedBath();
    if (name.isEmpty())
        return;
    const Bath b = bathOfFields();
    if (b.name != name && m_ctx.baths->find(b.name))
        throw RuntimeError(m_nameTaken.arg(b.name));
    if (m_ctx.baths->edit(name, b)) {
        refresh();
        selectBath(b.name);
    }
}
