#pragma once

#include "core/baths/bath.h"
#include "core/baths/bath_texts.h"
#include "gui/lazy_page.h"

#include <QStringList>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class LabeledEdit;
struct AppContext;

// The Bains page: every bath of baths.txt with its age, its films so far, its
// capacity, its state and the time factor of its next use; a new bath, a
// fresh bottle, a clearing test, taking back the last use, removing a bath,
// and the fields of the bath chosen in the list (its wear and how its time
// follows its temperature). Every change is written at once by the store.
class BathsPage : public LazyPage
{
    Q_OBJECT
public:
    explicit BathsPage(AppContext &context, QWidget *parent = nullptr, Build when = Build::Now);

    // The list again, when the store changed since it was last drawn.
    void refresh();
    // The bath chosen in the list; empty when none is.
    QString selectedBath() const;
    void selectBath(const QString &name);

    void btnBathNewClick();
    void btnBathFreshClick();
    void btnBathClearingClick();
    void btnBathTakeBackClick();
    void btnBathRemoveClick();
    void btnBathSaveClick();

protected:
    void buildControls() override;
    void retranslateControls(const LanguageTable &texts) override;
    void showEvent(QShowEvent *event) override;

private:
    // The bath the fields describe; raises the "not valid" message.
    Bath bathOfFields() const;
    void showBath(const Bath *bath);
    void fillList();
    void enableFields();

    AppContext &m_ctx;
    quint64 m_shownRevision = ~quint64(0);
    QStringList m_columns;
    BathTexts m_bathTexts;
    QString m_removeQuestion = QStringLiteral("Supprimer le bain %1 et son historique ?");
    QString m_takeBackQuestion =
        QStringLiteral("Reprendre la dernière utilisation de %1 (%2 films) ?");
    QString m_notValid = QStringLiteral(
        "Ce bain n'est pas valable : il lui faut un nom, un volume, une usure et une température.");
    QString m_nameTaken = QStringLiteral("Un bain porte déjà le nom %1.");

    QTreeWidget *lvBaths = nullptr;
    QPushButton *btnBathNew = nullptr, *btnBathFresh = nullptr, *btnBathClearing = nullptr,
                *btnBathTakeBack = nullptr, *btnBathRemove = nullptr, *btnBathSave = nullptr;
    LabeledEdit *lbleBathClearing = nullptr;
    QGroupBox *grpbxBath = nullptr;
    LabeledEdit *lbleBathName = nullptr, *lbleBathFormula = nullptr, *lbleBathVolume = nullptr,
                *lbleBathParameter = nullptr, *lbleBathCapacity = nullptr,
                *lbleBathShelfLife = nullptr, *lbleBathPerDegree = nullptr,
                *lbleBathTable = nullptr;
    QLabel *lblBathWear = nullptr, *lblBathTemperature = nullptr;
    QComboBox *cmbBathWear = nullptr, *cmbBathTemperature = nullptr;
};
