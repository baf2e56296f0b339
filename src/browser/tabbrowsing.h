#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QComboBox;
class QTabBar;
class QUrl;
class WebBrowser;
struct AppState;

// The tabs and what the pages tell them: a click on a tab, the address box, opening an
// address, the browser events, and the wait for a page. It drives the tab strip and the
// address box it is given and finds each tab's page through a lookup; what the window
// shows elsewhere (the status text, the progress, its layout, the floating bars) it
// asks for by signals.
class TabBrowsing : public QObject
{
    Q_OBJECT
public:
    using PageLookup = std::function<WebBrowser *(int index)>;

    TabBrowsing(AppState &state, QTabBar *tabs, QComboBox *addressBox, PageLookup page, QObject *parent = nullptr);

    // Connects the events of a new tab's browser.
    void attach(WebBrowser *web);
    // A close request ends any wait for a page.
    void setCloseCheck(std::function<bool()> closing) { m_closing = std::move(closing); }

    int selectedTab() const;
    WebBrowser *currentPage() const;
    // A tab's caption, and its name for a screen reader (a blank tab is named by its
    // number).
    void setCaption(int index, const QString &caption);
    // The current address at the end of the address box's list of typed addresses.
    void addToHistory();
    // Ctrl+L: the focus in the address box, its text selected for typing over.
    void focusAddressBox();

    // Opens the address box's text, its scheme completed, in the selected tab; flag 1
    // adds it to the history.
    void goAddress(int16_t flag);
    // Opens an address as it is (no scheme added) in the selected tab, as goAddress
    // opens the completed one.
    void open(const QString &address, int16_t flag);
    // Opens an address as it is in another tab, which keeps it as its address and caption.
    void openInTab(int index, const QString &address);

    // Returns once the selected tab's page reports completion (at once when it already
    // has), letting the window and the engine work meanwhile. A page whose document has
    // loaded but whose last pictures never come is taken as it stands after
    // kPicturesWaitMs. False when the user cut the wait short (Stop, Escape, a new
    // address), a close request did, or the page's renderer ended. With limitMs, the
    // wait is bounded as attend() bounds it.
    bool webAttend(int limitMs = 0, bool *timedOut = nullptr);
    // The wait of webAttend for any page. page() is asked afresh at each look (the user
    // may choose another tab meanwhile; none: true) and ended() cuts the wait short.
    // limitMs bounds the whole wait (negative: no bound): a page whose document has
    // arrived by then is taken as it stands, one whose document has not gives false
    // with timedOut set.
    static bool attend(const std::function<WebBrowser *()> &page, const std::function<bool()> &ended,
                       int limitMs = -1, bool *timedOut = nullptr);
    // Ends a running webAttend with false.
    void cancelWait() { m_waitCancelled = true; }
    static constexpr int kPicturesWaitMs = 20000;

    // The click on tab index with the mouse buttons recorded at mouse-down.
    void tabClicked(int index, int mouseButtons);
    int tabMouseButtons() const { return m_tabMouseButtons; }

signals:
    void statusTextChanged(const QString &text);
    void progressChanged(int percent);
    // The window's layout rules are to run (the page on screen changed).
    void relayoutRequested();
    // The user moved into the address box: floating bars stay while they are there.
    void addressBoxEntered();
    // An address was opened from the address box: floating bars go on hiding.
    void addressOpened();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isSelected(int index) const;
    bool userIsEditingAddress() const;
    void showAddress(const QString &address);
    void showPage(int selected);
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
    void statusIfSelected(int index, int entry, const char *fallback);

    AppState &m_state;
    QTabBar *m_tabs;
    QComboBox *m_box;
    PageLookup m_page;
    std::function<bool()> m_closing;
    int m_tabMouseButtons = 0;
    int m_pressedTab = -1;
    bool m_waitCancelled = false;
    QString m_heldAddress;    // what a page event would have shown while the user was in the box
    bool m_userInBox = false; // the user put the focus in the address box, or typed there
};
