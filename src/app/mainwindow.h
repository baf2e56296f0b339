#pragma once

#include "platform/dialogs.h"
#include "settings/appstate.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

class CommandBar;
class Dispatch;
class DragButton;
class Exports;
class FavoriteLinks;
class FindBar;
class MailExport;
class QComboBox;
class QLabel;
class QLockFile;
class QProgressBar;
class QTabBar;
class QWebEngineProfile;
class SecondaryWindows;
class TabBrowsing;
class WebBrowser;
class WindowFrame;
class WindowHosts;
class WindowMailHost;
class WindowInput;

// The main window: the bar panel with the address box and the tab strip, one browser
// per tab, the status panel; the start-up sequence, the layout rules, floating bars,
// the minimised caption and the exit sequence. It owns the features (the tabs, the
// exports, the mail export, the favourite links, the secondary windows, the command
// dispatch), hands each the narrow host it needs and answers their signals.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    // appPath: the program folder, which also holds the executables (a portable folder).
    explicit MainWindow(const QString &appPath, QWidget *parent = nullptr);
    explicit MainWindow(const Paths &paths, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The window's load: first-run installation, options, language, geometry, history
    // and the home page. False when the program cannot run (a message has been shown).
    bool load();

    AppState &state() { return m_state; }
    const AppState &state() const { return m_state; }

    // The bars and the status panel shown, or hidden with the page over them.
    void goBarOn();
    void goBarOff();
    // Places tab index's page in the window.
    void setWeb(int index);
    // The exit sequence.
    void goExit();
    bool exiting() const { return m_exiting; }
    // The one-shot start-up timer has done its work (the link titles are loaded).
    bool startupDone() const { return m_startupDone; }
    // A close was asked for (possibly waiting for a wait to end) or is under way.
    bool closeRequested() const { return m_closePending || m_exiting; }
    // The resize rules, as a resize or a tab click runs them.
    void runResizeRules() { formResize(); }
    // The language of the options read and applied to the tabs; false when its file
    // cannot be read (the table and settings then keep what they held).
    bool readLanguage(bool startUp);

    TabBrowsing *tabs() const { return m_tabs; }
    Dispatch *dispatch() const { return m_dispatch; }
    Exports &exports() { return *m_exports; }
    FavoriteLinks &favorites() { return *m_favorites; }
    FindBar *findBar() const { return m_findBar; }

    WebBrowser *browser(int index) const;
    WebBrowser *currentBrowser() const;
    int tabCount() const;
    int selectedTab() const;
    QTabBar *tabBar() const { return m_tabStrip; }
    QComboBox *addressBox() const { return m_addressBox; }
    QWidget *barPanel() const { return m_barPanel; }
    QWidget *statusPanel() const { return m_statusPanel; }
    // Instance 0, 1, 2 of the bar panel; 3 and up once the control asked for them.
    CommandBar *commandBar(int index) const;
    int commandBarCount() const { return static_cast<int>(m_commandBars.size()); }
    DragButton *moveButton() const { return m_moveButton; }
    DragButton *moveButtonLeft() const { return m_moveButtonLeft; }
    QLabel *statusText() const { return m_statusText; }
    QProgressBar *progressBar() const { return m_progressBar; }
    QTimer *autoHideTimer() { return &m_autoHideTimer; }
    QTimer *startupTimer() { return &m_startupTimer; }

    // One tick of the auto-hide timer, from the pointer position now.
    void autoHideTick();
    // The mouse buttons down now (1 left, 2 right, 4 middle).
    int mouseButton() const;
    // F12: the window covers the whole screen, in the normal state.
    void fillScreen();
    // The current address at the end of the address box's list.
    void addToHistory();
    // Every caption and tooltip of the window in the current language.
    void setCaptions();
    // A tab's caption, and its name for a screen reader.
    void setTabCaption(int index, const QString &caption);
    // Ctrl+F and "EDIT:FINDDOC": the find bar for the current page.
    void openFind();
    // Addresses another program asked for: the first in the current tab, the next in
    // tabs that show nothing yet; the window comes to the front.
    void openAddresses(const QStringList &addresses);

    // The window rectangle in twips (frame included, as the settings file keeps it).
    LiveWindowRect windowRectTwips() const;
    void setWindowRectTwips(long long left, long long top, long long width, long long height);
    // True once the window manager has framed the window (or there is none).
    bool frameKnown() const;

signals:
    // A command bar button was clicked (instance index and key).
    void commandClicked(int index, const QString &key);
    // The exit sequence has finished; the program ends.
    void ended();
    // The home page of tab 0 reported completion for the first time.
    void homePageLoaded();
    // The one-shot start-up timer has done its work.
    void startupFinished();
    // The window manager's frame is known and the window has its stored rectangle.
    void frameSettled();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWidgets();
    void buildFeatures();
    void buildCommandBars();
    void mountCommandBars();
    void connectCommandBar(CommandBar *bar);
    void setTabCount(int count);
    void ensureBrowsers();
    void formResize();
    void startupTimerFired();
    void openChosenLink(const QString &address);
    int tabStripWidth() const;
    WebBrowser *pageHolding(QWidget *widget) const;
    Dialogs::PageDialogTexts pageTexts() const;

    AppState m_state;
    std::unique_ptr<QLockFile> m_lock;
    QWebEngineProfile *m_profile = nullptr;

    QWidget *m_barPanel = nullptr;
    std::vector<CommandBar *> m_commandBars;
    QTabBar *m_tabStrip = nullptr;
    QComboBox *m_addressBox = nullptr;
    std::vector<WebBrowser *> m_pages;
    QWidget *m_statusPanel = nullptr;
    QLabel *m_statusText = nullptr;
    QProgressBar *m_progressBar = nullptr;
    DragButton *m_moveButtonLeft = nullptr;
    DragButton *m_moveButton = nullptr;
    FindBar *m_findBar = nullptr;

    WindowFrame *m_frame = nullptr;
    WindowInput *m_input = nullptr;
    std::unique_ptr<WindowHosts> m_hosts;
    std::unique_ptr<WindowMailHost> m_mailHost;
    TabBrowsing *m_tabs = nullptr;
    std::unique_ptr<Exports> m_exports;
    MailExport *m_mail = nullptr;
    FavoriteLinks *m_favorites = nullptr;
    SecondaryWindows *m_windows = nullptr;
    Dispatch *m_dispatch = nullptr;

    QTimer m_autoHideTimer; // floating bars: hides and shows them as the pointer goes
    QTimer m_startupTimer;  // the start-up work that waits until the window shows

    QStringList m_waitingAddresses; // handed over while a command waited for a page
    bool m_waitingFront = false;
    bool m_loaded = false;
    bool m_exiting = false;
    bool m_closePending = false;
    bool m_homeReported = false;
    bool m_startupDone = false;
};
