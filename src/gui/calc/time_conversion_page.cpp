#include "gui/calc/time_conversion_page.h"

#include "core/app/app_context.h"
#include "core/base/colors.h"
#include "core/base/runtime_error.h"
#include "core/calc/number_text.h"
#include "core/calc/time_temperature.h"
#include "core/process/sound_output.h"
#include "gui/dialogs.h"
#include "gui/handler_guard.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

bool isWindowSwitch(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
           reason == Qt::MenuBarFocusReason;
}

// Labels of a row stand vertically centred on its 44-pixel fields.
constexpr int TimeFieldHeight = 44;
constexpr int LabelX = 16, TempX = 150, TimeLabelX = 290, TimeX = 370, ButtonX = 540;

} // namespace

TimeMaskEdit::TimeMaskEdit(QWidget *parent, Dialogs &dialogs, SoundOutput *sound)
    : QLineEdit(parent), m_dialogs(dialogs), m_sound(sound)
{
    // Optional first hour digit, required second one, minutes and seconds.
    setInputMask(QStringLiteral("09:99:99;_"));
    setText(QString());
    m_previous = displayText();
}

QString TimeMaskEdit::maskedText() const
{
    QString text = displayText();
    text.replace(QLatin1Char('_'), QLatin1Char(' '));
    return text;
}

void TimeMaskEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // Escape goes back to the text of the last entry into the field, not to
    // the refused one it is sent back with, nor on a mere window switch.
    if (isWindowSwitch(event->reason()))
        return;
    if (!m_reentering)
        m_previous = displayText();
    m_reentering = false;
}

void TimeMaskEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Another window taking the activation (our own error box included) is
    // no leaving of the field.
    if (isWindowSwitch(event->reason()))
        return;
    if (editIsInvalid())
        QTimer::singleShot(0, this, [this] {
            if (editIsInvalid() && isVisible() && !hasFocus())
                refuse();
        });
}

void TimeMaskEdit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        if (isModified()) {
            setText(m_previous);
            setModified(false);
            event->accept();
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (editIsInvalid()) {
            refuse();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

void TimeMaskEdit::refuse()
{
    // A click on Calcul both leaves the field and asks for the refusal: the
    // leaving's own refusal comes while the box of the first is up.
    if (m_refusing)
        return;
    m_refusing = true;
    // The program's own beep: the desktop's is silent on most Linux systems.
    if (m_sound)
        m_sound->beepDefault();
    if (!hasFocus()) {
        m_reentering = true;
        setFocus(Qt::OtherFocusReason);
    }
    m_dialogs.showError(QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
    m_refusing = false;
}

TimeConversionPage::TimeConversionPage(AppContext &context, QWidget *parent, Build when)
    : LazyPage(parent), m_ctx(context), m_separator(localeDecimalSeparator())
{
    setObjectName(QStringLiteral("tbshtTimeConversion"));
    if (when == Build::Now)
        build();
}

void TimeConversionPage::buildControls()
{

    rgrpDEVTUnit =
        makeGroup(this, QStringLiteral("rgrpDEVTUnit"), QStringLiteral("Unité Température"),
                  {12, 8, 300, 52}, {arialFont(13)});
    rbtnDEVTCelsius = makeRadio(rgrpDEVTUnit, QStringLiteral("rbtnDEVTCelsius"),
                                QStringLiteral("°Celsius"), {12, 24, 130, 20});
    rbtnDEVTFahrenheit = makeRadio(rgrpDEVTUnit, QStringLiteral("rbtnDEVTFahrenheit"),
                                   QStringLiteral("°Fahrenheit"), {156, 24, 130, 20});
    m_unit = new QButtonGroup(this);
    m_unit->addButton(rbtnDEVTCelsius, 0);
    m_unit->addButton(rbtnDEVTFahrenheit, 1);
    rbtnDEVTCelsius->setChecked(true);

    int y = 76;
    lblDEVTOld = makeLabel(this, QStringLiteral("lblDEVTOld"), QStringLiteral("Référence"),
                           {LabelX, y}, captionLooks());
    y += 28;
    lblDEVTTemp1 = makeLabel(this, QStringLiteral("lblDEVTTemp1"), QStringLiteral("Température:"),
                             {LabelX, y + 11}, captionLooks());
    edtDEVTTemp1 = makeField(this, QStringLiteral("edtDEVTTemp1"), {TempX, y, 120, TimeFieldHeight},
                             numberLooks());
    lblDEVTTime1 = makeLabel(this, QStringLiteral("lblDEVTTime1"), QStringLiteral("Temps:"),
                             {TimeLabelX, y + 11}, captionLooks());
    mskedtDEVTTime1 =
        placed(new TimeMaskEdit(this, *m_ctx.dialogs, m_ctx.sound),
               QStringLiteral("mskedtDEVTTime1"), {TimeX, y, 150, TimeFieldHeight}, numberLooks());
    btnDEVTGo = makeButton(this, QStringLiteral("btnDEVTGo"), QStringLiteral("Calcul"),
                           {ButtonX, y, 90, TimeFieldHeight}, {arialFont(21), Colors::Red});

    y += TimeFieldHeight + 20;
    lblDEVTNew = makeLabel(this, QStringLiteral("lblDEVTNew"), QStringLiteral("Nouveau"),
                           {LabelX, y}, captionLooks());
    y += 28;
    lblDEVTTemp2 = makeLabel(this, QStringLiteral("lblDEVTTemp2"), QStringLiteral("Température:"),
                             {LabelX, y + 11}, captionLooks());
    edtDEVTTemp2 = makeField(this, QStringLiteral("edtDEVTTemp2"), {TempX, y, 120, TimeFieldHeight},
                             numberLooks());
    lblDEVTTime2 = makeLabel(this, QStringLiteral("lblDEVTTime2"), QStringLiteral("Temps:"),
                             {TimeLabelX, y + 11}, captionLooks());
    pnlDEVTTime2 = makePanel(this, QStringLiteral("pnlDEVTTime2"), {TimeX, y, 150, TimeFieldHeight},
                             numberLooks());

    y += TimeFieldHeight + 36;
    sgrdDEVT = new StringGrid(this, QStringLiteral("sgrdDEVT"));
    GridModel *grid = sgrdDEVT->grid();
    grid->setCols(11);
    grid->setRows(2);
    grid->setFixedRows(0);
    grid->setFixedCols(0);
    grid->setDefaultColWidth(68);
    grid->setDefaultRowHeight(23);
    grid->setGridColor(Colors::Black);
    grid->setFontColor(Colors::Red);
    // No highlighted cell: the table is for reading only.
    grid->setSelectionColors(Colors::Black, Colors::Red);
    grid->setEditable(false);
    sgrdDEVT->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgrdDEVT->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgrdDEVT->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgrdDEVT->setFont(arialFont(13, true));
    const int frame = 2 * sgrdDEVT->frameWidth();
    sgrdDEVT->setGeometry(LabelX - 4, y, 11 * 68 + frame, 2 * 23 + frame);
    // The text colour lives in the grid's model; a font colour given to the
    // control (the colour scheme switch) goes there too.
    connect(grid, &GridModel::looksChanged, this, [grid] {
        if (grid->selectionTextColor() != grid->fontColor())
            grid->setSelectionColors(Colors::Black, grid->fontColor());
    });
    sgrdDEVT->installEventFilter(this);

    setTabOrder(rbtnDEVTCelsius, rbtnDEVTFahrenheit);
    setTabOrder(rbtnDEVTFahrenheit, edtDEVTTemp1);
    setTabOrder(edtDEVTTemp1, mskedtDEVTTime1);
    setTabOrder(mskedtDEVTTime1, edtDEVTTemp2);
    setTabOrder(edtDEVTTemp2, btnDEVTGo);
    setTabOrder(btnDEVTGo, sgrdDEVT);

    pressOnEnter(btnDEVTGo, {edtDEVTTemp1, mskedtDEVTTime1, edtDEVTTemp2});
    onClick(btnDEVTGo, *m_ctx.dialogs, [this] { btnDEVTGoClick(); });
}

void TimeConversionPage::retranslateControls(const LanguageTable &t)
{
    setCaption(lblDEVTTemp1, t.entry(71));
    setCaption(lblDEVTTime1, t.entry(72));
    setCaption(lblDEVTTemp2, t.entry(73));
    setCaption(lblDEVTTime2, t.entry(74));
    setCaption(lblDEVTOld, t.entry(75));
    setCaption(lblDEVTNew, t.entry(76));
    setCaption(btnDEVTGo, t.entry(77));
    rgrpDEVTUnit->setTitle(t.entry(78));
}

void TimeConversionPage::recolourControls(quint32 colour)
{
    for (QWidget *w : std::initializer_list<QWidget *>{edtDEVTTemp1, edtDEVTTemp2, mskedtDEVTTime1,
                                                       pnlDEVTTime2})
        setFontColor(w, colour);
    sgrdDEVT->grid()->setFontColor(colour);
}

int TimeConversionPage::unitIndex() const
{
    return m_unit->checkedId();
}

bool TimeConversionPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == sgrdDEVT && event->type() == QEvent::DynamicPropertyChange) {
        const quint32 colour = fontColorOf(sgrdDEVT);
        if (colour != Colors::WindowText && colour != sgrdDEVT->grid()->fontColor())
            sgrdDEVT->grid()->setFontColor(colour);
    }
    return QWidget::eventFilter(watched, event);
}

void TimeConversionPage::btnDEVTGoClick()
{
    // The field's own refusal does not come when the page is left with a
    // half-typed time; without this the time would count as 0 s.
    if (mskedtDEVTTime1->editIsInvalid()) {
        mskedtDEVTTime1->refuse();
        return;
    }
    TimeTemperature::Table table;
    try {
        table = TimeTemperature::compensate(unitIndex(), mskedtDEVTTime1->maskedText(),
                                            edtDEVTTemp1->text(), edtDEVTTemp2->text(), m_separator,
                                            sgrdDEVT->grid()->cols());
    } catch (const RuntimeError &) {
        m_ctx.dialogs->showMessage(m_ctx.message(7));
        return;
    }
    pnlDEVTTime2->setText(table.time);
    GridModel *grid = sgrdDEVT->grid();
    for (int i = 0; i < table.temperatures.size(); ++i) {
        grid->setCell(i, 0, table.temperatures[i]);
        grid->setCell(i, 1, table.times[i]);
    }
}
