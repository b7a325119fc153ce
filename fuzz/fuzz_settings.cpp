// wsettings.txt: the keys apply in file order, a line with a bad digit is
// reported and changes nothing, and what the save writes loads back to the
// same controls.
#include "core/app/settings.h"
#include "core/base/int_text.h"
#include "core/base/runtime_error.h"
#include "fuzz_check.h"

#include <algorithm>

namespace {

const QString kProgramFolder = QStringLiteral("/opt/Noctarel");

bool samePaths(const SettingsValues &a, const SettingsValues &b, Qt::CaseSensitivity cs)
{
    const QString SettingsValues::*paths[] = {
        &SettingsValues::languageFile,    &SettingsValues::paperProcessFile,
        &SettingsValues::filmProcessFile, &SettingsValues::agitationFile,
        &SettingsValues::processFolder,   &SettingsValues::formulaFolder};
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

SettingsValues saveAndLoad(const SettingsValues &c)
{
    SettingsValues back;
    SettingsFile::applyLines(fuzz::writeAndRead(SettingsFile::fileLines(c, kProgramFolder)), back,
                             kProgramFolder);
    return back;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = fuzz::readLines(fuzz::bytes(data, size));
    SettingsValues c;
    const QStringList bad = SettingsFile::applyLines(lines, c, kProgramFolder);
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
    SettingsValues clean;
    FUZZ_CHECK(SettingsFile::applyLines(good, clean, kProgramFolder).isEmpty());
    FUZZ_CHECK(clean == c);
    FUZZ_CHECK(c.sound >= SettingsValues::Beeps && c.sound <= SettingsValues::NoSound);
    FUZZ_CHECK(c.color == SettingsValues::Colour || c.color == SettingsValues::Mono);
    FUZZ_CHECK(c.countDownSeconds() == SettingsFile::countDownOf(c.soundSeconds).value_or(0));

    // The save refuses a count-down that is not a whole number; the user
    // would type one.
    if (!SettingsFile::countDownOf(c.soundSeconds))
        c.soundSeconds = QStringLiteral("5");
    const QStringList written = SettingsFile::fileLines(c, kProgramFolder);
    FUZZ_CHECK(written.size() == 9);
    const SettingsValues back = saveAndLoad(c);
    FUZZ_CHECK(back.sound == c.sound && back.color == c.color);
    FUZZ_CHECK(SettingsFile::countDownOf(back.soundSeconds) ==
               SettingsFile::countDownOf(c.soundSeconds));
    // The program folder comes back in its own letter case. A path is written
    // on one line (a TAB or a lone CR in it becomes a space), so such a file
    // reads back as its one-line form, which the second round then keeps.
    const bool oneLined = std::any_of(lines.begin(), lines.end(), [](const QString &l) {
        return l.contains(QLatin1Char('\t')) || l.contains(QLatin1Char('\r'));
    });
    if (!oneLined)
        FUZZ_CHECK(samePaths(back, c, Qt::CaseInsensitive));
    // A second save and load changes nothing at all.
    const SettingsValues again = saveAndLoad(back);
    FUZZ_CHECK(again.sound == back.sound && again.color == back.color &&
               again.soundSeconds == back.soundSeconds);
    FUZZ_CHECK(samePaths(again, back, Qt::CaseSensitive));
    return 0;
}
