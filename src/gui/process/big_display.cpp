#include "gui/process/big_display.h"

#include "core/base/colors.h"
#include "core/process/process_engine.h"
#include "gui/dialogs.h"
#include "gui/process/process_tab.h"
#include "gui/widgets.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

// The shares of the screen's height, top to bottom.
constexpr double kStepTop = 0.02, kTimeTop = 0.20, kStateTop = 0.555, kAgitTop = 0.64,
                 kAgitBottom = 0.80;
constexpr double kBarTop = 0.83, kBandTop = 0.87, kBandBottom = 0.98;
constexpr double kSideMargin = 0.02;
constexpr double kTemperatureTop = 0.56, kStateWithTemperatureTop = 0.49;

// What the fitted size of a text depends on: its digits all have one width.
QString shapeOf(const QString &text)
{
    QString shape = text;
    for (QChar &c : shape)
        if (c.isDigit())
            c = QLatin1Char('0');
    return shape;
}

} // namespace

int fittingPixelSize(const QFont &font, const QString &text, const QSize &box)
{
    if (box.width() <= 0 || box.height() <= 0)
        return 1;
    QFont f = font;
    // Sizes scale nearly in proportion: measure once, then step down past
    // what hinting adds.
    constexpr int reference = 100;
    f.setPixelSize(reference);
    const QFontMetricsF ref(f);
    const double width = text.isEmpty() ? 0.0 : ref.horizontalAdvance(text);
    double scale = box.height() / ref.height();
    if (width > 0)
        scale = std::min(scale, box.width() / width);
    int size = std::max(1, static_cast<int>(std::floor(reference * scale)));
    while (size > 1) {
        f.setPixelSize(size);
        const QFontMetricsF m(f);
        if (m.height() <= box.height() &&
            (text.isEmpty() || m.horizontalAdvance(text) <= box.width()))
            break;
        size -= std::max(1, size / 50);
    }
    return size;
}

BigDisplay::BigDisplay(ProcessEngine &engine, QWidget *parent)
    : QWidget(parent, Qt::Window), m_engine(engine)
{
    setObjectName(QStringLiteral("frmBigDisplay"));
    setWindowTitle(applicationTitle());
    setBackColor(this, Colors::Black);
    // No pointer over the figures.
    setCursor(Qt::BlankCursor);

    const auto label = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setAlignment(Qt::AlignCenter);
        l->setTextFormat(Qt::PlainText);
        l->setFont(arialFont(10, true));
        return l;
    };
    StepLabel = label("lblBigStep");
    TimeLabel = label("lblBigTime");
    StateLabel = label("lblBigState");
    AgitLabel = label("lblBigAgit");
    BandLabel = label("lblBigBand");
    TemperatureLabel = label("lblBigTemperature");

    Gauge = placed(new QProgressBar(this), QStringLiteral("ggeBig"), {});
    Gauge->setRange(0, 100);
    Gauge->setTextVisible(false);
    setBackColor(Gauge, 0x202020u);

    BandTimer = new QTimer(this);
    BandTimer->setObjectName(QStringLiteral("tmrBigBand"));
    BandTimer->setSingleShot(true);
    BandTimer->setInterval(BandMilliseconds);
    connect(BandTimer, &QTimer::timeout, BandLabel, &QLabel::clear);
}

void BigDisplay::follow(ProcessTab *tab)
{
    m_tab = tab;
    render();
}

void BigDisplay::render()
{
    if (!m_tab)
        return;
    const ProcessFace &f = m_engine.face(m_tab->index());
    const auto draw = [this](QLabel *l, const ProcessFace::Label &face) {
        setFontColor(l, face.color);
        if (l->text() != face.text) {
            l->setText(face.text);
            fit(l);
        }
    };
    draw(StepLabel, f.step);
    draw(TimeLabel, f.time);
    draw(StateLabel, f.state);
    draw(AgitLabel, f.agit);
    if (m_withTemperature != !f.temperatureLine.isEmpty()) {
        m_withTemperature = !f.temperatureLine.isEmpty();
        place();
    }
    draw(TemperatureLabel, {f.temperatureLine, f.time.color});
    QPalette pal = Gauge->palette();
    pal.setColor(QPalette::Highlight, shownColors(f.time.color, Colors::Black).first);
    Gauge->setPalette(pal);
    Gauge->setValue(std::clamp(f.gauge, 0, 100));
}

void BigDisplay::notice(ProcessTab *tab)
{
    if (!tab)
        return;
    const ProcessFace &f = m_engine.face(tab->index());
    const QString name = tab->caption();
    BandLabel->setText(name + QStringLiteral("  \u2013  ") + f.step.text + QStringLiteral("  ") +
                       f.time.text);
    setFontColor(BandLabel, f.step.color);
    fit(BandLabel);
    BandTimer->start();
}

void BigDisplay::showAhead(const QString &text)
{
    if (BandTimer->isActive() || BandLabel->text() == text)
        return;
    BandLabel->setText(text);
    setFontColor(BandLabel, Colors::Red);
    fit(BandLabel);
}

void BigDisplay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

void BigDisplay::place()
{
    const int w = width();
    const int h = height();
    const int side = static_cast<int>(std::lround(w * kSideMargin));
    const auto band = [&](double top, double bottom) {
        const int y0 = static_cast<int>(std::lround(h * top));
        const int y1 = static_cast<int>(std::lround(h * bottom));
        return QRect(side, y0, w - 2 * side, std::max(1, y1 - y0));
    };
    StepLabel->setGeometry(band(kStepTop, kTimeTop));
    // The state's words under the time, and the temperature's line under
    // them when the step has one.
    const double stateTop = m_withTemperature ? kStateWithTemperatureTop : kStateTop;
    const double stateBottom = m_withTemperature ? kTemperatureTop : kAgitTop;
    TimeLabel->setGeometry(band(kTimeTop, stateTop));
    StateLabel->setGeometry(band(stateTop, stateBottom));
    TemperatureLabel->setGeometry(band(kTemperatureTop, kAgitTop));
    TemperatureLabel->setVisible(m_withTemperature);
    AgitLabel->setGeometry(band(kAgitTop, kAgitBottom));
    BandLabel->setGeometry(band(kBandTop, kBandBottom));
    QRect bar = band(kBarTop, kBarTop);
    bar.setHeight(std::max(4, h / 100));
    Gauge->setGeometry(bar);
    for (QLabel *l : {StepLabel, TimeLabel, StateLabel, AgitLabel, BandLabel, TemperatureLabel}) {
        l->setProperty("fittedShape", QVariant());
        fit(l);
    }
}

void BigDisplay::fit(QLabel *label)
{
    // Refitted only when more than the digits changed, or the box did.
    const QString shape = shapeOf(label->text());
    const QVariant fitted = label->property("fittedShape");
    if (fitted.isValid() && fitted.toString() == shape)
        return;
    label->setProperty("fittedShape", shape);
    if (shape.isEmpty())
        return;
    QFont f = label->font();
    f.setPixelSize(fittingPixelSize(f, label->text(), label->contentsRect().size()));
    label->setFont(f);
}
