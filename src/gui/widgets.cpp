#include "gui/widgets.h"

#include "core/base/busy_cursor.h"
#include "core/base/colors.h"
#include "core/base/safelight_colors.h"
#include "core/textfile/text_file.h"
#include "gui/safelight.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIconEngine>
#include <QLibraryInfo>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPolygonF>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>
#include <QTranslator>

#include <algorithm>
#include <limits>
#include <memory>

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
static const char *const kBackColorProperty = "noctarelBackColor";
static const char *const kDesignFontProperty = "noctarelDesignFont";
static const char *const kWholeTextProperty = "noctarelWholeText";
static const char *const kSizedToTextProperty = "noctarelSizedToText";

std::pair<QColor, QColor> shownColors(quint32 text, quint32 back)
{
    SafelightColors::Pair pair{text, back};
    if (Safelight::isOn())
        pair = SafelightColors::map(pair, Safelight::level());
    return {pair.text == SafelightColors::None ? QColor() : toQColor(pair.text),
            pair.back == SafelightColors::None ? QColor() : toQColor(pair.back)};
}

// The palette of a control from its stored colours, through the safelight
// view's map while it is on.
static void applyStoredColors(QWidget *w)
{
    const QVariant text = w->property(kFontColorProperty);
    const QVariant back = w->property(kBackColorProperty);
    const auto [textColor, backColor] =
        shownColors(text.isValid() ? text.toUInt() : SafelightColors::None,
                    back.isValid() ? back.toUInt() : SafelightColors::None);
    QPalette pal = w->palette();
    if (textColor.isValid()) {
        pal.setColor(QPalette::WindowText, textColor);
        pal.setColor(QPalette::Text, textColor);
        pal.setColor(QPalette::ButtonText, textColor);
    }
    if (backColor.isValid()) {
        pal.setColor(QPalette::Window, backColor);
        pal.setColor(QPalette::Base, backColor);
        pal.setColor(QPalette::Button, backColor);
    }
    w->setPalette(pal);
}

void refreshStoredColors(QWidget *w)
{
    if (w->property(kFontColorProperty).isValid() || w->property(kBackColorProperty).isValid())
        applyStoredColors(w);
}

void setFontColor(QWidget *w, quint32 value)
{
    if (!w)
        return;
    const QVariant old = w->property(kFontColorProperty);
    if (old.isValid() && old.toUInt() == value)
        return;
    w->setProperty(kFontColorProperty, value);
    applyStoredColors(w);
}

quint32 fontColorOf(const QWidget *w)
{
    const QVariant v = w ? w->property(kFontColorProperty) : QVariant();
    return v.isValid() ? v.toUInt() : Colors::WindowText;
}

void setBackColor(QWidget *w, quint32 value)
{
    w->setProperty(kBackColorProperty, value);
    applyStoredColors(w);
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

namespace {

// Drawn when shown, so that the arrow takes the safelight view's colour.
class ArrowIconEngine final : public QIconEngine
{
public:
    explicit ArrowIconEngine(bool up) : m_up(up) {}
    void paint(QPainter *p, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(Qt::NoPen);
        p->setBrush(Safelight::isOn() ? QGuiApplication::palette().color(QPalette::ButtonText)
                                      : QColor(0x30, 0x30, 0x30));
        p->translate(rect.topLeft());
        p->scale(rect.width() / 16.0, rect.height() / 16.0);
        const QPolygonF head =
            m_up ? QPolygonF({{8, 2}, {14, 9}, {2, 9}}) : QPolygonF({{8, 14}, {14, 7}, {2, 7}});
        p->drawPolygon(head);
        p->drawRect(m_up ? QRectF(6, 9, 4, 5) : QRectF(6, 2, 4, 5));
        p->restore();
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            paint(&p, QRect(QPoint(), size), mode, state);
        }
        if (mode == QIcon::Disabled && QApplication::style()) {
            QStyleOption opt;
            opt.palette = QGuiApplication::palette();
            return QApplication::style()->generatedIconPixmap(mode, pm, &opt);
        }
        return pm;
    }
    QIconEngine *clone() const override { return new ArrowIconEngine(m_up); }

private:
    bool m_up;
};

} // namespace

QIcon arrowIcon(bool up)
{
    return QIcon(new ArrowIconEngine(up));
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

bool installQtTranslations(const QLocale &locale)
{
    static QTranslator *qt = nullptr;
    if (qt) {
        QCoreApplication::removeTranslator(qt);
        delete qt;
        qt = nullptr;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    qt = translator.release();
    QCoreApplication::installTranslator(qt);
    return true;
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

void keepOnOneLine(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &text) {
        if (TextFile::isOneLine(text))
            return;
        const qsizetype cursor = TextFile::oneLine(text.left(edit->cursorPosition())).size();
        edit->setText(TextFile::oneLine(text));
        edit->setCursorPosition(static_cast<int>(cursor));
        // setText counts as no edit: this one came from the user.
        edit->setModified(true);
    });
}

void pressOnEnter(QAbstractButton *button, const QList<QLineEdit *> &fields)
{
    // returnPressed comes only for an acceptable entry: a half-typed time keeps
    // its own refusal.
    for (QLineEdit *field : fields)
        QObject::connect(field, &QLineEdit::returnPressed, button, &QAbstractButton::click);
}

QLineEdit *makeField(QWidget *parent, const QString &name, const QRect &bounds, const Looks &looks)
{
    auto *edit = placed(new QLineEdit(parent), name, bounds, looks);
    keepOnOneLine(edit);
    return edit;
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
    auto *l = new QLabel(parent);
    // Captions, titles and step names come from files: a label that guessed
    // rich text would load the images their markup names.
    l->setTextFormat(Qt::PlainText);
    l->setText(text);
    l->setObjectName(name);
    applyLooks(l, looks);
    l->adjustSize();
    l->move(at);
    l->setProperty(kSizedToTextProperty, true);
    return l;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &bounds,
                  Qt::Alignment alignment, const Looks &looks)
{
    auto *l = placed(new QLabel(parent), name, bounds, looks);
    l->setTextFormat(Qt::PlainText);
    l->setText(text);
    l->setAlignment(alignment);
    return l;
}

QLabel *makePanel(QWidget *parent, const QString &name, const QRect &bounds, const Looks &looks)
{
    QLabel *p = makeLabel(parent, name, QString(), bounds, Qt::AlignLeft | Qt::AlignVCenter, looks);
    p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p->setLineWidth(1);
    return p;
}

FittedText fitText(const QFont &font, const QString &text, int room)
{
    FittedText out{font, text, true};
    const int width = QFontMetrics(font).horizontalAdvance(text);
    if (width <= room)
        return out;
    // A text's width follows its size closely: the size that fits is found
    // from the one measure, then checked, so that few sizes are ever loaded
    // (each new size costs a font engine).
    const int design = font.pixelSize() > 0 ? font.pixelSize() : 11;
    const int floor = std::min(design, std::max(8, design / 2));
    int size =
        std::clamp(int(qint64(design) * std::max(room, 0) / std::max(width, 1)), floor, design - 1);
    for (;; --size) {
        out.font.setPixelSize(size);
        const QFontMetrics metrics(out.font);
        if (metrics.horizontalAdvance(text) <= room)
            return out;
        if (size == floor) {
            out.text = metrics.elidedText(text, Qt::ElideRight, std::max(room, 0));
            out.whole = false;
            return out;
        }
    }
}

// The room for the text of a button or check box of its width.
static int textRoom(const QWidget *w)
{
    const QStyle *style = w->style();
    if (qobject_cast<const QPushButton *>(w))
        return w->width() - 2 * (style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w) + 1);
    if (qobject_cast<const QRadioButton *>(w))
        return w->width() - style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) -
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
    if (qobject_cast<const QAbstractButton *>(w))
        return w->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) -
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
    if (const auto *l = qobject_cast<const QLabel *>(w))
        return l->contentsRect().width();
    return w->width();
}

void showFitted(QWidget *w, const QString &text, int room)
{
    QVariant design = w->property(kDesignFontProperty);
    if (!design.isValid()) {
        design = w->font();
        w->setProperty(kDesignFontProperty, design);
    }
    const FittedText shown = fitText(design.value<QFont>(), text, room < 0 ? textRoom(w) : room);
    w->setProperty(kWholeTextProperty, text);
    if (w->font() != shown.font)
        w->setFont(shown.font);
    if (auto *l = qobject_cast<QLabel *>(w))
        l->setText(shown.text);
    else if (auto *b = qobject_cast<QAbstractButton *>(w))
        b->setText(shown.text);
    w->setToolTip(shown.whole ? QString() : text);
}

QString wholeText(const QWidget *w)
{
    const QVariant whole = w->property(kWholeTextProperty);
    if (whole.isValid())
        return whole.toString();
    if (const auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    if (const auto *b = qobject_cast<const QAbstractButton *>(w))
        return b->text();
    return QString();
}

void setCaption(QLabel *label, const QString &text)
{
    if (label->wordWrap()) {
        label->setText(text);
    } else if (label->property(kSizedToTextProperty).toBool()) {
        label->setText(text);
        label->adjustSize();
    } else {
        showFitted(label, text);
    }
}

void setCaption(QAbstractButton *button, const QString &text)
{
    showFitted(button, text);
}

void showControlsMadeLate(QWidget *page)
{
    if (!page->isVisible())
        return;
    for (QObject *child : page->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        // One hidden on purpose (a process's title field) stays hidden.
        if (w && !w->isWindow() && !w->testAttribute(Qt::WA_WState_ExplicitShowHide))
            w->show();
    }
}

LabeledEdit::LabeledEdit(QWidget *parent, const QString &name, const QString &caption,
                         LabelPosition position, const QRect &bounds)
    : QLineEdit(parent), m_label(new QLabel(parent)), m_position(position)
{
    m_label->setTextFormat(Qt::PlainText);
    m_label->setText(caption);
    m_caption = caption;
    setObjectName(name);
    m_label->setObjectName(name + QStringLiteral("Label"));
    m_label->setBuddy(this);
    acceptAnyLength(this);
    keepOnOneLine(this);
    setGeometry(bounds);
    placeLabel();
}

void LabeledEdit::setCaption(const QString &caption)
{
    m_caption = caption;
    m_label->setText(caption);
    placeLabel();
}

void LabeledEdit::setLabelFont(const QFont &font)
{
    m_label->setFont(font);
    m_label->setProperty(kDesignFontProperty, QVariant());
    placeLabel();
}

void LabeledEdit::placeLabel()
{
    constexpr int spacing = 3;
    if (m_position == LabelPosition::Left) {
        // Within the parent: what does not fit on the left is fitted.
        const int room = x() - spacing - 2;
        showFitted(m_label, m_caption, room);
    }
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
