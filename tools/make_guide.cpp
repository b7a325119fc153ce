// Renders the "User guide" section of README.md into the PDF that the About
// window opens (sample/tavo.pdf). Runs headless:
//
//   make_guide sample/tavo.pdf [README.md]
//
// Without a second argument the README of the source tree is read.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

constexpr auto kGuideHeading = "## User guide";

void fail(const QString &message)
{
    std::fprintf(stderr, "make_guide: %s\n", qPrintable(message));
}

// The README's first paragraph (the program in a few lines) and its user
// guide, which runs from its heading to the next heading of the same level.
struct Guide
{
    QString intro;
    QString body;
};

std::optional<Guide> extractGuide(const QString &markdown)
{
    const QStringList lines = markdown.split(QLatin1Char('\n'));
    Guide guide;
    int i = 0;
    while (i < lines.size() && !lines[i].startsWith(QLatin1String("# ")))
        ++i;
    // The title page takes the words; the README's picture comes with the guide.
    for (++i; i < lines.size() && !lines[i].startsWith(QLatin1String("## ")); ++i)
        if (!lines[i].startsWith(QLatin1String("![")))
            guide.intro += lines[i] + QLatin1Char('\n');
    while (i < lines.size() && lines[i].trimmed() != QLatin1String(kGuideHeading))
        ++i;
    if (i == lines.size())
        return std::nullopt;
    bool inFence = false;
    QStringList body;
    for (++i; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.startsWith(QLatin1String("```")))
            inFence = !inFence;
        if (!inFence && line.startsWith(QLatin1String("## ")))
            break;
        // The guide's own sections become the document's top headings.
        if (!inFence && line.startsWith(QLatin1String("###")))
            body << line.mid(1);
        else
            body << line;
    }
    guide.body = body.join(QLatin1Char('\n')).trimmed();
    guide.intro = guide.intro.trimmed();
    if (guide.body.isEmpty())
        return std::nullopt;
    return guide;
}

// A title page before the guide: the name, the kind of document, the version
// and the README's description of the program.
void addTitlePage(QTextDocument &doc, const QString &intro)
{
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::Start);
    // The guide's first paragraph follows the title page with the looks it has.
    const QTextBlockFormat guideBlock = cursor.blockFormat();
    const QTextCharFormat guideChars = cursor.block().charFormat();

    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setTopMargin(200);
    QTextCharFormat title;
    title.setFontPointSize(32);
    title.setFontWeight(QFont::Bold);
    cursor.setBlockFormat(centred);
    cursor.insertText(QStringLiteral("Noctarel"), title);

    QTextBlockFormat subtitleBlock;
    subtitleBlock.setAlignment(Qt::AlignHCenter);
    subtitleBlock.setTopMargin(16);
    QTextCharFormat subtitle;
    subtitle.setFontPointSize(18);
    cursor.insertBlock(subtitleBlock);
    cursor.insertText(QStringLiteral("Guide d'utilisation — User guide"), subtitle);

    QTextCharFormat small;
    small.setFontPointSize(11);
    cursor.insertBlock(subtitleBlock);
    cursor.insertText(QStringLiteral("Version 3.5"), small);

    QTextBlockFormat introBlock;
    introBlock.setAlignment(Qt::AlignJustify);
    introBlock.setTopMargin(80);
    introBlock.setLeftMargin(40);
    introBlock.setRightMargin(40);
    introBlock.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysAfter);
    cursor.insertBlock(introBlock);
    cursor.insertText(QString(intro).replace(QLatin1Char('\n'), QLatin1Char(' ')), small);

    cursor.insertBlock(guideBlock, guideChars);
}

// Code blocks come out bare; shade them as a printed page would.
void polish(QTextDocument &doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        if (f.hasProperty(QTextFormat::BlockCodeFence) ||
            f.hasProperty(QTextFormat::BlockCodeLanguage)) {
            f.setBackground(QColor(0xF2, 0xF2, 0xF2));
            f.setLeftMargin(12);
            QTextCursor(b).setBlockFormat(f);
        }
    }
}

// The pictures the guide shows, read from the README's folder and put into
// the document, a page's text width wide at most. False, once said, when one
// cannot be read: a guide that names a picture must show it.
bool addImages(QTextDocument &doc, const QDir &folder, qreal textWidth)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QString name = image.name();
            const QImage picture(folder.filePath(name));
            if (picture.isNull()) {
                fail(QStringLiteral("cannot read the picture %1").arg(name));
                return false;
            }
            doc.addResource(QTextDocument::ImageResource, QUrl(name), picture);
            const qreal width = std::min<qreal>(picture.width(), textWidth);
            image.setWidth(width);
            image.setHeight(width * picture.height() / picture.width());
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args.size() > 3) {
        fail(QStringLiteral("usage: make_guide OUTPUT.pdf [README.md]"));
        return 2;
    }
    const QString output = args[1];
    const QString readmePath =
        args.size() == 3 ? args[2] : QStringLiteral(NOCTAREL_SOURCE_DIR "/README.md");

    QFile readme(readmePath);
    if (!readme.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1").arg(readmePath));
        return 1;
    }
    const std::optional<Guide> guide = extractGuide(QString::fromUtf8(readme.readAll()));
    if (!guide) {
        fail(QStringLiteral("%1 has no \"%2\" section")
                 .arg(readmePath, QLatin1String(kGuideHeading)));
        return 1;
    }

    QTextDocument doc;
    QFont body(QStringLiteral("Liberation Sans"));
    body.setPointSize(10);
    doc.setDefaultFont(body);
    // Pictures are named relative to the README.
    doc.setBaseUrl(QUrl::fromLocalFile(QFileInfo(readmePath).absolutePath() + QLatin1Char('/')));
    doc.setMarkdown(guide->body, QTextDocument::MarkdownDialectGitHub);
    polish(doc);
    // Pictures are sized in screen pixels (96 to the inch); the text of an A4
    // page, inside the writer's margins and the printed document's own 2 cm,
    // is a little over 490 of them wide.
    constexpr qreal textWidth = 480;
    if (!addImages(doc, QFileInfo(readmePath).absoluteDir(), textWidth))
        return 1;
    addTitlePage(doc, guide->intro);
    doc.setMetaInformation(QTextDocument::DocumentTitle,
                           QStringLiteral("Noctarel — guide d'utilisation"));

    // A stale file must not pass for a written one.
    QFile::remove(output);
    QPdfWriter pdf(output);
    pdf.setTitle(QStringLiteral("Noctarel — guide d'utilisation"));
    pdf.setCreator(QStringLiteral("Noctarel make_guide"));
    pdf.setResolution(300);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter));
    doc.print(&pdf);

    QFile written(output);
    if (!written.exists() || written.size() == 0) {
        fail(QStringLiteral("cannot write %1").arg(output));
        return 1;
    }
    return 0;
}
