#pragma once

#include "app/appstate.h"

#include <QTimer>
#include <QWidget>

#include <vector>

class CommandBar;
class CommandButton;
class DragButton;
class Dispatch;
class FindBar;
class QComboBox;
class QKeyEvent;
class QLabel;
class QProgressBar;
class QTabBar;
class QToolButton;
class QWebEngineProfile;
class TabBrowsing;
class WebBrowser;

// frmStart, the main window: the bar panel with the address box and the tab strip,
// one browser per tab, the status panel; the start-up sequence, the layout rules,
// floating bars, the minimised caption and the exit sequence.
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

    void goBarOn();
    void goBarOff();
    void setWeb(int index);
    void goExit();
    bool exiting() const { return m_exiting; }
    // The one-shot start-up timer has done its work (the link titles are loaded).
    bool startupDone() const { return m_startupDone; }
    // A close was asked for (possibly waiting for a wait to end) or is under way.
    bool closeRequested() const { return m_closePending || m_exiting; }
    // The resize rules, as a resize or a tab click runs them.
    void runResizeRules() { formResize(); }
    TabBrowsing *tabs() const { return m_tabs; }
    Dispatch *dispatch() const { return m_dispatch; }
    FindBar *findBar() const { return m_findBar; }
    // Read_Lang for LangName, with its tab count. False when the file cannot be read;
    // the table and settings then keep what they held.
    bool readLanguage(bool startUp);

    WebBrowser *browser(int index) const;
    WebBrowser *currentBrowser() const;
    int tabCount() const;
    int selectedTab() const;
    QTabBar *tabBar() const { return m_tab1; }
    QComboBox *addressBox() const { return m_text1; }
    QWidget *barPanel() const { return m_picBar; }
    QWidget *statusPanel() const { return m_picStat; }
    // Instance 0, 1, 2 of the bar panel; 3 and up once the control asked for them.
    CommandBar *commandBar(int index) const;
    int commandBarCount() const { return static_cast<int>(m_cmdBars.size()); }
    DragButton *moveButton() const { return m_cmdMove; }
    DragButton *moveButtonLeft() const { return m_cmdMoveL; }
    QLabel *statusText() const { return m_statusBar; }
    QProgressBar *progressBar() const { return m_progressBar; }
    QTimer *autoHideTimer() { return &m_timer1; }
    QTimer *startupTimer() { return &m_timer4; }

    // One tick of the auto-hide timer, from the pointer position now.
    void autoHideTick();

    // MouseButton: the mouse buttons down now (1 left, 2 right, 4 middle).
    int mouseButton() const;
    // F12: the window covers the whole screen, in the normal state.
    void fillScreen();
    // Hyst_Add: CurrentURL at the end of the address box list.
    void hystAdd();
    // Set_Captions for the whole main window.
    void setCaptions();
    // A tab's caption, and its name for a screen reader.
    void setTabCaption(int index, const QString &caption);

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
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWidgets();
    void buildCommandBars();
    void connectCommandBar(CommandBar *bar);
    void setTabCount(int count);
    void ensureBrowsers();
    void formResize();
    void startupTimerFired();
    int tabStripWidth() const;
    // Puts the window, frame included, at this rectangle (pixels).
    void placeFrame(const QRect &frame);
    void checkFrame();
    // Escape, F5, Alt+Left/Right, Ctrl+F and Ctrl+L anywhere in the window.
    bool handleKey(QWidget *target, QKeyEvent *key);

    AppState m_state;
    QWebEngineProfile *m_profile = nullptr;
    TabBrowsing *m_tabs = nullptr;
    Dispatch *m_dispatch = nullptr;
    FindBar *m_findBar = nullptr;

    QWidget *m_picBar = nullptr;
    std::vector<CommandBar *> m_cmdBars;
    QTabBar *m_tab1 = nullptr;
    QComboBox *m_text1 = nullptr;
    std::vector<WebBrowser *> m_web;
    QWidget *m_picStat = nullptr;
    QLabel *m_statusBar = nullptr;
    QProgressBar *m_progressBar = nullptr;
    DragButton *m_cmdMoveL = nullptr;
    DragButton *m_cmdMove = nullptr;

    QTimer m_timer1; // auto-hide of the bars in floating mode
    QTimer m_timer4; // one-shot start-up work
    QTimer m_frameTimer; // waits for the window manager's frame after showing
    QRect m_wantedFrame;
    int m_frameChecks = 0;
    bool m_frameSettled = false;

    bool m_loaded = false;
    bool m_exiting = false;
    bool m_closePending = false;
    bool m_homeReported = false;
    bool m_startupDone = false;
};
