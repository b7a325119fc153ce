#pragma once

#include <QByteArray>
#include <QList>

// One note of a synthesized sound: a sine at frequencyHz (0 for a rest) lasting durationMs.
struct Tone
{
    double frequencyHz = 0;
    int durationMs = 0;
};

// A 16-bit mono PCM wave file of the notes one after another. Every note fades in
// and out over a few milliseconds, so neither its start, its end nor a change of
// pitch clicks. Empty for a sample rate that is not positive.
QByteArray makeToneWav(const QList<Tone> &tones, int sampleRate);

// The count-down tick: one short high note, quick enough to repeat every second.
QList<Tone> defaultBeepTones();

// The end of a process: a longer rising two-note chime, so that nobody mistakes it
// for one more tick of the count-down.
QList<Tone> exclamationTones();
