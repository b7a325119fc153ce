#pragma once

#include <QString>
#include <QStringList>

// Where the timers' sounds go. Wave names are bare file names looked up in the
// working folder; every request returns at once.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    virtual void playWave(const QString &bareName) = 0;
    virtual void beepDefault() = 0;
    virtual void beepExclamation() = 0;
};

// Keeps a list of what was asked for: "wave:5.wav", "beep", "exclamation".
class RecordingSound final : public SoundOutput
{
public:
    void playWave(const QString &bareName) override
    {
        events << QStringLiteral("wave:") + bareName;
    }
    void beepDefault() override { events << QStringLiteral("beep"); }
    void beepExclamation() override { events << QStringLiteral("exclamation"); }
    QStringList events;
};
