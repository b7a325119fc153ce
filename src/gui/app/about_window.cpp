#include "gui/app/about_window.h"

#include "core/app/command_line.h"
#include "core/app/language.h"
#include "gui/shell_open.h"
#include "gui/widgets.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>

#include <functional>

namespace {

// The window's size including the desktop's frame.
constexpr QSize kOuterSize(423, 260);

// A label that acts as a link: it reports mouse moves (tracking on, so no
// button needs to be held) and clicks released over it.
class LinkLabel : public QLabel
{
public:
    LinkLabel(QWidget *parent, const QString &name, const QString &text, const QRect &bounds)
        : QLabel(parent)
    {
        setTextFormat(Qt::PlainText);
        setText(text);
        placed(this, name, bounds, {arialFont(13, false, true)});
        setMouseTracking(true);
    }
    std::function<void()> onClick;
    std::function<void()> onMove;

protected:
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (onMove)
            onMove();
        event->accept(); // not the window's background
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            onClick)
            onClick();
    }
};

// How much the desktop's frame adds to the window. The window's own frame is
// known once it exists on screen (at once on some platforms, only after a first
// showing on others); until then the frame of a top-level window already on
// screen (the main window, when "?" is clicked) stands in for it. With nothing
// known the client area gets the whole outer size.
QSize frameExtent(const QWidget *self)
{
    const auto extentOf = [](const QWidget *w) {
        const QSize extra = w->frameGeometry().size() - w->geometry().size();
        const bool plausible = extra.width() >= 0 && extra.height() >= 0 && extra.width() < 100 &&
                               extra.height() < 100;
        return plausible ? extra : QSize(0, 0);
    };
    if (self->windowHandle()) {
        const QSize own = extentOf(self);
        if (!own.isNull())
            return own;
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *w : windows) {
        if (w == self || !w->isVisible())
            continue;
        const QSize extra = extentOf(w);
        if (!extra.isNull())
            return extra;
    }
    return {0, 0};
}

} // namespace

TfrmAbout::TfrmAbout(const QDir &workingFolder, QWidget *parent)
    : QDialog(parent), m_workingFolder(workingFolder)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFont(arialFont(11));
    setBackColor(this, 0xFF00000Fu);
    // Moves over the bare background restore the default cursor.
    setMouseTracking(true);

    lblTitel = makeLabel(this, QStringLiteral("lblTitel"),
                         QStringLiteral("Noctarel - Version ") + programVersion(),
                         QRect(71, 8, 274, 29), Qt::AlignCenter, {arialFont(24, true)});
    lblCopyright = makeLabel(this, QStringLiteral("lblCopyright"),
                             QStringLiteral("© 2026 Les développeurs de Noctarel"),
                             QRect(52, 49, 311, 19), Qt::AlignCenter, {arialFont(16, true)});

    auto *mail = new LinkLabel(this, QStringLiteral("lblEmailAddress"),
                               QStringLiteral("contact@noctarel.org"), QRect(60, 81, 126, 16));
    mail->onClick = [this] { lblEmailAddressClick(); };
    mail->onMove = [this] { lblEmailAddressMouseMove(); };
    lblEmailAddress = mail;

    auto *web = new LinkLabel(this, QStringLiteral("lblWebPage"),
                              QStringLiteral("https://noctarel.org"), QRect(220, 81, 137, 16));
    web->onClick = [this] { lblWebPageClick(); };
    web->onMove = [this] { lblWebPageMouseMove(); };
    lblWebPage = web;

    mmoLegal = placed(new QPlainTextEdit(this), QStringLiteral("mmoLegal"), {8, 112, 401, 76},
                      {arialFont(11)});
    mmoLegal->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mmoLegal->setPlainText(legalText());

    lblDocTitel = makeLabel(this, QStringLiteral("lblDocTitel"), QStringLiteral("Documentation:"),
                            QRect(120, 198, 100, 16), Qt::AlignLeft | Qt::AlignVCenter,
                            {arialFont(13, true)});

    auto *doc = new LinkLabel(this, QStringLiteral("lblDoc"), QStringLiteral("tavo.pdf"),
                              QRect(231, 198, 47, 16));
    doc->onClick = [this] { lblDocClick(); };
    doc->onMove = [this] { lblDocMouseMove(); };
    lblDoc = doc;

    placeOnScreen();
}

TfrmAbout::~TfrmAbout()
{
    showDefaultCursor();
}

QString TfrmAbout::legalText()
{
    return QStringLiteral(
        "Noctarel est un logiciel libre : vous pouvez le redistribuer et le modifier selon les "
        "termes de la Licence publique générale GNU, version 3 ou toute version ultérieure. "
        "Il est fourni « tel quel », SANS AUCUNE GARANTIE, expresse ou implicite, notamment "
        "de qualité marchande ou d'adéquation à un usage particulier. Vous l'utilisez à vos "
        "propres risques.");
}

void TfrmAbout::lblWebPageClick()
{
    open(lblWebPage->text());
}

void TfrmAbout::lblWebPageMouseMove()
{
    showHandCursor();
}

void TfrmAbout::lblEmailAddressClick()
{
    open(QStringLiteral("mailto:") + lblEmailAddress->text());
}

void TfrmAbout::lblEmailAddressMouseMove()
{
    showHandCursor();
}

void TfrmAbout::lblDocClick()
{
    // A relative name: the guide is looked for in the working folder.
    open(lblDoc->text());
}

void TfrmAbout::open(const QString &text)
{
    if (!OpenWithShell(text, m_workingFolder) && m_notOpened)
        m_notOpened(text);
}

void TfrmAbout::retranslate(const LanguageTable &t)
{
    QString title = QStringLiteral("About");
    t.take(LanguageEntry::AboutTitle, title);
    setWindowTitle(title);
    QString doc = QStringLiteral("Documentation:");
    t.take(LanguageEntry::GuideCaption, doc);
    setCaption(lblDocTitel, doc);
}

void TfrmAbout::lblDocMouseMove()
{
    showHandCursor();
}

void TfrmAbout::FormMouseMove()
{
    showDefaultCursor();
}

// The hand is application-wide: it stays while the mouse crosses the other
// labels and the memo, until the bare background is reached.
void TfrmAbout::showHandCursor()
{
    if (m_handShown) {
        QGuiApplication::changeOverrideCursor(Qt::PointingHandCursor);
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
    m_handShown = true;
}

void TfrmAbout::showDefaultCursor()
{
    if (!m_handShown)
        return;
    QGuiApplication::restoreOverrideCursor();
    m_handShown = false;
}

void TfrmAbout::placeOnScreen()
{
    const QSize extra = frameExtent(this);
    setFixedSize(kOuterSize - extra);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect outer(QPoint(0, 0), kOuterSize);
        outer.moveCenter(screen->availableGeometry().center());
        move(outer.topLeft());
    }
}

void TfrmAbout::showEvent(QShowEvent *event)
{
    // Edits of the notice are not kept from one showing to the next.
    mmoLegal->setPlainText(legalText());
    QDialog::showEvent(event);
    placeOnScreen();
}

void TfrmAbout::hideEvent(QHideEvent *event)
{
    // Left straight for the title bar, the mouse never crossed the background:
    // the hand must not outlive the window.
    showDefaultCursor();
    QDialog::hideEvent(event);
}

void TfrmAbout::mouseMoveEvent(QMouseEvent *event)
{
    // With a button held, moves over the other labels reach the window too;
    // only the bare background counts.
    if (!childAt(event->position().toPoint()))
        FormMouseMove();
    QDialog::mouseMoveEvent(event);
}
