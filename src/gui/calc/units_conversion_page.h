#pragma once

#include "gui/lazy_page.h"

#include <QList>

#include "core/calc/unit_conversion.h"

class LabeledEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct AppContext;

// The Conversion Unités page: five groups of unit fields. Typing into a field
// empties the rest of its group; the group's button converts from the first
// field that holds text into all the others.
class UnitsConversionPage : public LazyPage
{
    Q_OBJECT
public:
    explicit UnitsConversionPage(AppContext &context, QWidget *parent = nullptr,
                                 Build when = Build::Now);

    void btnUNITTempClick();
    void btnUNITLengthClick();
    void btnUNITSurfaceClick();
    void btnUNITVolClick();
    void btnUNITWeightClick();

    void setDecimalSeparator(QChar separator) { m_separator = separator; }

protected:
    void buildControls() override;
    void retranslateControls(const LanguageTable &texts) override;
    void recolourControls(quint32 colour) override;
    // The key presses of every unit field pass here first.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Empties every field of keep's group but keep.
    void ClearOtherUnitFields(const QObject *keep);

    QGroupBox *grpbxUNITTemp = nullptr, *grpbxUNITLength = nullptr, *grpbxUNITSurface = nullptr,
              *grpbxUNITVol = nullptr, *grpbxUNITWeight = nullptr;
    QPushButton *btnUNITTemp = nullptr, *btnUNITLength = nullptr, *btnUNITSurface = nullptr,
                *btnUNITVol = nullptr, *btnUNITWeight = nullptr;
    QLabel *lblUNITVolMetric = nullptr, *lblUNITVolUS = nullptr, *lblUNITVolUK = nullptr,
           *lblUNITWeightMetric = nullptr, *lblUNITWeightADP = nullptr,
           *lblUNITWeightTroy = nullptr;
    LabeledEdit *lbleUNITTempC = nullptr, *lbleUNITTempF = nullptr, *lbleUNITTempK = nullptr;
    LabeledEdit *lbleUNITLengthmm = nullptr, *lbleUNITLengthcm = nullptr,
                *lbleUNITLengthm = nullptr, *lbleUNITLengthInches = nullptr,
                *lbleUNITLengthFeet = nullptr, *lbleUNITLengthYards = nullptr;
    LabeledEdit *lbleUNITSurfacecm = nullptr, *lbleUNITSurfacem = nullptr,
                *lbleUNITSurfaceInches = nullptr, *lbleUNITSurfaceFeet = nullptr,
                *lbleUNITSurfaceYards = nullptr;
    LabeledEdit *lbleUNITVolml = nullptr, *lbleUNITVolcl = nullptr, *lbleUNITVoldl = nullptr,
                *lbleUNITVoll = nullptr, *lbleUNITVolm = nullptr, *lbleUNITVolUSOunce = nullptr,
                *lbleUNITVolUSPint = nullptr, *lbleUNITVolUSQuart = nullptr,
                *lbleUNITVolUSGallon = nullptr, *lbleUNITVolUKOunce = nullptr,
                *lbleUNITVolUKPint = nullptr, *lbleUNITVolUKQuart = nullptr,
                *lbleUNITVolUKGallon = nullptr;
    LabeledEdit *lbleUNITWeightgr = nullptr, *lbleUNITWeightkg = nullptr,
                *lbleUNITWeightADPGrain = nullptr, *lbleUNITWeightADPOunce = nullptr,
                *lbleUNITWeightADPPound = nullptr, *lbleUNITWeightTroyGrain = nullptr,
                *lbleUNITWeightTroyPennyweight = nullptr, *lbleUNITWeightTroyOunce = nullptr,
                *lbleUNITWeightTroyPound = nullptr;

    // fields in the group's source order, which the conversion tables use.
    void convertGroup(UnitConversion::Group group, const QList<LabeledEdit *> &fields);

    AppContext &m_ctx;
    QChar m_separator;
    QList<LabeledEdit *> m_temp, m_length, m_surface, m_volume, m_weight;
};
