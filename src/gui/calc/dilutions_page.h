#pragma once

#include "gui/lazy_page.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct AppContext;

// The Dilutions page: four stateless calculators that make up working
// solutions from stock. Each click reads its three fields afresh; a result
// stays until the next successful click of the same button.
class DilutionsPage : public LazyPage
{
    Q_OBJECT
public:
    explicit DilutionsPage(AppContext &context, QWidget *parent = nullptr, Build when = Build::Now);

    void btnDilaClick();
    void btnDilbClick();
    void btnDilcClick();
    void btnDildClick();

    // The locale's separator unless set (tests use both "." and ",").
    void setDecimalSeparator(QChar separator) { m_separator = separator; }

protected:
    void buildControls() override;
    void retranslateControls(const LanguageTable &texts) override;
    void recolourControls(quint32 colour) override;

private:
    QGroupBox *grpbxDilab = nullptr, *grpbxDilc = nullptr, *grpbxDild = nullptr;
    QLabel *lblQtyFina = nullptr, *lblDila = nullptr, *lblQtyStocka = nullptr,
           *lblQtyStockb = nullptr, *lblDilb = nullptr, *lblQtyFinb = nullptr,
           *lblQtyFinc = nullptr, *lblDilc = nullptr, *lblQtyStockc = nullptr,
           *lblQtyFind = nullptr, *lblDilFind = nullptr, *lblDilStockd = nullptr,
           *lblQtyStockd = nullptr;
    QLineEdit *edtQtyFina = nullptr, *edtDila1 = nullptr, *edtDila2 = nullptr,
              *edtQtyStockb = nullptr, *edtDilb1 = nullptr, *edtDilb2 = nullptr,
              *edtQtyFinc = nullptr, *edtDilc1 = nullptr, *edtDilc2 = nullptr,
              *edtQtyFind = nullptr, *edtDild1 = nullptr, *edtDild2 = nullptr;
    QLabel *pnlQtyStocka = nullptr, *pnlQtyFinb = nullptr, *pnlQtyStockc = nullptr,
           *pnlQtyStockd = nullptr;
    QPushButton *btnDila = nullptr, *btnDilb = nullptr, *btnDilc = nullptr, *btnDild = nullptr;

    using Formula = long double (*)(double, double, double);
    // Reads the three fields, checks, computes and writes the panel.
    void calculate(QLineEdit *qty, QLineEdit *first, QLineEdit *second, QLabel *result,
                   Formula formula, bool percentCheck);

    AppContext &m_ctx;
    QChar m_separator;
};
