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

QGroupBox *group(QWidget *parent, const char *name, const QString &caption, QRect bounds)
{
    auto *g = new QGroupBox(caption, parent);
    g->setObjectName(QLatin1String(name));
    g->setFont(arialFont(16, true));
    g->setGeometry(bounds);
    return g;
}

QLabel *caption(QWidget *parent, const char *name, const QString &text, QPoint at)
{
    QLabel *l = makeLabel(parent, QLatin1String(name), text, at, arialFont(19));
    setFontColor(l, Colors::Black);
    return l;
}

QLabel *sign(QWidget *parent, const char *name, const QString &text, QRect bounds, int height)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setFont(arialFont(height));
    l->setAlignment(Qt::AlignCenter);
    l->setGeometry(bounds);
    return l;
}

QLineEdit *field(QWidget *parent, const char *name, QRect bounds)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setFont(arialFont(32));
    setFontColor(e, Colors::Red);
    setBackColor(e, Colors::Black);
    e->setGeometry(bounds);
    return e;
}

QPushButton *button(QWidget *parent, const char *name, QRect bounds)
{
    auto *b = new QPushButton(QStringLiteral("Calcul"), parent);
    b->setObjectName(QLatin1String(name));
    b->setFont(arialFont(21));
    setFontColor(b, Colors::Red);
    b->setGeometry(bounds);
    return b;
}

QLabel *panel(QWidget *parent, const char *name, QRect bounds)
{
    auto *p = new QLabel(parent);
    p->setObjectName(QLatin1String(name));
    p->setTextFormat(Qt::PlainText);
    p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p->setLineWidth(1);
    p->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    p->setFont(arialFont(32));
    setFontColor(p, Colors::Red);
    setBackColor(p, Colors::Black);
    p->setGeometry(bounds);
    return p;
}

} // namespace

DilutionsPage::DilutionsPage(AppContext &context, QWidget *parent)
    : QWidget(parent), m_ctx(context), m_separator(localeDecimalSeparator())
{
    setObjectName(QStringLiteral("tbshtDilutions"));
    const QString qtyFin = QStringLiteral("Qté finale:");
    const QString dilution = QStringLiteral("Dilution:");

    // Widgets are made in focus order: quantity, first and second dilution
    // number, button, one calculator after the other.
    grpbxDilab = group(this, "grpbxDilab", QStringLiteral("Style 1+x"), {8, 8, 757, 176});
    int y = 24;
    lblQtyFina = caption(grpbxDilab, "lblQtyFina", qtyFin, {QtyX, y});
    lblDila = caption(grpbxDilab, "lblDila", dilution, {Dil1X, y});
    lblQtyStocka =
        caption(grpbxDilab, "lblQtyStocka", QStringLiteral("Solution stock:"), {PanelX, y});
    y += CaptionGap;
    edtQtyFina = field(grpbxDilab, "edtQtyFina", {QtyX, y, QtyW, FieldHeight});
    edtDila1 = field(grpbxDilab, "edtDila1", {Dil1X, y, DilW, FieldHeight});
    sign(grpbxDilab, "lblDilaPlus", QStringLiteral("+"), {Dil1X + DilW, y, SignW, FieldHeight}, 32);
    edtDila2 = field(grpbxDilab, "edtDila2", {Dil1X + DilW + SignW, y, 80, FieldHeight});
    btnDila = button(grpbxDilab, "btnDila", {ButtonX, y, ButtonW, FieldHeight});
    pnlQtyStocka = panel(grpbxDilab, "pnlQtyStocka", {PanelX, y, PanelW, FieldHeight});

    y += FieldHeight + 10;
    lblQtyStockb =
        caption(grpbxDilab, "lblQtyStockb", QStringLiteral("Solution stock:"), {QtyX, y});
    lblDilb = caption(grpbxDilab, "lblDilb", dilution, {Dil1X, y});
    lblQtyFinb = caption(grpbxDilab, "lblQtyFinb", qtyFin, {PanelX, y});
    y += CaptionGap;
    edtQtyStockb = field(grpbxDilab, "edtQtyStockb", {QtyX, y, QtyW, FieldHeight});
    edtDilb1 = field(grpbxDilab, "edtDilb1", {Dil1X, y, DilW, FieldHeight});
    sign(grpbxDilab, "lblDilbPlus", QStringLiteral("+"), {Dil1X + DilW, y, SignW, FieldHeight}, 32);
    edtDilb2 = field(grpbxDilab, "edtDilb2", {Dil1X + DilW + SignW, y, 80, FieldHeight});
    btnDilb = button(grpbxDilab, "btnDilb", {ButtonX, y, ButtonW, FieldHeight});
    pnlQtyFinb = panel(grpbxDilab, "pnlQtyFinb", {PanelX, y, PanelW, FieldHeight});

    grpbxDilc =
        group(this, "grpbxDilc", QStringLiteral("Style gr/l, ml/l, ..."), {8, 194, 757, 104});
    y = 24;
    lblQtyFinc = caption(grpbxDilc, "lblQtyFinc", qtyFin, {QtyX, y});
    lblDilc = caption(grpbxDilc, "lblDilc", dilution, {Dil1X, y});
    lblQtyStockc = caption(grpbxDilc, "lblQtyStockc", QStringLiteral("Qté stock:"), {PanelX, y});
    y += CaptionGap;
    edtQtyFinc = field(grpbxDilc, "edtQtyFinc", {QtyX, y, QtyW, FieldHeight});
    edtDilc1 = field(grpbxDilc, "edtDilc1", {Dil1X, y, DilW, FieldHeight});
    sign(grpbxDilc, "lblDilcSlash", QStringLiteral("/"), {Dil1X + DilW, y, SignW, FieldHeight}, 32);
    edtDilc2 = field(grpbxDilc, "edtDilc2", {Dil1X + DilW + SignW, y, 80, FieldHeight});
    btnDilc = button(grpbxDilc, "btnDilc", {ButtonX, y, ButtonW, FieldHeight});
    pnlQtyStockc = panel(grpbxDilc, "pnlQtyStockc", {PanelX, y, PanelW, FieldHeight});

    grpbxDild = group(this, "grpbxDild", QStringLiteral("Style %"), {8, 308, 757, 120});
    y = 24;
    // The two concentration captions are narrow, wrapped over two lines.
    constexpr int Dild2X = Dil1X + DilW + 20 + 10;
    const auto concCaption = [this](const char *name, const QString &text, int x, int y) {
        auto *l = new QLabel(text, grpbxDild);
        l->setObjectName(QLatin1String(name));
        l->setFont(arialFont(16, true));
        setFontColor(l, Colors::Black);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
        l->setGeometry(x, y, DilW + 20, 38);
        return l;
    };
    lblQtyFind = caption(grpbxDild, "lblQtyFind", qtyFin, {QtyX, y + 16});
    lblDilFind = concCaption("lblDilFind", QStringLiteral("Conc. finale:"), Dil1X, y);
    lblDilStockd = concCaption("lblDilStockd", QStringLiteral("Conc. stock:"), Dild2X, y);
    lblQtyStockd =
        caption(grpbxDild, "lblQtyStockd", QStringLiteral("Qté stock:"), {PanelX, y + 16});
    y += 40;
    edtQtyFind = field(grpbxDild, "edtQtyFind", {QtyX, y, QtyW, FieldHeight});
    edtDild1 = field(grpbxDild, "edtDild1", {Dil1X, y, DilW, FieldHeight});
    sign(grpbxDild, "lblDildFinPercent", QStringLiteral("%"), {Dil1X + DilW, y, 20, FieldHeight},
         21);
    edtDild2 = field(grpbxDild, "edtDild2", {Dild2X, y, DilW, FieldHeight});
    sign(grpbxDild, "lblDildStockPercent", QStringLiteral("%"), {Dild2X + DilW, y, 20, FieldHeight},
         21);
    btnDild = button(grpbxDild, "btnDild", {ButtonX, y, ButtonW, FieldHeight});
    pnlQtyStockd = panel(grpbxDild, "pnlQtyStockd", {PanelX, y, PanelW, FieldHeight});

    const auto onClick = [this](QPushButton *b, void (DilutionsPage::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] {
            guarded(*m_ctx.dialogs, [this, handler] { (this->*handler)(); });
        });
    };
    onClick(btnDila, &DilutionsPage::btnDilaClick);
    onClick(btnDilb, &DilutionsPage::btnDilbClick);
    onClick(btnDilc, &DilutionsPage::btnDilcClick);
    onClick(btnDild, &DilutionsPage::btnDildClick);
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
    result->setText(NumberToText(formula(q, a, b), m_separator));
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
