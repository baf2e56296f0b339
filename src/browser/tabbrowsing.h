#pragma once

#include <QObject>

#include <cstdint>

class MainWindow;
class QUrl;
class WebBrowser;

// The tabs of the main window and what the pages tell it: a click on a tab, the
// address box, opening an address, the browser events, and the wait for a page.
class TabBrowsing : public QObject
{
    Q_OBJECT
public:
    explicit TabBrowsing(MainWindow *window);

    // Connects the events of a new tab's browser.
    void attach(WebBrowser *web);

    // GO_Address: opens the address box's text in the selected tab; flag 1 adds it to
    // the history.
    void goAddress(int16_t flag);
    // Opens an address as it is (no scheme added) in the selected tab, as goAddress
    // opens the completed one.
    void open(const QString &address, int16_t flag);

    // WebAttend: returns once the selected tab's page reports completion (at once when
    // it already has), letting the window and the engine work meanwhile. A page whose
    // document has loaded but whose last pictures never come is taken as it stands after
    // kPicturesWaitMs. False when the user cut the wait short (Stop, Escape, a new
    // address) or a close request did.
    bool webAttend();
    // Ends a running WebAttend with false.
    void cancelWait() { m_waitCancelled = true; }
    static constexpr int kPicturesWaitMs = 20000;

    // The click on tab s with the mouse buttons recorded at mouse-down.
    void tabClicked(int index, int mouseButtons);
    int tabMouseButtons() const { return m_tabMouseButtons; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isSelected(int index) const;
    bool userIsEditingAddress() const;
    void showAddress(const QString &address);
    void selectedTabChanged(int index);
    void onStatusTextChange(int index, const QString &text);
    void onProgressChange(int index, int progress, int progressMax);
    void onBeforeNavigate(int index);
    void onTitleChange(int index, const QString &title);
    void onDocumentComplete(int index, const QString &address);
    void onWindowClosing(int index, bool isChild, bool *cancel);
    void onNavigationRefused(int index);
    void onAddressDropped(int index, const QUrl &url);
    void updateTabToolTip(int x);

    MainWindow *m_window;
    int m_tabMouseButtons = 0;
    int m_pressedTab = -1;
    bool m_waitCancelled = false;
    QString m_heldAddress; // what a page event would have shown while the user was in the box
    bool m_userInBox = false; // the user put the focus in the address box, or typed there
};
