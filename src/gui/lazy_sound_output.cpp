#include "gui/lazy_sound_output.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <utility>

namespace {

// The plugin's one entry point (sound_plugin.cpp).
using CreateSoundOutput = SoundOutput *(*)();
constexpr char kEntryPoint[] = "noctarelCreateSoundOutput";

} // namespace

LazySoundOutput::LazySoundOutput(QStringList pluginPaths, const QDir &waveFolder, QObject *parent)
    : QObject(parent), m_pluginPaths(std::move(pluginPaths)), m_waveFolder(waveFolder)
{
    m_load.setSingleShot(true);
    m_load.setInterval(0);
    connect(&m_load, &QTimer::timeout, this, &LazySoundOutput::load);
}

LazySoundOutput::~LazySoundOutput() = default;

QStringList LazySoundOutput::pluginPathsOfProgram()
{
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString name = QStringLiteral(NOCTAREL_SOUND_PLUGIN);
    return {QDir::cleanPath(bin.filePath(QStringLiteral(NOCTAREL_SOUND_FROM_BIN "/") + name)),
            bin.filePath(name)};
}

void LazySoundOutput::playWave(const QString &bareName)
{
    // The plugin is given the whole path: it knows no working folder.
    request([path = m_waveFolder.filePath(bareName)](SoundOutput &out) { out.playWave(path); });
}

void LazySoundOutput::beepDefault()
{
    request([](SoundOutput &out) { out.beepDefault(); });
}

void LazySoundOutput::beepExclamation()
{
    request([](SoundOutput &out) { out.beepExclamation(); });
}

void LazySoundOutput::request(std::function<void(SoundOutput &)> play)
{
    if (m_output) {
        play(*m_output);
    } else if (!m_tried) {
        m_pending = std::move(play);
        m_load.start();
    }
}

void LazySoundOutput::load()
{
    if (m_tried)
        return;
    m_tried = true;
    QStringList errors;
    for (const QString &path : m_pluginPaths) {
        // The library stays loaded for the life of the program: the output it
        // makes is destroyed here, after the last request.
        QLibrary library(path);
        const auto create = reinterpret_cast<CreateSoundOutput>(library.resolve(kEntryPoint));
        if (create) {
            m_output.reset(create());
            break;
        }
        errors << library.errorString();
    }
    const auto play = std::exchange(m_pending, nullptr);
    if (!m_output) {
        qWarning("noctarel: no sound: %s", qPrintable(errors.join(QStringLiteral("; "))));
        return;
    }
    if (play)
        play(*m_output);
}
