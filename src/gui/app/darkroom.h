#pragma once

#include "core/app/key_commands.h"
#include "core/process/process_watch.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class QKeyEvent;
class BigDisplay;
class ProcessPages;
class ProcessTab;
class ScreenAwake;
class Settings;
class TfrmMain;

// Working in the dark, over the main window: the keys (and so foot pedals),
// the big display, the safelight view and a screen that stays awake while a
// process is under way. The keys are decided in the core (keyCommand) and run
// through the handlers the mouse uses.
class Darkroom : public QObject
{
    Q_OBJECT
public:
    // awake may be null: the screen is then left to the desktop. pages are the
    // window's, taken as they are: asking the window for them builds it whole.
    // The safelight view follows the settings.
    Darkroom(TfrmMain &window, ProcessPages &pages, const Settings &settings, ScreenAwake *awake);
    // The fog test of the safelight view, full screen.
    void showFogTest(int level, int minutes);
    QWidget *fogTest() const;
    ~Darkroom() override;

    // The tab of the Films or Papiers page on show, if one is.
    ProcessTab *processOnShow() const;
    // Null until first shown.
    BigDisplay *bigDisplay() const;
    bool bigDisplayShown() const;
    void showBigDisplay();
    void leaveBigDisplay();
    void run(const KeyCommand &command);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool keyPress(QWidget *receiver, QKeyEvent *event);
    void processRendered(int index);
    void followProcessOnShow();
    void setSafelight(bool on);

    TfrmMain &m_window;
    ProcessPages &m_pages;
    QPointer<ScreenAwake> m_awake;
    QPointer<BigDisplay> m_big;
    QPointer<QWidget> m_fog;
    const Settings &m_settings;
    // The boxes' window before the big display took them.
    QPointer<QWidget> m_boxParent;
    ProcessWatch m_watch;
};
