#include "core/app/key_commands.h"

namespace {

constexpr int kPages = 9;

// Ctrl and a digit from 1: the digit itself, or the character the same key
// gives without Shift on a French keyboard (& é " ' ( - è _ ç), where the digits
// need Shift.
int pageOfDigitKey(int key)
{
    if (key >= Qt::Key_1 && key < Qt::Key_1 + kPages)
        return key - Qt::Key_1;
    static const int azerty[kPages] = {Qt::Key_Ampersand,  Qt::Key_Eacute,     Qt::Key_QuoteDbl,
                                       Qt::Key_Apostrophe, Qt::Key_ParenLeft,  Qt::Key_Minus,
                                       Qt::Key_Egrave,     Qt::Key_Underscore, Qt::Key_Ccedilla};
    for (int page = 0; page < kPages; ++page)
        if (azerty[page] == key)
            return page;
    return -1;
}

} // namespace

bool typesText(int key)
{
    // Qt's keys of printable characters are their Latin-1 / Unicode codes.
    return key >= Qt::Key_Space && key < Qt::Key_Escape;
}

bool learnable(int key)
{
    switch (key) {
    case 0:
    case Qt::Key_unknown:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_F11:
    case Qt::Key_F12:
        return false;
    default:
        return true;
    }
}

namespace {

KeyAction actionOf(PedalAction action)
{
    switch (action) {
    case PedalAction::Pause:
        return KeyAction::Pause;
    case PedalAction::Next:
        return KeyAction::Next;
    case PedalAction::Start:
        return KeyAction::Start;
    case PedalAction::None:
        break;
    }
    return KeyAction::None;
}

} // namespace

KeyCommand keyCommand(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat,
                      const KeyPlace &place)
{
    if (place.editingCell)
        return {};
    if (place.learning) {
        // Escape gives up; a modifier alone waits for the key it goes with.
        if (key == Qt::Key_Escape)
            return {KeyAction::Learn};
        if (!learnable(key))
            return {KeyAction::Ignore};
        return autoRepeat ? KeyCommand{KeyAction::Ignore} : KeyCommand{KeyAction::Learn};
    }
    // A learned key acts as the button it was given, before the built-in
    // keys: a pedal that sends Page Down may be made Démarrer. One that types
    // is the text field's while one has the keyboard.
    if (place.learned && place.processOnShow && !(place.typing && typesText(key))) {
        const Qt::KeyboardModifiers held = modifiers & ~(Qt::KeypadModifier | Qt::ShiftModifier);
        for (const LearnedKey &k : *place.learned) {
            if (!k.isSet() || k.key != key || held != Qt::NoModifier)
                continue;
            // Held down, a pedal repeats its key: one press, one click.
            return autoRepeat ? KeyCommand{KeyAction::Ignore} : KeyCommand{actionOf(k.action)};
        }
    }
    // The keypad's keys are the same keys.
    const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
    const bool plain = mods == Qt::NoModifier;
    const bool ctrl = mods == Qt::ControlModifier;
    const bool ctrlShift = mods == (Qt::ControlModifier | Qt::ShiftModifier);

    if (plain && key == Qt::Key_F12)
        return {KeyAction::Safelight};
    if (place.bigDisplay && plain && (key == Qt::Key_Escape || key == Qt::Key_F11))
        return {KeyAction::LeaveBigDisplay};
    if (ctrl) {
        const int page = pageOfDigitKey(key);
        if (page >= 0)
            return {KeyAction::ShowPage, page};
        // The journal is the page after the numbered ones: Ctrl and 0 (à on
        // a French keyboard).
        if (key == Qt::Key_0 || key == Qt::Key_Agrave)
            return {KeyAction::ShowJournal};
    }
    if (!place.processOnShow)
        return {};

    if (ctrl && key == Qt::Key_Tab)
        return {KeyAction::NextTab};
    if ((ctrlShift && (key == Qt::Key_Tab || key == Qt::Key_Backtab)) ||
        (ctrl && key == Qt::Key_Backtab))
        return {KeyAction::PreviousTab};
    if (plain && key == Qt::Key_F11)
        return {KeyAction::BigDisplay};
    // Half a degree a press, for gloved hands; the plain arrows stay the grid's.
    if (ctrl && (key == Qt::Key_Up || key == Qt::Key_Down))
        return {key == Qt::Key_Up ? KeyAction::TemperatureUp : KeyAction::TemperatureDown};
    // A field of the tab takes its own Return, and the blanks typed in it.
    if (place.typingField &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space))
        return {};

    KeyAction button = KeyAction::None;
    switch (key) {
    case Qt::Key_Space:
        button = KeyAction::Pause;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        button = KeyAction::Start;
        break;
    case Qt::Key_PageDown:
        button = KeyAction::Next;
        break;
    case Qt::Key_PageUp:
        button = KeyAction::Previous;
        break;
    case Qt::Key_R:
        if (!ctrl)
            return {};
        button = KeyAction::Reset;
        break;
    default:
        return {};
    }
    // A pedal, or a gloved hand, hits a modifier easily: with Shift the key
    // is the key, with Ctrl or Alt it does nothing, and never does it reach
    // the button that has the focus.
    if (button != KeyAction::Reset && !plain && mods != Qt::ShiftModifier)
        return {KeyAction::Ignore};
    // A pedal held down repeats its key: one press, one click.
    if (autoRepeat)
        return {KeyAction::Ignore};
    return {button};
}
