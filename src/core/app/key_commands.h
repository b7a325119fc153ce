#pragma once

#include <QtCore/qnamespace.h>

#include <array>

// What a key does in the main window and the big display. The widgets only
// route: they say where the key was pressed and run what comes back through
// the handlers the mouse uses.
enum class KeyAction
{
    None,   // not ours: the control with the focus has the key as before
    Ignore, // ours, but nothing to do (a held key repeating)
    Start,
    Pause,
    Next,
    Previous,
    Reset,
    NextTab,
    PreviousTab,
    ShowPage, // KeyCommand::page, 0 to 8
    ShowJournal,
    BigDisplay,
    LeaveBigDisplay,
    Safelight,
    Learn,         // the key is the one to learn (KeyPlace::learning)
    TemperatureUp, // the tab's temperature, half a degree Celsius
    TemperatureDown,
};

// What a learned key (a foot pedal's letter, say) does.
enum class PedalAction
{
    None = 0,
    Pause = 1,
    Next = 2,
    Start = 3,
};

struct LearnedKey
{
    int key = 0; // Qt::Key; 0: none learned
    PedalAction action = PedalAction::None;
    bool isSet() const { return key != 0 && action != PedalAction::None; }
    bool operator==(const LearnedKey &) const = default;
};

constexpr int kLearnedKeys = 3;
using LearnedKeys = std::array<LearnedKey, kLearnedKeys>;

struct KeyCommand
{
    KeyAction action = KeyAction::None;
    int page = -1;
    bool operator==(const KeyCommand &) const = default;
};

struct KeyPlace
{
    // A process tab is on show: the Films or Papiers page with a tab on it.
    bool processOnShow = false;
    // A step grid cell's editor has the key: it keeps every key.
    bool editingCell = false;
    // The key came to the big display.
    bool bigDisplay = false;
    // A text field has the keyboard: a key that types is its.
    bool typing = false;
    // Préférences waits for a key to learn.
    bool learning = false;
    const LearnedKeys *learned = nullptr;
    // A field of the process tab (films, temperature) has the focus.
    bool typingField = false;
};

// A key that types a character (a letter, a digit, Space), as opposed to a
// function or navigation key.
bool typesText(int key);
// Whether a key can be learned: not a modifier alone, nor a key of the
// window's own (F11, F12, Escape, Tab).
bool learnable(int key);

KeyCommand keyCommand(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat,
                      const KeyPlace &place);
