#include "app_fixture.h"

QStringList AppFixture::settingsLines(const QString &extra)
{
    QStringList lines{"Sound=1",
                      "SoundSeconds=3",
                      "Color=1",
                      "LanguageFile=lang.txt",
                      "PaperProcessFile=papers.txt",
                      "FilmProcessFile=films.txt",
                      "AgitationFile=agit.txt",
                      "ProcessFolder=proc",
                      "FormulaFolder=chem"};
    if (!extra.isEmpty())
        lines << extra;
    return lines;
}

void AppFixture::writeStandardFolder()
{
    dir.write("wsettings.txt", crlf(settingsLines()));
    QStringList lang;
    for (int n = 1; n < LanguageTable::Size; ++n)
        lang << QString("%1\tT%1").arg(n);
    dir.write("lang.txt", crlf(lang));
    dir.write("papers.txt", QByteArray());
    dir.write("films.txt", QByteArray());
    dir.write("agit.txt", crlf({"A\tInversions\t4_00:00:10_00:00:00/*2_00:00:05_00:01:00"}));
}

QObject *namedControl(QObject *root, const QString &name, const QMetaObject &type)
{
    if (auto *window = qobject_cast<TfrmMain *>(root))
        window->completeBuild();
    for (QObject *o : root->findChildren<QObject *>(name))
        if (type.cast(o))
            return o;
    qFatal("no %s named %s under %s", type.className(), qPrintable(name),
           qPrintable(root->objectName()));
}

namespace {

template <class T> T *part(ProcessTab *tab, const char *head, const char *tail = "")
{
    tab->build();
    return control<T>(tab, QLatin1String(head) + tab->process().tag() + QLatin1String(tail));
}

} // namespace

QPushButton *StartButton(ProcessTab *tab)
{
    return part<QPushButton>(tab, "btn", "Start");
}
QPushButton *PauseButton(ProcessTab *tab)
{
    return part<QPushButton>(tab, "btn", "Pause");
}
QPushButton *PreviousButton(ProcessTab *tab)
{
    return part<QPushButton>(tab, "btn", "Previous");
}
QPushButton *NextButton(ProcessTab *tab)
{
    return part<QPushButton>(tab, "btn", "Next");
}
QPushButton *ResetButton(ProcessTab *tab)
{
    return part<QPushButton>(tab, "btn", "Reset");
}
StringGrid *StepGrid(ProcessTab *tab)
{
    return part<StringGrid>(tab, "sgrd");
}
QLabel *StepLabel(ProcessTab *tab)
{
    return part<QLabel>(tab, "lbl", "Stepc");
}
QLabel *TimeLabel(ProcessTab *tab)
{
    return part<QLabel>(tab, "lbl", "Timec");
}
QLabel *AgitLabel(ProcessTab *tab)
{
    return part<QLabel>(tab, "lbl", "Agitc");
}
QPlainTextEdit *CommentsMemo(ProcessTab *tab)
{
    return part<QPlainTextEdit>(tab, "mmo", "Comments");
}
QProgressBar *Gauge(ProcessTab *tab)
{
    return part<QProgressBar>(tab, "gge");
}
LabeledEdit *TitleEdit(ProcessTab *tab)
{
    return part<LabeledEdit>(tab, "edt", "Titel");
}
QTimer *StepTimer(ProcessTab *tab)
{
    return control<QTimer>(tab, QStringLiteral("tmr") + tab->process().tag());
}
QTimer *AgitTimer(ProcessTab *tab)
{
    return control<QTimer>(tab, QStringLiteral("tmrAgit") + tab->process().tag());
}

QLabel *StepLabel(BigDisplay *big)
{
    return control<QLabel>(big, QStringLiteral("lblBigStep"));
}
QLabel *TimeLabel(BigDisplay *big)
{
    return control<QLabel>(big, QStringLiteral("lblBigTime"));
}
QLabel *AgitLabel(BigDisplay *big)
{
    return control<QLabel>(big, QStringLiteral("lblBigAgit"));
}
QLabel *BandLabel(BigDisplay *big)
{
    return control<QLabel>(big, QStringLiteral("lblBigBand"));
}
QProgressBar *Gauge(BigDisplay *big)
{
    return control<QProgressBar>(big, QStringLiteral("ggeBig"));
}
QTimer *BandTimer(BigDisplay *big)
{
    return control<QTimer>(big, QStringLiteral("tmrBigBand"));
}

TfrmMain &AppFixture::start(const QString &programFolder)
{
    TfrmMain::Services s;
    s.dialogs = &dialogs;
    s.clock = &clock;
    s.sound = &sound;
    s.programFolder = programFolder;
    s.workingFolder = QDir(dir.path());
    window = std::make_unique<TfrmMain>(s);
    about = std::make_unique<TfrmAbout>(QDir(dir.path()));
    window->setAboutWindow(about.get());
    return *window;
}
