#include "gui/widgets.h"

#include "core/base/busy_cursor.h"
#include "core/base/colors.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPolygonF>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>

#include <limits>

QColor toQColor(quint32 value)
{
    if ((value & 0xFF000000u) == 0xFF000000u) {
        const QPalette pal = QGuiApplication::palette();
        switch (value & 0xFFu) {
        case 0x05:
            return pal.color(QPalette::Base);
        case 0x08:
            return pal.color(QPalette::Text);
        case 0x0F:
            return pal.color(QPalette::Button);
        case 0x0D:
            return pal.color(QPalette::Highlight);
        case 0x0E:
            return pal.color(QPalette::HighlightedText);
        default:
            return pal.color(QPalette::Window);
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

static const char *const kFontColorProperty = "noctarelFontColor";

void setFontColor(QWidget *w, quint32 value)
{
    if (!w)
        return;
    const QVariant old = w->property(kFontColorProperty);
    if (old.isValid() && old.toUInt() == value)
        return;
    QPalette pal = w->palette();
    const QColor c = toQColor(value);
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Text, c);
    pal.setColor(QPalette::ButtonText, c);
    w->setPalette(pal);
    w->setProperty(kFontColorProperty, value);
}

quint32 fontColorOf(const QWidget *w)
{
    const QVariant v = w ? w->property(kFontColorProperty) : QVariant();
    return v.isValid() ? v.toUInt() : Colors::WindowText;
}

void setBackColor(QWidget *w, quint32 value)
{
    QPalette pal = w->palette();
    const QColor c = toQColor(value);
    pal.setColor(QPalette::Window, c);
    pal.setColor(QPalette::Base, c);
    pal.setColor(QPalette::Button, c);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QFont arialFont(int pixelHeight, bool bold, bool underline)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelHeight < 0 ? -pixelHeight : pixelHeight);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

QString memoText(const QPlainTextEdit *memo)
{
    QString text = memo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void setMemoLines(QPlainTextEdit *memo, const QStringList &lines)
{
    memo->setPlainText(lines.join(QLatin1Char('\n')));
}

void acceptAnyLength(QLineEdit *edit)
{
    edit->setMaxLength(std::numeric_limits<int>::max());
}

QIcon arrowIcon(bool up)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    const QPolygonF head =
        up ? QPolygonF({{8, 2}, {14, 9}, {2, 9}}) : QPolygonF({{8, 14}, {14, 7}, {2, 7}});
    p.drawPolygon(head);
    p.drawRect(up ? QRectF(6, 9, 4, 5) : QRectF(6, 2, 4, 5));
    return QIcon(pixmap);
}

void installFontSubstitutes()
{
    // The list of installed families, not hasFamily(): that one resolves
    // aliases through fontconfig, the very search this saves.
    const QStringList installed = QFontDatabase::families();
    const QString twin = QStringLiteral("Liberation Sans");
    if (!installed.contains(twin))
        return;
    for (const QString &family : {QStringLiteral("Arial"), QStringLiteral("MS Sans Serif")})
        if (!installed.contains(family))
            QFont::insertSubstitution(family, twin);
}

void installBusyCursorHooks()
{
    BusyCursor::installHooks([] { QGuiApplication::setOverrideCursor(Qt::WaitCursor); },
                             [] { QGuiApplication::restoreOverrideCursor(); });
}

void applyLooks(QWidget *w, const Looks &looks)
{
    if (looks.font)
        w->setFont(*looks.font);
    if (looks.text != Looks::Keep)
        setFontColor(w, looks.text);
    if (looks.back != Looks::Keep)
        setBackColor(w, looks.back);
}

Looks numberLooks()
{
    return {arialFont(32), Colors::Red, Colors::Black};
}

Looks captionLooks()
{
    return {arialFont(19), Colors::Black};
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption,
                        const QRect &bounds, const Looks &looks)
{
    return placed(new QPushButton(caption, parent), name, bounds, looks);
}

QPushButton *makeArrowButton(QWidget *parent, const QString &name, bool up, const QRect &bounds)
{
    QPushButton *b = makeButton(parent, name, QString(), bounds);
    b->setIcon(arrowIcon(up));
    return b;
}

QGroupBox *makeGroup(QWidget *parent, const QString &name, const QString &caption,
                     const QRect &bounds, const Looks &looks)
{
    return placed(new QGroupBox(caption, parent), name, bounds, looks);
}

QRadioButton *makeRadio(QWidget *parent, const QString &name, const QString &caption,
                        const QRect &bounds)
{
    return placed(new QRadioButton(caption, parent), name, bounds);
}

QLineEdit *makeField(QWidget *parent, const QString &name, const QRect &bounds, const Looks &looks)
{
    return placed(new QLineEdit(parent), name, bounds, looks);
}

QPlainTextEdit *makeMemo(QWidget *parent, const QString &name, const QRect &bounds)
{
    auto *m = placed(new QPlainTextEdit(parent), name, bounds);
    m->setTabChangesFocus(false);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return m;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, QPoint at,
                  const Looks &looks)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    applyLooks(l, looks);
    l->adjustSize();
    l->move(at);
    return l;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &bounds,
                  Qt::Alignment alignment, const Looks &looks)
{
    auto *l = placed(new QLabel(text, parent), name, bounds, looks);
    l->setAlignment(alignment);
    return l;
}

QLabel *makePanel(QWidget *parent, const QString &name, const QRect &bounds, const Looks &looks)
{
    QLabel *p = makeLabel(parent, name, QString(), bounds, Qt::AlignLeft | Qt::AlignVCenter, looks);
    p->setTextFormat(Qt::PlainText);
    p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p->setLineWidth(1);
    return p;
}

LabeledEdit::LabeledEdit(QWidget *parent, const QString &name, const QString &caption,
                         LabelPosition position, const QRect &bounds)
    : QLineEdit(parent), m_label(new QLabel(caption, parent)), m_position(position)
{
    setObjectName(name);
    m_label->setObjectName(name + QStringLiteral("Label"));
    m_label->setBuddy(this);
    acceptAnyLength(this);
    setGeometry(bounds);
    placeLabel();
}

void LabeledEdit::setCaption(const QString &caption)
{
    m_label->setText(caption);
    placeLabel();
}

void LabeledEdit::setLabelFont(const QFont &font)
{
    m_label->setFont(font);
    placeLabel();
}

void LabeledEdit::placeLabel()
{
    constexpr int spacing = 3;
    m_label->adjustSize();
    if (m_position == LabelPosition::Left) {
        m_label->move(x() - m_label->width() - spacing, y() + (height() - m_label->height()) / 2);
    } else {
        m_label->move(x(), y() - m_label->height() - spacing);
    }
}

void LabeledEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void LabeledEdit::moveEvent(QMoveEvent *event)
{
    QLineEdit::moveEvent(event);
    placeLabel();
}

void LabeledEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        m_label->setEnabled(isEnabled());
}

void LabeledEdit::setVisible(bool visible)
{
    QLineEdit::setVisible(visible);
    m_label->setVisible(visible);
}
