#pragma once

#include <QString>

#include <cstdint>

class QWidget;
class WebBrowser;

// What the command dispatch asks of the main window: the page the commands act on, the
// address box, the window itself (exit, minimise, the bars' style and floating), the
// language, the find bar and the wait for a page. The main window answers it; a test
// can stand in.
class CommandHost
{
public:
    virtual ~CommandHost() = default;

    // The window the commands' dialogs and messages belong to.
    virtual QWidget *dialogParent() = 0;
    // The page the current tab shows; null when there is none.
    virtual WebBrowser *currentPage() = 0;

    // The exit sequence.
    virtual void exit() = 0;
    virtual void minimise() = 0;
    // A close was asked for or is under way: no command starts.
    virtual bool closeRequested() const = 0;
    // Ends the wait for a page that a command is in.
    virtual void cancelWait() = 0;

    virtual QString addressText() const = 0;
    virtual void setAddressText(const QString &text) = 0;
    // Opens the address box's text in the selected tab; flag 1 adds it to the history.
    virtual void openAddress(int16_t flag) = 0;

    // The bars drawn in this style (0 system, 1 office, 2 money, 3 XP).
    virtual void setBarStyle(int16_t style) = 0;
    // Floating bars on (the bars hide at once and follow the pointer) or off.
    virtual void setFloating(bool on) = 0;
    // The language of the options read and applied to the whole window; false (nothing
    // changed) when its file cannot be read.
    virtual bool loadLanguage() = 0;
    // The find bar for the current page.
    virtual void openFind() = 0;
};
