#pragma once

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QRect>
#include <QString>
#include <optional>
#include <utility>

class QAbstractButton;
class QGroupBox;
class QLocale;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// Stored colour values (0x00BBGGRR, system colours with 0xFF in the high byte)
// to Qt and back onto widgets.
QColor toQColor(quint32 value);
// The text colour of a label, field, button, memo or panel.
void setFontColor(QWidget *w, quint32 value);
quint32 fontColorOf(const QWidget *w);
void setBackColor(QWidget *w, quint32 value);
// The text and background colours shown for stored ones (invalid for none):
// as stored, or in the safelight view's shades while it is on.
std::pair<QColor, QColor> shownColors(quint32 text, quint32 back);
// Sets the palette of a control again from its stored colours, after the
// safelight view was turned on or off.
void refreshStoredColors(QWidget *w);

// Fonts are given by character height in pixels.
QFont arialFont(int pixelHeight, bool bold = false, bool underline = false);

// The memo's text with '\n' line breaks and every other character as typed
// (toPlainText turns non-breaking spaces into plain ones).
QString memoText(const QPlainTextEdit *memo);
void setMemoLines(QPlainTextEdit *memo, const QStringList &lines);

// A QLineEdit keeps at most 32767 characters and cuts a longer text silently,
// which an editor would then save cut: the fields that show file texts take
// any length.
void acceptAnyLength(QLineEdit *edit);

// A field of one line turns each line break (CR LF, CR, LF) and TAB that a
// paste or a drop brings into a space as it arrives: a copied line usually ends
// with a line break, and the file the field is saved to holds it on one line.
// Every field made here and every grid cell's editor does this.
void keepOnOneLine(QLineEdit *edit);

// Return or Enter in any of the fields presses the button (a calculator's
// Calcul or Conversion), as a user who has typed a number expects.
void pressOnEnter(QAbstractButton *button, const QList<QLineEdit *> &fields);

// A plain arrow picture for the row buttons, drawn rather than looked up in
// the icon theme (a theme search costs milliseconds at start-up).
QIcon arrowIcon(bool up);

// The layout assumes Arial metrics: where Arial itself is missing, its metric
// twin stands in by name, which also spares a font search per control.
void installFontSubstitutes();

// Qt's own texts (the buttons of a question, the file pickers) in the
// language of locale, from Qt's translations where they are installed; the
// texts of an earlier call go. False when Qt has none for it (English stays).
bool installQtTranslations(const QLocale &locale);

// Installs the hourglass hooks of the core's BusyCursor.
void installBusyCursorHooks();

// How a control looks: its font (none: its parent's) and its text and
// background colours as stored colour values (Keep: the palette's). The text
// colour is readable back with fontColorOf (the timer labels record the state
// of a process in it).
struct Looks
{
    static constexpr quint32 Keep = 0xFFFFFFFFu;
    std::optional<QFont> font;
    quint32 text = Keep;
    quint32 back = Keep;
};
void applyLooks(QWidget *w, const Looks &looks);
// The calculators' numbers, fields and result panels: red Arial 32 on black.
Looks numberLooks();
// The calculators' captions: black Arial 19.
Looks captionLooks();

// The builders of the pages' controls: each control carries its name and
// stands where the layout puts it, in pixels.

// Names w, gives it its looks and its bounds; returns w.
template <class W>
W *placed(W *w, const QString &name, const QRect &bounds, const Looks &looks = {})
{
    w->setObjectName(name);
    applyLooks(w, looks);
    w->setGeometry(bounds);
    return w;
}
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption,
                        const QRect &bounds, const Looks &looks = {});
// A button with an up or down arrow picture and no caption.
QPushButton *makeArrowButton(QWidget *parent, const QString &name, bool up, const QRect &bounds);
QGroupBox *makeGroup(QWidget *parent, const QString &name, const QString &caption,
                     const QRect &bounds, const Looks &looks = {});
QRadioButton *makeRadio(QWidget *parent, const QString &name, const QString &caption,
                        const QRect &bounds);
QLineEdit *makeField(QWidget *parent, const QString &name, const QRect &bounds,
                     const Looks &looks = {});
// A memo in which the TAB key types a TAB, wrapped, with a vertical scroll bar.
QPlainTextEdit *makeMemo(QWidget *parent, const QString &name, const QRect &bounds);
// Labels show their text as it stands, never as rich text.
// A label sized to its text, its top left corner at `at`.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, QPoint at,
                  const Looks &looks = {});
// A label of fixed bounds, its text aligned in them.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &bounds,
                  Qt::Alignment alignment, const Looks &looks = {});
// A result panel: plain text, left-aligned, in a sunken frame.
QLabel *makePanel(QWidget *parent, const QString &name, const QRect &bounds,
                  const Looks &looks = {});

// How a text shows in room pixels, from a font: in the font when it fits,
// else in a smaller size down to half of it (8 pixels at least), else cut
// with "…" at that size. whole tells whether all of it shows.
struct FittedText
{
    QFont font;
    QString text;
    bool whole = true;
};
FittedText fitText(const QFont &font, const QString &text, int room);
// Shows text on a label, button or check box within room pixels of its width
// (its own width when none is given), fitted: made smaller, or cut with "…"
// and the whole text as its tooltip. The font is the control's as made.
void showFitted(QWidget *w, const QString &text, int room = -1);
// The whole text last given to showFitted, or the control's text.
QString wholeText(const QWidget *w);

// A caption from the language texts: a label sized to its text takes the
// text's size (one that wraps keeps its bounds), a label of fixed bounds, a
// button or a check box shows it fitted to its width.
void setCaption(QLabel *label, const QString &text);
void setCaption(QAbstractButton *button, const QString &text);

// Shows the controls made on a page after the page itself was shown: Qt shows
// the children of a widget as it is shown, never those made later.
void showControlsMadeLate(QWidget *page);

// An edit field with its own label beside or above it. The label follows the
// caption's width, placed as the platform's labelled edit places it.
class LabeledEdit : public QLineEdit
{
    Q_OBJECT
public:
    enum class LabelPosition
    {
        Left,
        Above
    };
    LabeledEdit(QWidget *parent, const QString &name, const QString &caption,
                LabelPosition position, const QRect &bounds);

    QLabel *editLabel() const { return m_label; }
    void setCaption(const QString &caption);
    // The whole caption, however it is shown.
    QString caption() const { return m_caption; }
    void setLabelFont(const QFont &font);
    void placeLabel();
    void setVisible(bool visible) override;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QLabel *m_label;
    LabelPosition m_position;
    QString m_caption;
};
