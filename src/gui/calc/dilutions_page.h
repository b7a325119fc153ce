#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct AppContext;

// The Dilutions page: four stateless calculators that make up working
// solutions from stock. Each click reads its three fields afresh; a result
// stays until the next successful click of the same button.
class DilutionsPage : public QWidget
{
    Q_OBJECT
public:
    explicit DilutionsPage(AppContext &context, QWidget *parent = nullptr);

    void btnDilaClick();
    void btnDilbClick();
    void btnDilcClick();
    void btnDildClick();

    // The locale's separator unless set (tests use both "." and ",").
    void setDecimalSeparator(QChar separator) { m_separator = separator; }

    QGroupBox *grpbxDilab, *grpbxDilc, *grpbxDild;
    QLabel *lblQtyFina, *lblDila, *lblQtyStocka, *lblQtyStockb, *lblDilb, *lblQtyFinb, *lblQtyFinc,
        *lblDilc, *lblQtyStockc, *lblQtyFind, *lblDilFind, *lblDilStockd, *lblQtyStockd;
    QLineEdit *edtQtyFina, *edtDila1, *edtDila2, *edtQtyStockb, *edtDilb1, *edtDilb2, *edtQtyFinc,
        *edtDilc1, *edtDilc2, *edtQtyFind, *edtDild1, *edtDild2;
    QLabel *pnlQtyStocka, *pnlQtyFinb, *pnlQtyStockc, *pnlQtyStockd;
    QPushButton *btnDila, *btnDilb, *btnDilc, *btnDild;

private:
    using Formula = long double (*)(double, double, double);
    // Reads the three fields, checks, computes and writes the panel.
    void calculate(QLineEdit *qty, QLineEdit *first, QLineEdit *second, QLabel *result,
                   Formula formula, bool percentCheck);

    AppContext &m_ctx;
    QChar m_separator;
};
