#include "gui/calc/dilutions_page.h"

#include "core/app/app_context.h"
#include "core/base/colors.h"
#include "core/base/runtime_error.h"
#include "core/calc/dilution.h"
#include "core/calc/number_text.h"
#include "gui/dialogs.h"
#include "gui/handler_guard.h"
#include "gui/widgets.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Captions sit above their fields; the fields, signs, button and panel of a
// row share one line, so the long results have the width they need.
constexpr int FieldHeight = 44;
constexpr int CaptionGap = 24; // caption top to field top
constexpr int QtyX = 12, QtyW = 136;
constexpr int Dil1X = 160, DilW = 60;
constexpr int SignW = 24;
constexpr int ButtonX = 344, ButtonW = 80;
constexpr int PanelX = 436, PanelW = 309;

QLabel *sign(QWidget *parent, const char *name, const QString &text, QRect bounds, int height)
{
    return makeLabel(parent, QLatin1String(name), text, bounds, Qt::AlignCenter,
                     {arialFont(height)});
}

} // namespace

DilutionsPage::DilutionsPage(AppContext &context, QWidget *parent, Build when)
    : LazyPage(parent), m_ctx(context), m_separator(localeDecimalSeparator())
{
    setObjectName(QStringLiteral("tbshtDilutions"));
    if (when == Build::Now)
        build();
}

void DilutionsPage::buildControls()
{
    const QString qtyFin = QStringLiteral("Qté finale:");
    const QString dilution = QStringLiteral("Dilution:");

    // Widgets are made in focus order: quantity, first and second dilution
    // number, button, one calculator after the other.
    grpbxDilab = makeGroup(this, QStringLiteral("grpbxDilab"), QStringLiteral("Style 1+x"),
                           {8, 8, 757, 176}, {arialFont(16, true)});
    int y = 24;
    lblQtyFina =
        makeLabel(grpbxDilab, QStringLiteral("lblQtyFina"), qtyFin, {QtyX, y}, captionLooks());
    lblDila =
        makeLabel(grpbxDilab, QStringLiteral("lblDila"), dilution, {Dil1X, y}, captionLooks());
    lblQtyStocka = makeLabel(grpbxDilab, QStringLiteral("lblQtyStocka"),
                             QStringLiteral("Solution stock:"), {PanelX, y}, captionLooks());
    y += CaptionGap;
    edtQtyFina = makeField(grpbxDilab, QStringLiteral("edtQtyFina"), {QtyX, y, QtyW, FieldHeight},
                           numberLooks());
    edtDila1 = makeField(grpbxDilab, QStringLiteral("edtDila1"), {Dil1X, y, DilW, FieldHeight},
                         numberLooks());
    sign(grpbxDilab, "lblDilaPlus", QStringLiteral("+"), {Dil1X + DilW, y, SignW, FieldHeight}, 32);
    edtDila2 = makeField(grpbxDilab, QStringLiteral("edtDila2"),
                         {Dil1X + DilW + SignW, y, 80, FieldHeight}, numberLooks());
    btnDila = makeButton(grpbxDilab, QStringLiteral("btnDila"), QStringLiteral("Calcul"),
                         {ButtonX, y, ButtonW, FieldHeight}, {arialFont(21), Colors::Red});
    pnlQtyStocka = makePanel(grpbxDilab, QStringLiteral("pnlQtyStocka"),
                             {PanelX, y, PanelW, FieldHeight}, numberLooks());

    y += FieldHeight + 10;
    lblQtyStockb = makeLabel(grpbxDilab, QStringLiteral("lblQtyStockb"),
                             QStringLiteral("Solution stock:"), {QtyX, y}, captionLooks());
    lblDilb =
        makeLabel(grpbxDilab, QStringLiteral("lblDilb"), dilution, {Dil1X, y}, captionLooks());
    lblQtyFinb =
        makeLabel(grpbxDilab, QStringLiteral("lblQtyFinb"), qtyFin, {PanelX, y}, captionLooks());
    y += CaptionGap;
    edtQtyStockb = makeField(grpbxDilab, QStringLiteral("edtQtyStockb"),
                             {QtyX, y, QtyW, FieldHeight}, numberLooks());
    edtDilb1 = makeField(grpbxDilab, QStringLiteral("edtDilb1"), {Dil1X, y, DilW, FieldHeight},
                         numberLooks());
    sign(grpbxDilab, "lblDilbPlus", QStringLiteral("+"), {Dil1X + DilW, y, SignW, FieldHeight}, 32);
    edtDilb2 = makeField(grpbxDilab, QStringLiteral("edtDilb2"),
                         {Dil1X + DilW + SignW, y, 80, FieldHeight}, numberLooks());
    btnDilb = makeButton(grpbxDilab, QStringLiteral("btnDilb"), QStringLiteral("Calcul"),
                         {ButtonX, y, ButtonW, FieldHeight}, {arialFont(21), Colors::Red});
    pnlQtyFinb = makePanel(grpbxDilab, QStringLiteral("pnlQtyFinb"),
                           {PanelX, y, PanelW, FieldHeight}, numberLooks());

    grpbxDilc =
        makeGroup(this, QStringLiteral("grpbxDilc"), QStringLiteral("Style gr/l, ml/l, ..."),
                  {8, 194, 757, 104}, {arialFont(16, true)});
    y = 24;
    lblQtyFinc =
        makeLabel(grpbxDilc, QStringLiteral("lblQtyFinc"), qtyFin, {QtyX, y}, captionLooks());
    lblDilc = makeLabel(grpbxDilc, QStringLiteral("lblDilc"), dilution, {Dil1X, y}, captionLooks());
    lblQtyStockc = makeLabel(grpbxDilc, QStringLiteral("lblQtyStockc"),
                             QStringLiteral("Qté stock:"), {PanelX, y}, captionLooks());
    y += CaptionGap;
    edtQtyFinc = makeField(grpbxDilc, QStringLiteral("edtQtyFinc"), {QtyX, y, QtyW, FieldHeight},
                           numberLooks());
    edtDilc1 = makeField(grpbxDilc, QStringLiteral("edtDilc1"), {Dil1X, y, DilW, FieldHeight},
                         numberLooks());
    sign(grpbxDilc, "lblDilcSlash", QStringLiteral("/"), {Dil1X + DilW, y, SignW, FieldHeight}, 32);
    edtDilc2 = makeField(grpbxDilc, QStringLiteral("edtDilc2"),
                         {Dil1X + DilW + SignW, y, 80, FieldHeight}, numberLooks());
    btnDilc = makeButton(grpbxDilc, QStringLiteral("btnDilc"), QStringLiteral("Calcul"),
                         {ButtonX, y, ButtonW, FieldHeight}, {arialFont(21), Colors::Red});
    pnlQtyStockc = makePanel(grpbxDilc, QStringLiteral("pnlQtyStockc"),
                             {PanelX, y, PanelW, FieldHeight}, numberLooks());

    grpbxDild = makeGroup(this, QStringLiteral("grpbxDild"), QStringLiteral("Style %"),
                          {8, 308, 757, 120}, {arialFont(16, true)});
    y = 24;
    // The two concentration captions are narrow, wrapped over two lines.
    constexpr int Dild2X = Dil1X + DilW + 20 + 10;
    const auto concCaption = [this](const char *name, const QString &text, int x, int y) {
        QLabel *l =
            makeLabel(grpbxDild, QLatin1String(name), text, {x, y, DilW + 20, 38},
                      Qt::AlignLeft | Qt::AlignBottom, {arialFont(16, true), Colors::Black});
        l->setWordWrap(true);
        return l;
    };
    lblQtyFind =
        makeLabel(grpbxDild, QStringLiteral("lblQtyFind"), qtyFin, {QtyX, y + 16}, captionLooks());
    lblDilFind = concCaption("lblDilFind", QStringLiteral("Conc. finale:"), Dil1X, y);
    lblDilStockd = concCaption("lblDilStockd", QStringLiteral("Conc. stock:"), Dild2X, y);
    lblQtyStockd = makeLabel(grpbxDild, QStringLiteral("lblQtyStockd"),
                             QStringLiteral("Qté stock:"), {PanelX, y + 16}, captionLooks());
    y += 40;
    edtQtyFind = makeField(grpbxDild, QStringLiteral("edtQtyFind"), {QtyX, y, QtyW, FieldHeight},
                           numberLooks());
    edtDild1 = makeField(grpbxDild, QStringLiteral("edtDild1"), {Dil1X, y, DilW, FieldHeight},
                         numberLooks());
    sign(grpbxDild, "lblDildFinPercent", QStringLiteral("%"), {Dil1X + DilW, y, 20, FieldHeight},
         21);
    edtDild2 = makeField(grpbxDild, QStringLiteral("edtDild2"), {Dild2X, y, DilW, FieldHeight},
                         numberLooks());
    sign(grpbxDild, "lblDildStockPercent", QStringLiteral("%"), {Dild2X + DilW, y, 20, FieldHeight},
         21);
    btnDild = makeButton(grpbxDild, QStringLiteral("btnDild"), QStringLiteral("Calcul"),
                         {ButtonX, y, ButtonW, FieldHeight}, {arialFont(21), Colors::Red});
    pnlQtyStockd = makePanel(grpbxDild, QStringLiteral("pnlQtyStockd"),
                             {PanelX, y, PanelW, FieldHeight}, numberLooks());

    pressOnEnter(btnDila, {edtQtyFina, edtDila1, edtDila2});
    pressOnEnter(btnDilb, {edtQtyStockb, edtDilb1, edtDilb2});
    pressOnEnter(btnDilc, {edtQtyFinc, edtDilc1, edtDilc2});
    pressOnEnter(btnDild, {edtQtyFind, edtDild1, edtDild2});
    onClick(btnDila, *m_ctx.dialogs, [this] { btnDilaClick(); });
    onClick(btnDilb, *m_ctx.dialogs, [this] { btnDilbClick(); });
    onClick(btnDilc, *m_ctx.dialogs, [this] { btnDilcClick(); });
    onClick(btnDild, *m_ctx.dialogs, [this] { btnDildClick(); });
}

void DilutionsPage::retranslateControls(const LanguageTable &t)
{
    grpbxDilab->setTitle(t.entry(22));
    grpbxDilc->setTitle(t.entry(23));
    grpbxDild->setTitle(t.entry(24));
    for (QLabel *l : {lblQtyFina, lblQtyFinb, lblQtyFinc, lblQtyFind})
        setCaption(l, t.entry(25));
    for (QLabel *l : {lblDila, lblDilb, lblDilc})
        setCaption(l, t.entry(26));
    for (QPushButton *b : {btnDila, btnDilb, btnDilc, btnDild})
        setCaption(b, t.entry(27));
    for (QLabel *l : {lblQtyStocka, lblQtyStockb, lblQtyStockc, lblQtyStockd})
        setCaption(l, t.entry(28));
    setCaption(lblDilFind, t.entry(29));
    setCaption(lblDilStockd, t.entry(30));
}

void DilutionsPage::recolourControls(quint32 colour)
{
    for (QWidget *w : std::initializer_list<QWidget *>{
             edtQtyFina, edtDila1, edtDila2, pnlQtyStocka, edtQtyStockb, edtDilb1, edtDilb2,
             pnlQtyFinb, edtQtyFinc, edtDilc1, edtDilc2, pnlQtyStockc, edtQtyFind, edtDild1,
             edtDild2, pnlQtyStockd})
        setFontColor(w, colour);
}

void DilutionsPage::calculate(QLineEdit *qty, QLineEdit *first, QLineEdit *second, QLabel *result,
                              Formula formula, bool percentCheck)
{
    double q = 0, a = 0, b = 0;
    try {
        q = toDouble(TextToNumber(qty->text(), m_separator));
        a = toDouble(TextToNumber(first->text(), m_separator));
        b = toDouble(TextToNumber(second->text(), m_separator));
    } catch (const RuntimeError &) {
        m_ctx.dialogs->showMessage(m_ctx.message(7));
        return;
    }
    // The stock must be at least as strong as the solution made from it.
    if (percentCheck && b < a) {
        m_ctx.dialogs->showMessage(m_ctx.message(8));
        return;
    }
    // Every digit shows: a long result (15 digits, an exponent) in a smaller size.
    showFitted(result, NumberToText(formula(q, a, b), m_separator));
}

void DilutionsPage::btnDilaClick()
{
    calculate(edtQtyFina, edtDila1, edtDila2, pnlQtyStocka, &Dilution::stockForFinal, false);
}

void DilutionsPage::btnDilbClick()
{
    calculate(edtQtyStockb, edtDilb1, edtDilb2, pnlQtyFinb, &Dilution::finalForStock, false);
}

void DilutionsPage::btnDilcClick()
{
    calculate(edtQtyFinc, edtDilc1, edtDilc2, pnlQtyStockc, &Dilution::stockForRatio, false);
}

void DilutionsPage::btnDildClick()
{
    calculate(edtQtyFind, edtDild1, edtDild2, pnlQtyStockd, &Dilution::stockForPercent, true);
}
