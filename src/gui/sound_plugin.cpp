// The sound plugin's entry point: the program loads the plugin, and Qt Multimedia
// with it, at the first sound (LazySoundOutput).
#include "gui/qt_sound_output.h"

extern "C" Q_DECL_EXPORT SoundOutput *noctarelCreateSoundOutput()
{
    return new QtSoundOutput;
}
