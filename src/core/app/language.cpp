#include "core/app/language.h"

#include "core/textfile/text_file.h"

QString LanguageTable::entryText(const QString &line)
{
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    QString text = line.mid(tab + 1, MaxEntryLength);
    if (text.size() == MaxEntryLength && text.back().isHighSurrogate())
        text.chop(1); // not half a character
    return text;
}

void LanguageTable::loadLines(const QStringList &lines)
{
    const qsizetype n = std::min<qsizetype>(lines.size(), Size - 1);
    for (qsizetype i = 0; i < n; ++i)
        m_entries[i + 1] = entryText(lines[i]);
}

bool LanguageTable::loadFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    loadLines(TextFile::readLines(path));
    return true;
}

const std::vector<CaptionTarget> &captionTargets()
{
    static const std::vector<CaptionTarget> targets = {
        {12, "tbshtPapers"},
        {13, "tbshtFilms"},
        {14, "tbshtDilutions"},
        {15, "tbshtProcess"},
        {16, "tbshtPref"},
        {22, "grpbxDilab"},
        {23, "grpbxDilc"},
        {24, "grpbxDild"},
        {25, "lblQtyFina"},
        {25, "lblQtyFinb"},
        {25, "lblQtyFinc"},
        {25, "lblQtyFind"},
        {26, "lblDila"},
        {26, "lblDilb"},
        {26, "lblDilc"},
        {27, "btnDila"},
        {27, "btnDilb"},
        {27, "btnDilc"},
        {27, "btnDild"},
        {28, "lblQtyStocka"},
        {28, "lblQtyStockb"},
        {28, "lblQtyStockc"},
        {28, "lblQtyStockd"},
        {29, "lblDilFind"},
        {30, "lblDilStockd"},
        {31, "lblePROCTitel"},
        {32, "lblePROCFile"},
        {33, "lblPROCComment"},
        {34, "lblPROCOperations"},
        {35, "btnPROCAddRow"},
        {36, "btnPROCDelRow"},
        {37, "btnPROCOpen"},
        {38, "btnPROCSave"},
        {38, "btnPrefSave"},
        {39, "btnPROCCancel"},
        {39, "btnPrefCancel"},
        {40, "btnPrefReload"},
        {41, "grpbxSound"},
        {42, "rbtnBeepYN"},
        {43, "rbtnWaveYN"},
        {44, "rbtnSoundYN"},
        {45, "lbleSoundSeconds"},
        {46, "grpbxColor"},
        {47, "rbtnColorYN"},
        {48, "rbtnMonoYN"},
        {49, "lbleLanguageFile"},
        {50, "lblePaperPrcFile"},
        {51, "lbleFilmPrcFile"},
        {52, "lbleAgitationFile"},
        {53, "tbshtUnitsConversion"},
        {54, "grpbxUNITTemp"},
        {55, "btnUNITTemp"},
        {56, "grpbxUNITLength"},
        {57, "btnUNITLength"},
        {58, "grpbxUNITSurface"},
        {59, "btnUNITSurface"},
        {60, "grpbxUNITVol"},
        {61, "btnUNITVol"},
        {62, "lblUNITVolMetric"},
        {63, "lblUNITVolUK"},
        {64, "lblUNITVolUS"},
        {65, "grpbxUNITWeight"},
        {66, "btnUNITWeight"},
        {67, "lblUNITWeightMetric"},
        {68, "lblUNITWeightADP"},
        {69, "lblUNITWeightTroy"},
        {70, "tbshtTimeConversion"},
        {71, "lblDEVTTemp1"},
        {72, "lblDEVTTime1"},
        {73, "lblDEVTTemp2"},
        {74, "lblDEVTTime2"},
        {75, "lblDEVTOld"},
        {76, "lblDEVTNew"},
        {77, "btnDEVTGo"},
        {78, "rgrpDEVTUnit"},
        {81, "tbshtChem"},
        {82, "lbleChemTitel"},
        {83, "lbleChemFile"},
        {84, "lbleChemType"},
        {85, "lblChemObjectives"},
        {86, "lblChemComments"},
        {87, "lblChemFormula"},
        {88, "btnChemAddRow"},
        {89, "btnChemDelRow"},
        {90, "btnChemOpen"},
        {91, "btnChemSave"},
        {92, "btnChemCancel"},
        {93, "lbleProcFolder"},
        {94, "lbleChemFolder"},
    };
    return targets;
}
