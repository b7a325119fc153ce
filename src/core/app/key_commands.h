#pragma once

#include <QtCore/qnamespace.h>

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
    TemperatureUp, // the tab's temperature, half a degree Celsius
    TemperatureDown,
};

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
    // A field of the process tab (films, temperature) has the focus.
    bool typingField = false;
};

KeyCommand keyCommand(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat,
                      const KeyPlace &place);
