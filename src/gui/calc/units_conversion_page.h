#pragma once

#include <QList>
#include <QWidget>

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
class UnitsConversionPage : public QWidget
{
    Q_OBJECT
public:
    explicit UnitsConversionPage(AppContext &context, QWidget *parent = nullptr);

    // Empties every labelled field directly inside group except keep.
    static void ClearOtherUnitFields(QLineEdit *keep, QGroupBox *group);

    void btnUNITTempClick();
    void btnUNITLengthClick();
    void btnUNITSurfaceClick();
    void btnUNITVolClick();
    void btnUNITWeightClick();

    void setDecimalSeparator(QChar separator) { m_separator = separator; }

    QGroupBox *grpbxUNITTemp, *grpbxUNITLength, *grpbxUNITSurface, *grpbxUNITVol, *grpbxUNITWeight;
    QPushButton *btnUNITTemp, *btnUNITLength, *btnUNITSurface, *btnUNITVol, *btnUNITWeight;
    QLabel *lblUNITVolMetric, *lblUNITVolUS, *lblUNITVolUK, *lblUNITWeightMetric, *lblUNITWeightADP,
        *lblUNITWeightTroy;
    LabeledEdit *lbleUNITTempC, *lbleUNITTempF, *lbleUNITTempK;
    LabeledEdit *lbleUNITLengthmm, *lbleUNITLengthcm, *lbleUNITLengthm, *lbleUNITLengthInches,
        *lbleUNITLengthFeet, *lbleUNITLengthYards;
    LabeledEdit *lbleUNITSurfacecm, *lbleUNITSurfacem, *lbleUNITSurfaceInches, *lbleUNITSurfaceFeet,
        *lbleUNITSurfaceYards;
    LabeledEdit *lbleUNITVolml, *lbleUNITVolcl, *lbleUNITVoldl, *lbleUNITVoll, *lbleUNITVolm,
        *lbleUNITVolUSOunce, *lbleUNITVolUSPint, *lbleUNITVolUSQuart, *lbleUNITVolUSGallon,
        *lbleUNITVolUKOunce, *lbleUNITVolUKPint, *lbleUNITVolUKQuart, *lbleUNITVolUKGallon;
    LabeledEdit *lbleUNITWeightgr, *lbleUNITWeightkg, *lbleUNITWeightADPGrain,
        *lbleUNITWeightADPOunce, *lbleUNITWeightADPPound, *lbleUNITWeightTroyGrain,
        *lbleUNITWeightTroyPennyweight, *lbleUNITWeightTroyOunce, *lbleUNITWeightTroyPound;

protected:
    // The key presses of every unit field pass here first.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // fields in the group's source order, which the conversion tables use.
    void convertGroup(UnitConversion::Group group, const QList<LabeledEdit *> &fields);

    AppContext &m_ctx;
    QChar m_separator;
    QList<LabeledEdit *> m_temp, m_length, m_surface, m_volume, m_weight;
};
