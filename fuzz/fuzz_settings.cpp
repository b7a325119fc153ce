// wsettings.txt: the keys apply in file order, a line with a bad digit is
// reported and changes nothing, and what the save writes loads back to the
// same controls.
#include "core/app/settings.h"
#include "core/base/int_text.h"
#include "core/base/runtime_error.h"
#include "fuzz_check.h"

namespace {

const QString kProgramFolder = QStringLiteral("/opt/Noctarel");

bool samePaths(const SettingsControls &a, const SettingsControls &b, Qt::CaseSensitivity cs)
{
    const QString SettingsControls::*paths[] = {
        &SettingsControls::languageFile,    &SettingsControls::paperProcessFile,
        &SettingsControls::filmProcessFile, &SettingsControls::agitationFile,
        &SettingsControls::processFolder,   &SettingsControls::formulaFolder};
    for (const auto path : paths) {
        // "%root" next to the program folder contracts to "%root%root%", which
        // expands the other way round: the placeholder has no escape.
        if ((a.*path).contains(QLatin1Char('%')))
            continue;
        if (QString::compare(a.*path, b.*path, cs) != 0)
            return false;
    }
    return true;
}

SettingsControls saveAndLoad(const SettingsControls &c)
{
    SettingsControls back;
    Settings::applyLines(fuzz::writeAndRead(Settings::fileLines(c, kProgramFolder)), back,
                         kProgramFolder);
    return back;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = fuzz::readLines(fuzz::bytes(data, size));
    SettingsControls c;
    const QStringList bad = Settings::applyLines(lines, c, kProgramFolder);
    // The file without the lines reported reads the same, and cleanly.
    QStringList good;
    qsizetype next = 0;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        if (next < bad.size() && bad[next].startsWith(QStringLiteral("line %1: ").arg(n + 1)))
            ++next;
        else
            good << lines[n];
    }
    FUZZ_CHECK(next == bad.size());
    SettingsControls clean;
    FUZZ_CHECK(Settings::applyLines(good, clean, kProgramFolder).isEmpty());
    FUZZ_CHECK(clean == c);
    FUZZ_CHECK(c.sound >= SettingsControls::Beeps && c.sound <= SettingsControls::NoSound);
    FUZZ_CHECK(c.color == SettingsControls::Colour || c.color == SettingsControls::Mono);
    CurrentSettings current;
    Settings::deriveCurrent(c, current);

    // The save refuses a count-down that is not a whole number; the user
    // would type one.
    if (!Settings::countDownOf(c.soundSeconds))
        c.soundSeconds = QStringLiteral("5");
    const QStringList written = Settings::fileLines(c, kProgramFolder);
    FUZZ_CHECK(written.size() == 9);
    const SettingsControls back = saveAndLoad(c);
    FUZZ_CHECK(back.sound == c.sound && back.color == c.color);
    FUZZ_CHECK(Settings::countDownOf(back.soundSeconds) == Settings::countDownOf(c.soundSeconds));
    // The program folder comes back in its own letter case.
    FUZZ_CHECK(samePaths(back, c, Qt::CaseInsensitive));
    // A second save and load changes nothing at all.
    const SettingsControls again = saveAndLoad(back);
    FUZZ_CHECK(again.sound == back.sound && again.color == back.color &&
               again.soundSeconds == back.soundSeconds);
    FUZZ_CHECK(samePaths(again, back, Qt::CaseSensitive));
    return 0;
}
