#include "gui/safelight.h"

#include "core/base/safelight_colors.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QWidget>

#include <algorithm>

namespace {

bool g_on = false;
int g_level = SafelightColors::BrightestLevel;
QPalette g_before;
QString g_styleBefore;

// The style's own shading is partly fixed colours (a faint white line inside
// frames, buttons and tabs) that no palette reaches. Drawn through this, every
// frame, button, tab, scroll bar and gauge keeps its shape and shading but
// only in red: each pixel takes the brightest of its three channels as red.
class SafelightStyle final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        inRed(painter, option->rect,
              [&](QPainter *p) { QProxyStyle::drawPrimitive(element, option, p, widget); });
    }
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        inRed(painter, option->rect,
              [&](QPainter *p) { QProxyStyle::drawControl(element, option, p, widget); });
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget) const override
    {
        inRed(painter, option->rect,
              [&](QPainter *p) { QProxyStyle::drawComplexControl(control, option, p, widget); });
    }

    // The message boxes' icons are pictures of fixed colours (a white cross on
    // bright red): they take the view's dim red, their shapes kept by their
    // brightness.
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option,
                       const QWidget *widget) const override
    {
        const QIcon own = QProxyStyle::standardIcon(icon, option, widget);
        switch (icon) {
        case SP_MessageBoxInformation:
        case SP_MessageBoxWarning:
        case SP_MessageBoxCritical:
        case SP_MessageBoxQuestion:
            break;
        default:
            return own;
        }
        QIcon dim;
        for (const int side : {16, 24, 32, 48, 64, 128}) {
            QImage image = own.pixmap(side).toImage().convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < image.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x)
                    line[x] =
                        qRgba(SafelightColors::dimChannel(qGray(line[x]) * kIconRed / 255, g_level),
                              0, 0, qAlpha(line[x]));
            }
            dim.addPixmap(QPixmap::fromImage(image));
        }
        return dim;
    }

private:
    // The brightest an icon's pixel becomes: the view's text.
    static constexpr int kIconRed = 0x98;

    template <class Draw> static void inRed(QPainter *painter, const QRect &rect, const Draw &draw)
    {
        // Room for what a style draws just outside its rectangle.
        constexpr int pad = 2;
        if (rect.isEmpty() || painter->deviceTransform().type() > QTransform::TxTranslate) {
            draw(painter);
            return;
        }
        const QRect area = rect.adjusted(-pad, -pad, pad, pad);
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QImage image(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHints(painter->renderHints());
            p.setFont(painter->font());
            p.setPen(painter->pen());
            p.setBrush(painter->brush());
            p.translate(-area.topLeft());
            draw(&p);
        }
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = line[x];
                // Premultiplied: a channel is never above the alpha, and the
                // dimmed one stays below it.
                if (qGreen(c) | qBlue(c) || g_level != SafelightColors::BrightestLevel)
                    line[x] = qRgba(SafelightColors::dimChannel(
                                        std::max({qRed(c), qGreen(c), qBlue(c)}), g_level),
                                    0, 0, qAlpha(c));
            }
        }
        painter->drawImage(area.topLeft(), image);
    }
};

QColor red(int value)
{
    return QColor(SafelightColors::dimChannel(value, g_level), 0, 0);
}

// The colours the controls were given, through the map or as they were.
void refreshAll()
{
    for (QWidget *w : QApplication::allWidgets()) {
        refreshStoredColors(w);
        if (auto *grid = qobject_cast<StringGrid *>(w))
            grid->refreshLooks();
        w->update();
    }
}

} // namespace

namespace Safelight {

bool isOn()
{
    return g_on;
}

QPalette palette()
{
    QPalette pal;
    const auto set = [&pal](QPalette::ColorRole role, const QColor &active,
                            const QColor &disabled) {
        pal.setColor(QPalette::Active, role, active);
        pal.setColor(QPalette::Inactive, role, active);
        pal.setColor(QPalette::Disabled, role, disabled);
    };
    set(QPalette::Window, red(0x12), red(0x12));
    set(QPalette::Base, red(0x06), red(0x12));
    set(QPalette::AlternateBase, red(0x0C), red(0x12));
    set(QPalette::Button, red(0x1C), red(0x12));
    set(QPalette::WindowText, red(0x98), red(0x48));
    set(QPalette::Text, red(0x98), red(0x48));
    set(QPalette::ButtonText, red(0x98), red(0x48));
    set(QPalette::BrightText, red(0xC8), red(0x48));
    set(QPalette::PlaceholderText, red(0x50), red(0x30));
    set(QPalette::Highlight, red(0x50), red(0x30));
    set(QPalette::HighlightedText, red(0xD0), red(0x48));
    set(QPalette::Link, red(0xB0), red(0x48));
    set(QPalette::LinkVisited, red(0x80), red(0x48));
    set(QPalette::ToolTipBase, red(0x12), red(0x12));
    set(QPalette::ToolTipText, red(0x98), red(0x48));
    set(QPalette::Light, red(0x34), red(0x24));
    set(QPalette::Midlight, red(0x26), red(0x1C));
    set(QPalette::Mid, red(0x16), red(0x10));
    set(QPalette::Dark, red(0x0A), red(0x08));
    set(QPalette::Shadow, red(0x00), red(0x00));
    return pal;
}

int level()
{
    return g_level;
}

void setLevel(int level)
{
    level = SafelightColors::clampLevel(level);
    if (level == g_level)
        return;
    g_level = level;
    if (g_on) {
        QApplication::setPalette(palette());
        refreshAll();
    }
}

void setOn(bool on)
{
    if (on == g_on)
        return;
    g_on = on;
    if (on) {
        g_before = QApplication::palette();
        g_styleBefore = QApplication::style()->name();
        QApplication::setStyle(new SafelightStyle(QStyleFactory::create(g_styleBefore)));
        QApplication::setPalette(palette());
    } else {
        QApplication::setPalette(g_before);
        QApplication::setStyle(g_styleBefore);
    }
    refreshAll();
}

} // namespace Safelight
