#pragma once

#include "core/process/sound_output.h"
#include "core/process/wave_file.h"

#include <QAudioDevice>
#include <QBuffer>
#include <QObject>
#include <QTimer>

class QAudioSink;

// Sound through Qt Multimedia, one sound at a time: a request cuts off the sound
// still playing and starts its own within the same pass of the event loop; the
// caller never waits for the sound system. A wave file is read when asked for,
// by the path given; a missing or unplayable file gives the default beep.
// Without an audio device every request is silently dropped.
//
// Nothing of Qt Multimedia is touched before the first sound, so creating this
// costs the program's start-up nothing.
class QtSoundOutput final : public QObject, public SoundOutput
{
    Q_OBJECT
public:
    explicit QtSoundOutput(QObject *parent = nullptr);
    ~QtSoundOutput() override;

    void playWave(const QString &bareName) override;
    void beepDefault() override;
    void beepExclamation() override;

private:
    void play(const WaveClip &clip);
    void startNext();
    void dropSink();

    WaveCache m_waves;
    WaveClip m_beep;
    WaveClip m_exclamation;
    WaveClip m_next;
    QTimer m_startNext;
    QAudioSink *m_sink = nullptr;
    QAudioDevice m_sinkDevice;
    QBuffer m_playing;
    QTimer m_release;
};
