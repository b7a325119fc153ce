// A wave file: either refused, or a clip whose format an audio device takes
// and whose samples are whole frames, no larger than the file allows.
#include "core/process/wave_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file = fuzz::bytes(data, size);
    const WaveClip clip = parseWave(file);
    if (!clip.isValid())
        return 0;
    FUZZ_CHECK(clip.channels >= 1 && clip.channels <= 8);
    FUZZ_CHECK(clip.sampleRate >= 1 && clip.sampleRate <= 384'000);
    FUZZ_CHECK(clip.bytesPerFrame() > 0);
    FUZZ_CHECK(clip.pcm.size() % clip.bytesPerFrame() == 0);
    // 24-bit samples are widened to 32: at most four bytes for three.
    FUZZ_CHECK(clip.pcm.size() <= file.size() / 3 * 4);
    FUZZ_CHECK(clip.durationMs() >= 0);
    return 0;
}
