#include "gui/qt_sound_output.h"

#include "core/process/tone.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QDir>
#include <QMediaDevices>
#include <utility>

namespace {

// The rate of the sample count-down files, so that the beep of a missing file among
// them keeps the same audio sink.
constexpr int kBeepSampleRate = 22050;

// An idle stream still holds the device; letting go of it at once would cut the
// tail the sound server has buffered.
constexpr int kReleaseAfterMs = 2000;

QAudioFormat audioFormat(const WaveClip &clip)
{
    QAudioFormat format;
    format.setSampleRate(clip.sampleRate);
    format.setChannelCount(clip.channels);
    switch (clip.sampleType) {
    case WaveClip::SampleType::UInt8:
        format.setSampleFormat(QAudioFormat::UInt8);
        break;
    case WaveClip::SampleType::Int16:
        format.setSampleFormat(QAudioFormat::Int16);
        break;
    case WaveClip::SampleType::Int32:
        format.setSampleFormat(QAudioFormat::Int32);
        break;
    case WaveClip::SampleType::Float:
        format.setSampleFormat(QAudioFormat::Float);
        break;
    case WaveClip::SampleType::Invalid:
        break;
    }
    return format;
}

} // namespace

QtSoundOutput::QtSoundOutput(QObject *parent) : QObject(parent)
{
    m_startNext.setSingleShot(true);
    m_startNext.setInterval(0);
    connect(&m_startNext, &QTimer::timeout, this, &QtSoundOutput::startNext);
    m_release.setSingleShot(true);
    m_release.setInterval(kReleaseAfterMs);
    connect(&m_release, &QTimer::timeout, this, [this] {
        if (m_sink && m_sink->state() == QAudio::IdleState)
            m_sink->stop();
    });
}

QtSoundOutput::~QtSoundOutput()
{
    // The sink reads from m_playing: it must go first.
    dropSink();
}

void QtSoundOutput::playWave(const QString &path)
{
    const WaveClip *clip = m_waves.clip(path);
    if (!clip || !clip->isValid()) {
        beepDefault();
        return;
    }
    play(*clip);
}

void QtSoundOutput::beepDefault()
{
    if (!m_beep.isValid())
        m_beep = parseWave(makeToneWav(defaultBeepTones(), kBeepSampleRate));
    play(m_beep);
}

void QtSoundOutput::beepExclamation()
{
    if (!m_exclamation.isValid())
        m_exclamation = parseWave(makeToneWav(exclamationTones(), kBeepSampleRate));
    play(m_exclamation);
}

// Requests made in one pass of the event loop (processes ticking together) would cut
// each other off at once: only the last can be heard, so only the last opens an audio
// stream, and no request waits for the sound server.
void QtSoundOutput::play(const WaveClip &clip)
{
    m_next = clip;
    m_startNext.start();
}

void QtSoundOutput::startNext()
{
    const WaveClip clip = std::exchange(m_next, WaveClip());
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        dropSink();
        return;
    }

    const QAudioFormat format = audioFormat(clip);
    if (m_sink && (m_sink->format() != format || m_sinkDevice != device))
        dropSink();
    if (!m_sink) {
        m_sink = new QAudioSink(device, format, this);
        m_sinkDevice = device;
        connect(m_sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            if (state == QAudio::IdleState)
                m_release.start();
        });
    }

    m_release.stop();
    m_sink->stop();
    m_playing.close();
    m_playing.setData(clip.pcm);
    m_playing.open(QIODevice::ReadOnly);
    m_sink->start(&m_playing);
}

void QtSoundOutput::dropSink()
{
    m_release.stop();
    if (!m_sink)
        return;
    m_sink->disconnect(this);
    m_sink->stop();
    delete m_sink;
    m_sink = nullptr;
    m_sinkDevice = QAudioDevice();
}
