#include "gui/calc/units_conversion_page.h"

#include "core/app/app_context.h"
#include "core/base/colors.h"
#include "core/calc/number_text.h"
#include "gui/dialogs.h"
#include "gui/handler_guard.h"
#include "gui/widgets.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <vector>

namespace {

constexpr int FieldWidth = 65, FieldHeight = 21, RowPitch = 28, FirstRowY = 24;
constexpr int GroupWidth = 757, ButtonWidth = 84;

QFont captionFont()
{
    // The classic dialog font where it is installed, else its metric stand-in,
    // Arial's, named as the fields name it: under two names the one face took
    // two font engines.
    static const bool installed =
        QFontDatabase::families().contains(QStringLiteral("MS Sans Serif"));
    if (!installed)
        return arialFont(13);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(13);
    return f;
}

// One field of a group's grid on screen; a null name leaves the cell empty.
struct Cell
{
    const char *name;
    const char *caption;
    LabeledEdit **field;
};
struct Row
{
    const char *labelName; // null: the group has no row captions
    const char *labelText;
    QLabel **label;
    std::vector<Cell> cells;
};

QGroupBox *group(QWidget *parent, const char *name, const QString &caption, int y, int rows)
{
    return makeGroup(parent, QLatin1String(name), caption,
                     {8, y, GroupWidth, FirstRowY + rows * RowPitch + 4}, {arialFont(16, true)});
}

// Lays out the rows: fields of a column share their left edge, each unit
// caption right-aligned against its field. Fields are made row by row, left
// to right, which is the focus order.
void placeRows(QGroupBox *box, const std::vector<Row> &rows)
{
    const QFont font = captionFont();
    const QFontMetrics metrics(font);
    int x0 = 12;
    size_t columns = 0;
    int labelWidth = 0;
    for (const Row &r : rows) {
        columns = std::max(columns, r.cells.size());
        if (r.labelName)
            labelWidth =
                std::max(labelWidth, metrics.horizontalAdvance(QString::fromUtf8(r.labelText)));
    }
    if (labelWidth > 0)
        x0 += labelWidth + 16;
    std::vector<int> fieldX(columns);
    int x = x0;
    for (size_t c = 0; c < columns; ++c) {
        int captionWidth = 0;
        for (const Row &r : rows)
            if (c < r.cells.size() && r.cells[c].name)
                captionWidth = std::max(
                    captionWidth, metrics.horizontalAdvance(QString::fromUtf8(r.cells[c].caption)));
        fieldX[c] = x + captionWidth + 3;
        x = fieldX[c] + FieldWidth + 12;
    }
    int y = FirstRowY;
    for (const Row &r : rows) {
        if (r.labelName) {
            *r.label = makeLabel(box, QLatin1String(r.labelName), QString::fromUtf8(r.labelText),
                                 QPoint(12, y), {font});
            (*r.label)->move(12, y + (FieldHeight - (*r.label)->height()) / 2);
        }
        for (size_t c = 0; c < r.cells.size(); ++c) {
            const Cell &cell = r.cells[c];
            if (!cell.name)
                continue;
            auto *e = new LabeledEdit(
                box, QLatin1String(cell.name), QString::fromUtf8(cell.caption),
                LabeledEdit::LabelPosition::Left, {fieldX[c], y, FieldWidth, FieldHeight});
            applyLooks(e, {arialFont(13), Colors::Red, Colors::Black});
            e->setLabelFont(font);
            *cell.field = e;
        }
        y += RowPitch;
    }
}

QPushButton *button(QGroupBox *box, const char *name, int row)
{
    return makeButton(box, QLatin1String(name), QStringLiteral("Conversion"),
                      {GroupWidth - 12 - ButtonWidth, FirstRowY + row * RowPitch - 1, ButtonWidth,
                       FieldHeight + 2},
                      {arialFont(13)});
}

// Keys that change the field's text: a printable character, Backspace and
// Delete (even with nothing to erase), paste, cut, undo and redo. Copying,
// selecting, Enter, Escape and the moving keys leave the group as it is.
bool changesText(const QKeyEvent *event)
{
    for (const QKeySequence::StandardKey edit :
         {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo,
          QKeySequence::DeleteEndOfWord, QKeySequence::DeleteStartOfWord,
          QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine})
        if (event->matches(edit))
            return true;
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        return true;
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return false;
    // Ctrl or Alt alone make shortcuts; the two together are AltGr on some systems.
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    return mods != Qt::ControlModifier && mods != Qt::AltModifier;
}

} // namespace

UnitsConversionPage::UnitsConversionPage(AppContext &context, QWidget *parent, Build when)
    : LazyPage(parent), m_ctx(context), m_separator(localeDecimalSeparator())
{
    setObjectName(QStringLiteral("tbshtUnitsConversion"));
    if (when == Build::Now)
        build();
}

void UnitsConversionPage::buildControls()
{
    const Row noLabel{nullptr, nullptr, nullptr, {}};

    grpbxUNITTemp = group(this, "grpbxUNITTemp", QStringLiteral("Températures"), 6, 1);
    Row temp = noLabel;
    temp.cells = {{"lbleUNITTempC", "°C:", &lbleUNITTempC},
                  {"lbleUNITTempF", "°F:", &lbleUNITTempF},
                  {"lbleUNITTempK", "Kelvin:", &lbleUNITTempK}};
    placeRows(grpbxUNITTemp, {temp});
    btnUNITTemp = button(grpbxUNITTemp, "btnUNITTemp", 0);
    m_temp = {lbleUNITTempC, lbleUNITTempF, lbleUNITTempK};

    grpbxUNITLength = group(this, "grpbxUNITLength", QStringLiteral("Longueurs"), 72, 1);
    Row length = noLabel;
    length.cells = {{"lbleUNITLengthmm", "mm:", &lbleUNITLengthmm},
                    {"lbleUNITLengthcm", "cm:", &lbleUNITLengthcm},
                    {"lbleUNITLengthm", "m:", &lbleUNITLengthm},
                    {"lbleUNITLengthInches", "inches:", &lbleUNITLengthInches},
                    {"lbleUNITLengthFeet", "feet:", &lbleUNITLengthFeet},
                    {"lbleUNITLengthYards", "yards:", &lbleUNITLengthYards}};
    placeRows(grpbxUNITLength, {length});
    btnUNITLength = button(grpbxUNITLength, "btnUNITLength", 0);
    m_length = {lbleUNITLengthmm,     lbleUNITLengthcm,   lbleUNITLengthm,
                lbleUNITLengthInches, lbleUNITLengthFeet, lbleUNITLengthYards};

    grpbxUNITSurface = group(this, "grpbxUNITSurface", QStringLiteral("Surfaces"), 138, 1);
    Row surface = noLabel;
    surface.cells = {{"lbleUNITSurfacecm", "cm2:", &lbleUNITSurfacecm},
                     {"lbleUNITSurfacem", "m2:", &lbleUNITSurfacem},
                     {"lbleUNITSurfaceInches", "inches2:", &lbleUNITSurfaceInches},
                     {"lbleUNITSurfaceFeet", "feet2:", &lbleUNITSurfaceFeet},
                     {"lbleUNITSurfaceYards", "yards2:", &lbleUNITSurfaceYards}};
    placeRows(grpbxUNITSurface, {surface});
    btnUNITSurface = button(grpbxUNITSurface, "btnUNITSurface", 0);
    m_surface = {lbleUNITSurfacecm, lbleUNITSurfacem, lbleUNITSurfaceInches, lbleUNITSurfaceFeet,
                 lbleUNITSurfaceYards};

    // On screen metric, US, UK; searched and written metric, UK, US.
    grpbxUNITVol = group(this, "grpbxUNITVol", QStringLiteral("Volumes"), 204, 3);
    placeRows(grpbxUNITVol, {{"lblUNITVolMetric",
                              "Métrique",
                              &lblUNITVolMetric,
                              {{"lbleUNITVolml", "ml/cm3:", &lbleUNITVolml},
                               {"lbleUNITVolcl", "cl:", &lbleUNITVolcl},
                               {"lbleUNITVoldl", "dl:", &lbleUNITVoldl},
                               {"lbleUNITVoll", "l/dm3:", &lbleUNITVoll},
                               {"lbleUNITVolm", "m3:", &lbleUNITVolm}}},
                             {"lblUNITVolUS",
                              "US",
                              &lblUNITVolUS,
                              {{"lbleUNITVolUSOunce", "ounce:", &lbleUNITVolUSOunce},
                               {"lbleUNITVolUSPint", "pint:", &lbleUNITVolUSPint},
                               {"lbleUNITVolUSQuart", "quart:", &lbleUNITVolUSQuart},
                               {"lbleUNITVolUSGallon", "gallon:", &lbleUNITVolUSGallon}}},
                             {"lblUNITVolUK",
                              "UK",
                              &lblUNITVolUK,
                              {{"lbleUNITVolUKOunce", "ounce:", &lbleUNITVolUKOunce},
                               {"lbleUNITVolUKPint", "pint:", &lbleUNITVolUKPint},
                               {"lbleUNITVolUKQuart", "quart:", &lbleUNITVolUKQuart},
                               {"lbleUNITVolUKGallon", "gallon:", &lbleUNITVolUKGallon}}}});
    btnUNITVol = button(grpbxUNITVol, "btnUNITVol", 1);
    m_volume = {lbleUNITVolml,       lbleUNITVolcl,      lbleUNITVoldl,     lbleUNITVoll,
                lbleUNITVolm,        lbleUNITVolUKOunce, lbleUNITVolUKPint, lbleUNITVolUKQuart,
                lbleUNITVolUKGallon, lbleUNITVolUSOunce, lbleUNITVolUSPint, lbleUNITVolUSQuart,
                lbleUNITVolUSGallon};

    // Grains share the first column, ounces and pounds theirs; kg stands
    // above the pennyweight.
    grpbxUNITWeight = group(this, "grpbxUNITWeight", QStringLiteral("Poids"), 330, 3);
    placeRows(grpbxUNITWeight,
              {{"lblUNITWeightMetric",
                "Métrique",
                &lblUNITWeightMetric,
                {{"lbleUNITWeightgr", "g:", &lbleUNITWeightgr},
                 {"lbleUNITWeightkg", "kg:", &lbleUNITWeightkg}}},
               {"lblUNITWeightADP",
                "Avoirdupoids",
                &lblUNITWeightADP,
                {{"lbleUNITWeightADPGrain", "grain:", &lbleUNITWeightADPGrain},
                 {nullptr, nullptr, nullptr},
                 {"lbleUNITWeightADPOunce", "ounce:", &lbleUNITWeightADPOunce},
                 {"lbleUNITWeightADPPound", "pound:", &lbleUNITWeightADPPound}}},
               {"lblUNITWeightTroy",
                "Troy",
                &lblUNITWeightTroy,
                {{"lbleUNITWeightTroyGrain", "grain:", &lbleUNITWeightTroyGrain},
                 {"lbleUNITWeightTroyPennyweight", "pennyweight:", &lbleUNITWeightTroyPennyweight},
                 {"lbleUNITWeightTroyOunce", "ounce:", &lbleUNITWeightTroyOunce},
                 {"lbleUNITWeightTroyPound", "pound:", &lbleUNITWeightTroyPound}}}});
    btnUNITWeight = button(grpbxUNITWeight, "btnUNITWeight", 1);
    m_weight = {lbleUNITWeightgr,
                lbleUNITWeightkg,
                lbleUNITWeightADPGrain,
                lbleUNITWeightADPOunce,
                lbleUNITWeightADPPound,
                lbleUNITWeightTroyGrain,
                lbleUNITWeightTroyPennyweight,
                lbleUNITWeightTroyOunce,
                lbleUNITWeightTroyPound};

    for (const auto *fields : {&m_temp, &m_length, &m_surface, &m_volume, &m_weight})
        for (LabeledEdit *e : *fields)
            e->installEventFilter(this);

    Dialogs &dialogs = *m_ctx.dialogs;
    for (const auto &[button, fields] :
         {std::pair{btnUNITTemp, &m_temp}, std::pair{btnUNITLength, &m_length},
          std::pair{btnUNITSurface, &m_surface}, std::pair{btnUNITVol, &m_volume},
          std::pair{btnUNITWeight, &m_weight}})
        pressOnEnter(button, QList<QLineEdit *>(fields->begin(), fields->end()));
    onClick(btnUNITTemp, dialogs, [this] { btnUNITTempClick(); });
    onClick(btnUNITLength, dialogs, [this] { btnUNITLengthClick(); });
    onClick(btnUNITSurface, dialogs, [this] { btnUNITSurfaceClick(); });
    onClick(btnUNITVol, dialogs, [this] { btnUNITVolClick(); });
    onClick(btnUNITWeight, dialogs, [this] { btnUNITWeightClick(); });
}

void UnitsConversionPage::retranslateControls(const LanguageTable &t)
{
    grpbxUNITTemp->setTitle(t.entry(54));
    setCaption(btnUNITTemp, t.entry(55));
    grpbxUNITLength->setTitle(t.entry(56));
    setCaption(btnUNITLength, t.entry(57));
    grpbxUNITSurface->setTitle(t.entry(58));
    setCaption(btnUNITSurface, t.entry(59));
    grpbxUNITVol->setTitle(t.entry(60));
    setCaption(btnUNITVol, t.entry(61));
    setCaption(lblUNITVolMetric, t.entry(62));
    setCaption(lblUNITVolUK, t.entry(63));
    setCaption(lblUNITVolUS, t.entry(64));
    grpbxUNITWeight->setTitle(t.entry(65));
    setCaption(btnUNITWeight, t.entry(66));
    setCaption(lblUNITWeightMetric, t.entry(67));
    setCaption(lblUNITWeightADP, t.entry(68));
    setCaption(lblUNITWeightTroy, t.entry(69));
}

void UnitsConversionPage::recolourControls(quint32 colour)
{
    for (const auto *fields : {&m_temp, &m_length, &m_surface, &m_volume, &m_weight})
        for (LabeledEdit *e : *fields)
            setFontColor(e, colour);
}

void UnitsConversionPage::ClearOtherUnitFields(const QObject *keep)
{
    for (const auto *fields : {&m_temp, &m_length, &m_surface, &m_volume, &m_weight}) {
        if (std::none_of(fields->begin(), fields->end(),
                         [keep](const LabeledEdit *e) { return e == keep; }))
            continue;
        for (LabeledEdit *e : *fields)
            if (e != keep)
                e->clear();
    }
}

bool UnitsConversionPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && changesText(static_cast<QKeyEvent *>(event))) {
        ClearOtherUnitFields(watched);
    }
    return QWidget::eventFilter(watched, event);
}

void UnitsConversionPage::convertGroup(UnitConversion::Group group,
                                       const QList<LabeledEdit *> &fields)
{
    QStringList texts;
    for (const LabeledEdit *e : fields)
        texts << e->text();
    const auto result = UnitConversion::convertFields(group, texts, m_separator);
    if (!result)
        return;
    for (int i = 0; i < fields.size(); ++i) {
        if (i == result->source)
            continue;
        fields[i]->setText(result->texts[i]);
        // The leading digits are the ones to read in a narrow field.
        fields[i]->setCursorPosition(0);
    }
}

void UnitsConversionPage::btnUNITTempClick()
{
    convertGroup(UnitConversion::Group::Temperature, m_temp);
}

void UnitsConversionPage::btnUNITLengthClick()
{
    convertGroup(UnitConversion::Group::Length, m_length);
}

void UnitsConversionPage::btnUNITSurfaceClick()
{
    convertGroup(UnitConversion::Group::Surface, m_surface);
}

void UnitsConversionPage::btnUNITVolClick()
{
    convertGroup(UnitConversion::Group::Volume, m_volume);
}

void UnitsConversionPage::btnUNITWeightClick()
{
    convertGroup(UnitConversion::Group::Weight, m_weight);
}
