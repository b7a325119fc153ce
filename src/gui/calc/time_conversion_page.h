#pragma once

#include "gui/lazy_page.h"

#include <QLineEdit>

class Dialogs;
class SoundOutput;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class StringGrid;
struct AppContext;

// A time field hh:mm:ss with a one-digit or two-digit hour. Once edited it
// refuses to be left (or Enter) while a required digit is blank; Escape puts
// back the text it had when it got the focus. A refusal beeps through sound,
// when there is one.
class TimeMaskEdit : public QLineEdit
{
    Q_OBJECT
public:
    TimeMaskEdit(QWidget *parent, Dialogs &dialogs, SoundOutput *sound);

    // The text with blanks for unfilled positions: "  :  :  " when empty.
    QString maskedText() const;
    // Edited and left with a required digit blank.
    bool editIsInvalid() const { return isModified() && !hasAcceptableInput(); }
    // Beeps, takes the focus back and shows the error box.
    void refuse();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Dialogs &m_dialogs;
    SoundOutput *m_sound;
    QString m_previous; // display text at entry, "_" for blanks
    bool m_reentering = false;
    bool m_refusing = false; // the error box is up
};

// The Conversion Temps page: a development time at a reference temperature
// compensated for a new temperature, with the eleven whole temperatures
// around it.
class TimeConversionPage : public LazyPage
{
    Q_OBJECT
public:
    explicit TimeConversionPage(AppContext &context, QWidget *parent = nullptr,
                                Build when = Build::Now);

    void btnDEVTGoClick();
    // The selected item of rgrpDEVTUnit: 0 Celsius, 1 Fahrenheit.
    int unitIndex() const;

    void setDecimalSeparator(QChar separator) { m_separator = separator; }

protected:
    void buildControls() override;
    void retranslateControls(const LanguageTable &texts) override;
    void recolourControls(quint32 colour) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QGroupBox *rgrpDEVTUnit = nullptr;
    QRadioButton *rbtnDEVTCelsius = nullptr, *rbtnDEVTFahrenheit = nullptr;
    QLabel *lblDEVTOld = nullptr, *lblDEVTTemp1 = nullptr, *lblDEVTTime1 = nullptr,
           *lblDEVTNew = nullptr, *lblDEVTTemp2 = nullptr, *lblDEVTTime2 = nullptr;
    QLineEdit *edtDEVTTemp1 = nullptr, *edtDEVTTemp2 = nullptr;
    TimeMaskEdit *mskedtDEVTTime1 = nullptr;
    QLabel *pnlDEVTTime2 = nullptr;
    QPushButton *btnDEVTGo = nullptr;
    StringGrid *sgrdDEVT = nullptr;

    AppContext &m_ctx;
    QButtonGroup *m_unit = nullptr;
    QChar m_separator;
};
