// A wave file: either refused, or a clip the sound output plays safely (mono
// or stereo, MinSampleRate to MaxSampleRate) whose samples are whole frames,
// no larger than the file allows.
#include "core/process/wave_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file = fuzz::bytes(data, size);
    const WaveClip clip = parseWave(file);
    if (!clip.isValid())
        return 0;
    FUZZ_CHECK(clip.channels >= 1 && clip.channels <= MaxChannels);
    FUZZ_CHECK(clip.sampleRate >= MinSampleRate && clip.sampleRate <= MaxSampleRate);
    FUZZ_CHECK(clip.bytesPerFrame() > 0);
    FUZZ_CHECK(clip.pcm.size() % clip.bytesPerFrame() == 0);
    // 24-bit samples are widened to 32: at most four bytes for three.
    FUZZ_CHECK(clip.pcm.size() <= file.size() / 3 * 4);
    FUZZ_CHECK(clip.durationMs() >= 0);
    return 0;
}
