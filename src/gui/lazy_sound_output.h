#pragma once

#include "core/process/sound_output.h"

#include <QDir>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

// The program's sound output: the sound plugin (QtSoundOutput over Qt Multimedia),
// loaded at the first request, so that neither Qt Multimedia nor the sound system
// under it is loaded, linked or paid for at start-up. The request that loads it is
// played in the next pass of the event loop, as the plugin plays every request, so
// its caller does not wait for the load. Without a plugin every request is dropped,
// after one warning.
class LazySoundOutput final : public QObject, public SoundOutput
{
    Q_OBJECT
public:
    // The places to look for the plugin, in order; wave names are looked for
    // in waveFolder (the working folder).
    LazySoundOutput(QStringList pluginPaths, const QDir &waveFolder, QObject *parent = nullptr);
    ~LazySoundOutput() override;

    void playWave(const QString &bareName) override;
    void beepDefault() override;
    void beepExclamation() override;

    // Where the plugin is for the running program: installed, in the library folder
    // that goes with the program's folder; built, beside the program.
    static QStringList pluginPathsOfProgram();

private:
    void request(std::function<void(SoundOutput &)> play);
    void load();

    QStringList m_pluginPaths;
    QDir m_waveFolder;
    bool m_tried = false;
    std::unique_ptr<SoundOutput> m_output;
    // Of the requests made before the load, only the last would be heard.
    std::function<void(SoundOutput &)> m_pending;
    QTimer m_load;
};
