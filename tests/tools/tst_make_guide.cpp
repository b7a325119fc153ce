#include <QFile>
#include <QImageReader>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// The guide tool renders the README's user guide into the PDF that the About
// window opens; these tests keep it, and the shipped PDF, from rotting.
namespace {

struct Run
{
    int exitCode = -1;
    QByteArray pdf; // empty when no file was written
};

Run runTool(const QString &output, const QStringList &extra = {})
{
    QProcess tool;
    tool.start(QStringLiteral(TOOL_PATH), QStringList{output} + extra);
    if (!tool.waitForFinished(60000))
        return {};
    Run r;
    r.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    QFile f(output);
    if (f.open(QIODevice::ReadOnly))
        r.pdf = f.readAll();
    return r;
}

// The page count the document's page tree declares, -1 when there is none.
int pageCount(const QByteArray &pdf)
{
    static const QRegularExpression pages(
        QStringLiteral("/Type /Pages\\s*/Kids\\s*\\[[^\\]]*\\]\\s*"
                       "/Count (\\d+)"));
    const auto m = pages.match(QString::fromLatin1(pdf));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

bool looksLikePdf(const QByteArray &pdf)
{
    return pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF");
}

QByteArray readme(const QByteArray &guide, const QByteArray &after = QByteArray())
{
    return "# Noctarel\n\nA darkroom assistant.\n\n## Commands\n\nscripts/run\n\n" + guide + after;
}

} // namespace

class TestMakeGuide : public QObject
{
    Q_OBJECT
private slots:
    void makesASoundPdf_data()
    {
        QTest::addColumn<bool>("shipped");
        QTest::newRow("rendered from the README") << false;
        QTest::newRow("shipped as sample/tavo.pdf") << true;
    }

    void makesASoundPdf()
    {
        QFETCH(bool, shipped);
        QTemporaryDir dir;
        QByteArray pdf;
        if (shipped) {
            QFile f(QStringLiteral(NOCTAREL_SOURCE_DIR "/sample/tavo.pdf"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            pdf = f.readAll();
        } else {
            const Run r = runTool(dir.filePath("guide.pdf"));
            QCOMPARE(r.exitCode, 0);
            pdf = r.pdf;
        }
        QVERIFY(looksLikePdf(pdf));
        // A title page and the guide, which takes several pages.
        QVERIFY2(pageCount(pdf) >= 3, qPrintable(QString::number(pageCount(pdf))));
        // Pictures and all, small enough to mail.
        QVERIFY2(pdf.size() < 2 * 1024 * 1024, qPrintable(QString::number(pdf.size())));
    }

    // Every picture the guide names is in the PDF, at its own size.
    void everyPictureIsInThePdf_data()
    {
        QTest::addColumn<bool>("shipped");
        QTest::newRow("rendered from the README") << false;
        QTest::newRow("shipped as sample/tavo.pdf") << true;
    }
    void everyPictureIsInThePdf()
    {
        QFETCH(bool, shipped);
        QFile in(QStringLiteral(NOCTAREL_SOURCE_DIR "/README.md"));
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(in.readAll());
        const qsizetype from = text.indexOf(QLatin1String("\n## User guide"));
        QVERIFY(from >= 0);
        const QString guide = text.mid(from, text.indexOf(QLatin1String("\n## "), from + 1) - from);
        static const QRegularExpression picture(QStringLiteral("!\\[[^\\]]*\\]\\(([^)\\s]+)\\)"));
        QTemporaryDir dir;
        QByteArray pdf;
        if (shipped) {
            QFile f(QStringLiteral(NOCTAREL_SOURCE_DIR "/sample/tavo.pdf"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            pdf = f.readAll();
        } else {
            const Run r = runTool(dir.filePath("guide.pdf"));
            QCOMPARE(r.exitCode, 0);
            pdf = r.pdf;
        }
        // Pictures of one size (every page's) are told apart by their number.
        QMap<QByteArray, QSet<QString>> bySize;
        int pictures = 0;
        for (auto it = picture.globalMatch(guide); it.hasNext(); ++pictures) {
            const QString path = it.next().captured(1);
            const QSize size = QImageReader(QStringLiteral(NOCTAREL_SOURCE_DIR "/") + path).size();
            QVERIFY2(size.isValid(), qPrintable(path));
            bySize["/Subtype /Image\n/Width " + QByteArray::number(size.width()) + "\n/Height " +
                   QByteArray::number(size.height()) + '\n']
                << path;
        }
        QStringList missing;
        for (auto it = bySize.cbegin(); it != bySize.cend(); ++it)
            if (pdf.count(it.key()) < it.value().size())
                missing << it.value().values();
        QVERIFY(pictures >= 8);
        QCOMPARE(missing, QStringList());
    }

    void pagesFollowTheGuide_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("pages");

        const QByteArray longText = QByteArray("Some words of the guide. ").repeated(2000);
        QTest::newRow("the next section is left out")
            << readme("## User guide\n\nOne line.\n", "## Licence\n\n" + longText + "\n") << 2;
        QTest::newRow("a long guide runs on")
            << readme("## User guide\n\n" + longText + "\n") << 10;
        QTest::newRow("a heading inside a code block is text")
            << readme("## User guide\n\n```\n## not a section\n```\n\n" + longText + "\n") << 10;
    }

    void pagesFollowTheGuide()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, pages);
        QTemporaryDir dir;
        QFile in(dir.filePath("README.md"));
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write(text);
        in.close();
        const Run r = runTool(dir.filePath("out.pdf"), {in.fileName()});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(looksLikePdf(r.pdf));
        if (pages <= 2)
            QCOMPARE(pageCount(r.pdf), pages);
        else
            QVERIFY2(pageCount(r.pdf) >= pages, qPrintable(QString::number(pageCount(r.pdf))));
    }

    void refusesWhatItCannotRender_data()
    {
        QTest::addColumn<QByteArray>("text"); // empty: no README at all
        QTest::newRow("no README") << QByteArray();
        QTest::newRow("no user guide") << readme("## Other\n\nText.\n");
        QTest::newRow("an empty user guide") << readme("## User guide\n\n", "## Next\n\nText.\n");
        QTest::newRow("a picture that is not there")
            << readme("## User guide\n\nText.\n\n![Films](nowhere.png)\n");
    }

    void refusesWhatItCannotRender()
    {
        QFETCH(QByteArray, text);
        QTemporaryDir dir;
        const QString path = dir.filePath("README.md");
        if (!text.isEmpty()) {
            QFile in(path);
            QVERIFY(in.open(QIODevice::WriteOnly));
            in.write(text);
        }
        // A failed run leaves the file it would have replaced as it was.
        QFile old(dir.filePath("out.pdf"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("%PDF-1.4\nold\n%%EOF\n");
        old.close();
        const Run r = runTool(old.fileName(), {path});
        QVERIFY(r.exitCode != 0);
        QVERIFY(r.pdf.contains("old"));
    }
};

QTEST_GUILESS_MAIN(TestMakeGuide)
#include "tst_make_guide.moc"
