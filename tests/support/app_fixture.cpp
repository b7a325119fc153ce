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

TfrmMain &AppFixture::start(const QString &programFolder)
{
    TfrmMain::Services s;
    s.dialogs = &dialogs;
    s.clock = &clock;
    s.sound = &sound;
    s.programFolder = programFolder;
    window = std::make_unique<TfrmMain>(s);
    about = std::make_unique<TfrmAbout>();
    window->setAboutWindow(about.get());
    return *window;
}
