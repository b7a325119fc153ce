#pragma once

// Shows the hourglass while a file is read or written and puts the previous
// cursor back on every exit, errors included. The core knows no widgets, so the
// user interface installs the two hooks once at start-up; without them the
// guard does nothing (tests, tools).
class BusyCursor
{
public:
    using Hook = void (*)();
    static void installHooks(Hook show, Hook restore);

    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
