#pragma once

#include "platform/dialogs.h"
#include "platform/filespace.h"

#include <QElapsedTimer>
#include <QList>
#include <QPoint>
#include <QTimer>
#include <QUrl>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class QPrinter;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;
class BrowserPage;

// One tab's browser: the operations the program calls on a page and the events it
// handles, in front of Qt WebEngine. Nothing else in the program touches the view.
class WebBrowser : public QObject
{
    Q_OBJECT
public:
    WebBrowser(int index, QWebEngineProfile *profile, QWidget *parent);
    ~WebBrowser() override;

    int index() const { return m_index; }
    QWidget *widget() const;

    void navigate(const QString &address);
    void goBack();
    void goForward();
    void refresh();
    void stop();

    // The engine commands of the toolbar and the edit menu, each with its own dialogs
    // where it has any. Print and preview false when cancelled or failed; a PDF file
    // that could not be written whole is named in failure (the old file, if any, stays
    // as it was).
    struct FileFailure
    {
        QString path;
        FileSpace::Problem problem = FileSpace::Problem::None;
    };
    bool print(QWidget *parent, FileFailure *failure = nullptr);
    void printPreview(QWidget *parent);
    void pageSetup(QWidget *parent);
    void cut();
    void copy();
    void paste();
    void selectAll();
    void deleteSelection();
    void setFocus();
    // Finds text in the page; done receives the active match (from 1) and the count.
    void find(const QString &text, bool backward, const std::function<void(int active, int count)> &done);
    void stopFinding();

    enum class SaveFormat { WebArchive, CompletePage, HtmlOnly };
    // Saves the page through the engine, which writes path itself: for the program's own
    // working folders only. True once the engine has finished and the file holds every
    // byte the engine made.
    bool save(const QString &path, SaveFormat format, int timeoutMs = 60000);

    // The printer every tab prints with, so a page setup holds for later prints.
    static QPrinter &printer();

    // A navigation is running, from the moment it was asked for.
    bool busy() const;
    // The page's renderer ended (memory exhausted, killed): the page area says so and
    // offers to load the page again. Nothing can be read from the page until then.
    bool dead() const { return m_dead; }
    // The page waits on the user: one of its dialogs, or the engine's question whether to
    // leave it, is open.
    bool waitingOnUser() const;
    QString locationName() const;
    // The page's title as the engine has it (its address for an untitled page).
    QString title() const;
    // The load progress of the page, 0 to 100.
    int progress() const { return m_progress; }
    QString locationURL() const;
    // The address of the last page that completed; empty while one is loading.
    QString lastCompleted() const { return m_lastCompleted; }
    // Why the last page could not be loaded: the engine's words, or the server's answer
    // ("HTTP 404"); empty when it loaded or is loading.
    QString loadError() const { return m_loadError; }

    // The user clicked (at a point of the view; none for a key) or typed in this page
    // just now: what the page asks for next counts as the user's doing.
    void noteUserAction(const QPoint &at = QPoint(-1, -1));
    // The user opened an address in this tab: its download, if it is one, is theirs.
    void noteTypedAddress();
    // The user dropped these addresses (links, files) onto the page.
    void noteDrop(const QList<QUrl> &urls);
    bool recentUserAction() const;
    bool typedAddressPending() const;
    // One user action starts at most one download.
    void consumeUserAction()
    {
        m_userAction.invalidate();
        m_typedAt.invalidate();
    }
    // The page asked for a window for this address.
    void windowRequested(const QUrl &url, bool userInitiated);
    // A page's dialog ends unanswered once this says so (the program is closing).
    void setAbandonCheck(std::function<bool()> check) { m_abandon = std::move(check); }
    bool dialogAbandoned() const;
    // The texts of the page's dialogs, in the user's language.
    void setDialogTexts(const Dialogs::PageDialogTexts &texts) { m_dialogTexts = texts; }
    const Dialogs::PageDialogTexts &dialogTexts() const { return m_dialogTexts; }
    // The tab a page belongs to (null for pages that are not a tab's).
    static WebBrowser *ofPage(QWebEnginePage *page);
    // The schemes of the program's own pages and resources (the start and help pages,
    // what the program is built with), which pages of the web never reach.
    static bool isOwnScheme(const QString &scheme);

    // No script error reports from the page.
    void setSilent(bool silent) { m_silent = silent; }
    bool silent() const { return m_silent; }
    // This engine never registers itself as a shell browser; kept for the start-up order.
    void setRegisterAsBrowser(bool value) { m_registerAsBrowser = value; }
    bool registerAsBrowser() const { return m_registerAsBrowser; }

    // Runs a script in the program's own world of the page (never the page's) and waits for its result, the window and engine
    // working meanwhile; nullopt when the page gave no answer within timeoutMs.
    std::optional<QVariant> evaluate(const QString &script, int timeoutMs = 5000);
    // The text of the page as the engine shows it (also for pages that run no scripts,
    // such as web archives).
    std::optional<QString> plainText(int timeoutMs = 5000);
    // The document's readyState, lower case; empty when the page did not answer.
    QString readyState(int timeoutMs = 2000);

signals:
    void statusTextChange(int index, const QString &text);
    void progressChange(int index, int progress, int progressMax);
    void titleChange(int index, const QString &title);
    void beforeNavigate2(int index);
    void documentComplete(int index, const QString &address);
    // The page asked to close its window; a handler sets *cancel to keep it open.
    void windowClosing(int index, bool isChildWindow, bool *cancel);
    // A request of the page for a window was refused (no click on the page, or it came
    // from a frame of another site).
    void popupBlocked(int index);
    // The page was stuck in a script and its renderer was ended to show a new address.
    void pageEnded(int index);
    // The page asked for a download the user did not ask for; nothing was saved.
    void downloadBlocked(int index);
    // A download the user saved as path did not complete; nothing was replaced.
    void downloadFailed(int index, const QString &path, FileSpace::Problem problem);
    // The page's renderer ended; the page area says so (see dead()).
    void pageDied(int index);
    // The user chose to stay on the page when asked whether to leave it for a new
    // address: the page stays and the address was not opened.
    void navigationRefused(int index);
    // The user dropped a link or a file onto the page: it is to open in this tab.
    void addressDropped(int index, const QUrl &url);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class BrowserPage;
    void pageCloseRequested();
    void checkAnswering();
    bool printTo(QPrinter *printer);
    void showDeadPanel(bool shown);

    const int m_index;
    QWebEngineView *m_view = nullptr;
    BrowserPage *m_page = nullptr;
    bool m_busy = false;
    int m_progress = 0;
    QElapsedTimer m_requested; // a navigation asked for that has not started yet
    QString m_lastCompleted;
    QString m_loadError;
    bool m_silent = false;
    QUrl m_pendingUrl; // asked for and not yet shown
    QUrl m_endedFor;   // the address a stuck renderer was ended for
    QTimer m_watchdog;
    bool m_dead = false;
    QWidget *m_deadPanel = nullptr;
    bool m_askedUser = false; // the leave question was open while a new address waited
    QList<QUrl> m_dropped;
    QElapsedTimer m_droppedAt;
    QElapsedTimer m_userAction;
    enum class Where { Unknown, Page, Frame };
    Where m_actionWhere = Where::Unknown;
    quint64 m_actionCount = 0;
    QElapsedTimer m_typedAt; // an address the user opened, until its page is shown
    std::function<bool()> m_abandon;
    Dialogs::PageDialogTexts m_dialogTexts;
    bool m_registerAsBrowser = true;
};
