#include "app_fixture.h"
#include "gui/app/about_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QUrl>

// Stands in for the desktop's "open": records what it is handed.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

namespace {

// The override cursor's shape, or -1 when none is set.
int overrideShape()
{
    const QCursor *c = QGuiApplication::overrideCursor();
    return c ? int(c->shape()) : -1;
}

constexpr int kHand = Qt::PointingHandCursor;
// A point of the window's own background, clear of every control.
const QPoint kBackground(4, 240);

} // namespace

class TestAboutWindow : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        for (const char *scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &m_desktop, "open");
        m_desktop.urls.clear();
    }

    void cleanup()
    {
        for (const char *scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
        // No test may leave a cursor stacked, nor pass it on to the next one.
        const int left = overrideShape();
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        QCOMPARE(left, -1);
    }

    void windowSizePlaceAndFont()
    {
        TfrmAbout about(QDir::current());
        about.show();
        QCOMPARE(about.windowTitle(), QStringLiteral("About"));
        // The size is the outer one, the frame included.
        QCOMPARE(about.frameGeometry().size(), QSize(423, 260));
        QCOMPARE(about.font().pixelSize(), 11);
        const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY((about.frameGeometry().center() - centre).manhattanLength() <= 1);
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("underline");

        QTest::newRow("lblTitel") << "lblTitel" << QRect(71, 8, 274, 29) << 24 << true << false;
        QTest::newRow("lblCopyright")
            << "lblCopyright" << QRect(52, 49, 311, 19) << 16 << true << false;
        QTest::newRow("lblEmailAddress")
            << "lblEmailAddress" << QRect(60, 81, 126, 16) << 13 << false << true;
        QTest::newRow("lblWebPage")
            << "lblWebPage" << QRect(220, 81, 137, 16) << 13 << false << true;
        QTest::newRow("mmoLegal") << "mmoLegal" << QRect(8, 112, 401, 76) << 11 << false << false;
        QTest::newRow("lblDocTitel")
            << "lblDocTitel" << QRect(120, 198, 100, 16) << 13 << true << false;
        QTest::newRow("lblDoc") << "lblDoc" << QRect(231, 198, 47, 16) << 13 << false << true;
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, bounds);
        QFETCH(int, pixels);
        QFETCH(bool, bold);
        QFETCH(bool, underline);

        TfrmAbout about(QDir::current());
        about.show();
        auto *w = about.findChild<QWidget *>(name);
        QVERIFY(w);
        QCOMPARE(w->geometry(), bounds);
        QCOMPARE(w->font().family(), QStringLiteral("Arial"));
        QCOMPARE(w->font().pixelSize(), pixels);
        QCOMPARE(w->font().bold(), bold);
        QCOMPARE(w->font().underline(), underline);
        // Every caption fits its bounds, so nothing is cut off on screen.
        if (auto *label = qobject_cast<QLabel *>(w))
            QVERIFY(QFontMetrics(label->font()).horizontalAdvance(label->text()) <= bounds.width());
    }

    void memoShowsFiveLinesAndForgetsEdits()
    {
        TfrmAbout about(QDir::current());
        about.show();
        int lines = 0;
        for (QTextBlock b = control<QPlainTextEdit>(about, "mmoLegal")->document()->begin();
             b.isValid(); b = b.next())
            lines += b.layout()->lineCount();
        QVERIFY2(lines <= 5, qPrintable(QString::number(lines)));

        QVERIFY(!control<QPlainTextEdit>(about, "mmoLegal")->isReadOnly());
        QTest::keyClicks(control<QPlainTextEdit>(about, "mmoLegal"), QStringLiteral("edited"));
        QVERIFY(control<QPlainTextEdit>(about, "mmoLegal")->toPlainText() !=
                TfrmAbout::legalText());
        about.close();
        about.show();
        QCOMPARE(control<QPlainTextEdit>(about, "mmoLegal")->toPlainText(), TfrmAbout::legalText());
    }

    void linksOpenTheirCaptions_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("caption"); // empty: the built-in one
        QTest::addColumn<QString>("scheme");

        QTest::newRow("web page") << "lblWebPage" << QString() << "https";
        QTest::newRow("e-mail") << "lblEmailAddress" << QString() << "mailto";
        QTest::newRow("web page, other caption") << "lblWebPage"
                                                 << "http://example.org/darkroom"
                                                 << "http";
        QTest::newRow("e-mail, other caption") << "lblEmailAddress"
                                               << "someone@example.org"
                                               << "mailto";
    }

    void linksOpenTheirCaptions()
    {
        QFETCH(QString, label);
        QFETCH(QString, caption);
        QFETCH(QString, scheme);

        TfrmAbout about(QDir::current());
        about.show();
        auto *link = about.findChild<QLabel *>(label);
        if (!caption.isEmpty())
            link->setText(caption);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(m_desktop.urls.size(), 1);
        const QUrl url = m_desktop.urls.first();
        QCOMPARE(url.scheme(), scheme);
        const QString prefix = scheme == QLatin1String("mailto") ? "mailto:" : "";
        QCOMPARE(url.toString(), prefix + link->text());
    }

    void guideFromTheWorkingFolder_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("opener"); // a program takes the file
        QTest::newRow("present") << true << true;
        QTest::newRow("missing") << false << true;
        QTest::newRow("nothing opens it") << true << false;
    }

    void guideFromTheWorkingFolder()
    {
        QFETCH(bool, present);
        QFETCH(bool, opener);
        if (!opener)
            QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        AppFixture f;
        f.writeStandardFolder();
        // Without the language file's text, the program's own names the file.
        f.dir.write("lang.txt", f.dir.read("lang.txt").replace("122\tT122", "122\t"));
        if (present)
            f.dir.write("tavo.pdf", QByteArray("%PDF-1.4\n"));
        TfrmMain &w = f.start();
        f.dialogs.clear();
        QTest::mouseClick(control<QLabel>(w, "lblAuthor"), Qt::LeftButton);
        QCOMPARE(f.dialogs.count(ScriptedDialogs::Kind::Modal), 1);
        QCOMPARE(f.dialogs.shown.back().text, QStringLiteral("frmAbout"));

        f.about->show(); // the scripted dialogs only record the modal showing
        QTest::mouseClick(control<QLabel>(f.about.get(), "lblDoc"), Qt::LeftButton);
        if (!opener) {
            // Said, and named, where the desktop gives no word.
            QCOMPARE(f.dialogs.messages(),
                     QStringList{"No program opened \"tavo.pdf\": install one that opens it, "
                                 "or open it yourself."});
            return;
        }
        QCOMPARE(m_desktop.urls.size(), 1);
        QVERIFY(m_desktop.urls.first().isLocalFile());
        QCOMPARE(m_desktop.urls.first().toLocalFile(),
                 QDir(f.dir.path()).absoluteFilePath("tavo.pdf"));
        // Whether or not the file is there, the program shows nothing of its own.
        QCOMPARE(f.dialogs.shown.size(), size_t(1));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void handOverEveryLink_data()
    {
        QTest::addColumn<QString>("link");
        QTest::newRow("lblEmailAddress") << "lblEmailAddress";
        QTest::newRow("lblWebPage") << "lblWebPage";
        QTest::newRow("lblDoc") << "lblDoc";
    }

    void handOverEveryLink()
    {
        QFETCH(QString, link);
        TfrmAbout about(QDir::current());
        about.show();
        QTest::mouseMove(about.findChild<QWidget *>(link), QPoint(3, 3));
        QCOMPARE(overrideShape(), kHand);
        QTest::mouseMove(&about, kBackground);
        QCOMPARE(overrideShape(), -1);
    }

    void handStaysUntilTheBackground()
    {
        TfrmAbout about(QDir::current());
        about.show();
        QTest::mouseMove(control<QLabel>(about, "lblWebPage"), QPoint(5, 5));
        QTest::mouseMove(control<QLabel>(about, "lblEmailAddress"), QPoint(5, 5));
        QTest::mouseMove(control<QLabel>(about, "lblTitel"), QPoint(10, 10));
        QTest::mouseMove(control<QLabel>(about, "lblDocTitel"), QPoint(10, 5));
        QTest::mouseMove(control<QPlainTextEdit>(about, "mmoLegal")->viewport(), QPoint(20, 20));
        QCOMPARE(overrideShape(), kHand);
        // A move with a button held goes on to the window when the label under
        // the mouse does not take it; it is still no move over the background.
        QMouseEvent drag(QEvent::MouseMove, QPointF(12, 10),
                         control<QLabel>(about, "lblTitel")->mapToGlobal(QPointF(12, 10)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(control<QLabel>(about, "lblTitel"), &drag);
        QCOMPARE(overrideShape(), kHand);
        // One hand was pushed however many link moves there were: a single
        // move over the background clears it.
        QTest::mouseMove(&about, kBackground);
        QCOMPARE(overrideShape(), -1);
        QTest::mouseMove(control<QLabel>(about, "lblTitel"), QPoint(12, 12));
        QCOMPARE(overrideShape(), -1);
    }

    void closingPutsTheCursorBack()
    {
        // A cursor set before the window opened is not the window's to remove.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        {
            TfrmAbout about(QDir::current());
            about.show();
            QTest::mouseMove(control<QLabel>(about, "lblDoc"), QPoint(5, 5));
            QCOMPARE(overrideShape(), kHand);
            about.close();
            QCOMPARE(overrideShape(), int(Qt::WaitCursor));
            // Shown again, the rules start afresh.
            about.show();
            QTest::mouseMove(control<QLabel>(about, "lblDoc"), QPoint(8, 6));
            QCOMPARE(overrideShape(), kHand);
            about.reject();
            QCOMPARE(overrideShape(), int(Qt::WaitCursor));
        }
        QCOMPARE(overrideShape(), int(Qt::WaitCursor));
        QGuiApplication::restoreOverrideCursor();
    }

private:
    UrlRecorder m_desktop;
};

QTEST_MAIN(TestAboutWindow)
#include "tst_about_window.moc"
