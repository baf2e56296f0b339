#pragma once

#include "platform/dialogs.h"

#include <QString>

class QImage;
class QWidget;
class WebBrowser;

// What the exports ask of the window they run in: where their dialogs belong, the page
// to export and the wait for it, the window's opacity, the status panel that shows their
// progress and holds their Cancel button, and the page shown alone for a picture of the
// screen. The main window answers it; a test can stand in.
class ExportHost
{
public:
    virtual ~ExportHost() = default;

    // The window the export's dialogs and messages belong to.
    virtual QWidget *dialogParent() = 0;
    // The page the current tab shows; null when there is none.
    virtual WebBrowser *currentPage() = 0;
    // Returns once the current page has completed; false when the wait was cut short
    // (the user stopped it, a new address, a close request, a page that died).
    virtual bool waitForPage() = 0;
    // As waitForPage, but a page whose document has not come within limitMs is given
    // up: false, and timedOut set.
    virtual bool waitForPageWithin(int /*limitMs*/, bool *timedOut)
    {
        if (timedOut)
            *timedOut = false;
        return waitForPage();
    }

    // The tabs: how many there are, the page of each (null when none), the one
    // selected, and selecting one, its page then shown in the window.
    virtual int tabCount() { return 1; }
    virtual WebBrowser *tabPage(int tab) { return tab == 0 ? currentPage() : nullptr; }
    virtual int selectedTab() { return 0; }
    virtual void selectTab(int /*tab*/) {}

    // The save dialog: the export's filter ("Name (*.ext)|*.ext|..."), the name proposed
    // and the folder it starts in, no question before a file is replaced; filterIndex
    // receives the filter chosen (from 0). Empty when the user cancelled.
    virtual QString chooseSaveFile(const QString &title, const QString &filter, const QString &suggestedName,
                                   const QString &folder, int *filterIndex) = 0;
    // Tells the user how the export ended, or why it could not be made.
    virtual void tell(Dialogs::Icon icon, const QString &text) = 0;
    // A yes/no question to the user, Yes the default; true for Yes.
    virtual bool ask(const QString &question)
    {
        return Dialogs::instance().question(dialogParent(), QStringLiteral("QuorlOffice"), question);
    }

    // The captured page is also left on the clipboard, for the user to paste elsewhere;
    // with no one at a desktop to paste it, it is not made at all.
    virtual bool keepsClipboard() { return true; }

    // The window's opacity, 0 transparent to 255 opaque.
    virtual void setOpacity(int alpha) = 0;

    // The status text and the progress bar (0 to 100).
    virtual QString statusText() const = 0;
    virtual void setStatusText(const QString &text) = 0;
    virtual void setProgress(int percent) = 0;
    // The status panel, where an export's Cancel button goes, and where the progress bar
    // begins in it.
    virtual QWidget *statusPanel() = 0;
    virtual int progressLeft() const = 0;

    // The page alone fills the window (bars and status panel hidden) for a picture of
    // the screen; and back to the window as it was.
    virtual void showPageAlone() = 0;
    virtual void showBars() = 0;
    // A picture of the screen as it shows now; a null picture when it cannot be taken.
    virtual QImage grabScreen() = 0;
    // The bar panel shown and the page as tall as the window, as the slide export leaves
    // them until the next layout.
    virtual void stretchPageUnderBars() = 0;
    // The window's layout rules run again.
    virtual void relayout() = 0;
    // Floating bars hide and show themselves again.
    virtual void resumeAutoHide() = 0;
};
