#include "webbrowser.h"

#include "platform/dialogs.h"
#include "platform/wait.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineScript>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineHistory>
#include <QPrinter>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <csignal>
#include <sys/types.h>

namespace {

// Pop-up pages that exist right now (a page's request for a window makes one while it
// is decided); tests read it to see that none is left behind.
int g_popups = 0;

// How long a pop-up may wait for its first address before it is given up.
constexpr int kPopupLifeMs = 5000;
// A download counts as the user's doing for this long after their last click or key in
// the page (or an address they opened).
constexpr qint64 kUserActionMs = 10000;
// A page that does not answer a trivial script in this time, while a new address waits
// to be shown, has a renderer stuck in a script.
constexpr int kAnswerMs = 1500;

QString originOf(const QUrl &url)
{
    if (url.isEmpty() || !url.isValid())
        return {};
    return url.scheme() + QStringLiteral("://") + url.host() + u':' + QString::number(url.port(-1));
}

} // namespace

// The page a request for a new window gets while the request is decided. Its first
// address is never loaded here: when the request came from the page the user clicked
// (not from a frame of another site), the tab itself opens it, as the program always
// did; otherwise nothing opens. Either way the pop-up page is freed at once.
class PopupPage : public QWebEnginePage
{
public:
    PopupPage(QWebEngineProfile *profile, WebBrowser *opener, QWebEnginePage *openerPage)
        : QWebEnginePage(profile, openerPage)
        , m_opener(opener)
        , m_openerOrigin(originOf(openerPage->url()))
    {
        ++g_popups;
        m_gate.setPopup(this);
        setUrlRequestInterceptor(&m_gate);
        QTimer::singleShot(kPopupLifeMs, this, [this] { finish(); });
    }
    ~PopupPage() override { --g_popups; }

private:
    class Gate : public QWebEngineUrlRequestInterceptor
    {
    public:
        void setPopup(PopupPage *popup) { m_popup = popup; }
        void interceptRequest(QWebEngineUrlRequestInfo &info) override
        {
            info.block(true);
            if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
                m_popup->decide(info.requestUrl(), info.initiator());
        }

    private:
        PopupPage *m_popup = nullptr;
    };

    void decide(const QUrl &url, const QUrl &initiator)
    {
        if (m_decided)
            return;
        m_decided = true;
        const bool fromThePage = !m_openerOrigin.isEmpty() && originOf(initiator) == m_openerOrigin;
        const QPointer<WebBrowser> opener(m_opener);
        const QString address = url.toString();
        // Decided outside the engine's call; the tab opens the address as if asked to.
        QTimer::singleShot(0, opener, [opener, address, fromThePage] {
            if (!opener)
                return;
            if (fromThePage)
                opener->navigate(address);
            else
                emit opener->popupBlocked(opener->index());
        });
        finish();
    }

    void finish()
    {
        if (!m_finished) {
            m_finished = true;
            deleteLater();
        }
    }

    QPointer<WebBrowser> m_opener;
    QString m_openerOrigin;
    Gate m_gate;
    bool m_decided = false;
    bool m_finished = false;
};

// The page of a tab. A page opens a window only in answer to the user's click (the
// engine refuses the others); see PopupPage for what becomes of it. Its JavaScript
// dialogs are the program's own, in the user's language, with the page's text as
// plain text, and from the second one on they offer to stop that page's dialogs.
class BrowserPage : public QWebEnginePage
{
public:
    BrowserPage(QWebEngineProfile *profile, WebBrowser *owner)
        : QWebEnginePage(profile, owner)
        , m_owner(owner)
    {
        connect(this, &QWebEnginePage::loadStarted, this, [this] {
            m_dialogsShown = 0;
            m_dialogsStopped = false;
        });
    }

protected:
    QWebEnginePage *createWindow(WebWindowType) override
    {
        return new PopupPage(profile(), m_owner, this);
    }

    void javaScriptAlert(const QUrl &origin, const QString &message) override
    {
        QString value;
        pageDialog(Dialogs::PageDialog::Alert, origin, message, &value);
    }

    bool javaScriptConfirm(const QUrl &origin, const QString &message) override
    {
        QString value;
        return pageDialog(Dialogs::PageDialog::Confirm, origin, message, &value);
    }

    bool javaScriptPrompt(const QUrl &origin, const QString &message, const QString &defaultValue,
                          QString *result) override
    {
        QString value = defaultValue;
        const bool accepted = pageDialog(Dialogs::PageDialog::Prompt, origin, message, &value);
        if (accepted && result)
            *result = value;
        return accepted;
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int line, const QString &source) override
    {
        if (!m_owner->silent())
            QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
    }

private:
    bool pageDialog(Dialogs::PageDialog kind, const QUrl &origin, const QString &message, QString *value)
    {
        if (m_dialogsStopped)
            return false;
        ++m_dialogsShown;
        const Dialogs::PageDialogAnswer answer = Dialogs::instance().pageDialog(
            m_owner->widget(), kind, m_owner->dialogTexts(), origin.host().isEmpty() ? origin.toString() : origin.host(),
            message, *value, m_dialogsShown >= 2, [this] { return m_owner->dialogAbandoned(); });
        m_dialogsStopped = answer.stopFurther;
        *value = answer.value;
        return answer.accepted;
    }

    WebBrowser *m_owner;
    int m_dialogsShown = 0;
    bool m_dialogsStopped = false;
};

WebBrowser::WebBrowser(int index, QWebEngineProfile *profile, QWidget *parent)
    : QObject(parent)
    , m_index(index)
{
    m_view = new QWebEngineView(parent);
    m_page = new BrowserPage(profile, this);
    m_view->setPage(m_page);
    m_view->setVisible(false);

    connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
        m_busy = true;
        m_progress = 0;
        m_requested.invalidate();
        m_lastCompleted.clear();
        emit beforeNavigate2(m_index);
    });
    connect(m_page, &QWebEnginePage::loadProgress, this, [this](int progress) {
        m_progress = progress;
        emit progressChange(m_index, progress, 100);
    });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool) {
        m_busy = false;
        m_progress = 100;
        m_requested.invalidate();
        m_lastCompleted = m_page->url().toString();
        emit documentComplete(m_index, m_lastCompleted);
    });
    connect(m_page, &QWebEnginePage::titleChanged, this, [this](const QString &title) {
        emit titleChange(m_index, title);
    });
    connect(m_page, &QWebEnginePage::linkHovered, this, [this](const QString &url) {
        emit statusTextChange(m_index, url);
    });
    connect(m_page, &QWebEnginePage::windowCloseRequested, this, &WebBrowser::pageCloseRequested);
    connect(m_page, &QWebEnginePage::urlChanged, this, [this](const QUrl &url) {
        if (url == m_pendingUrl)
            m_pendingUrl.clear();
    });
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status) {
                // Renderers also end normally when a navigation moves to another one; only
                // the one ended for a stuck page is followed by the address asked for.
                if (status == QWebEnginePage::NormalTerminationStatus || m_endedFor.isEmpty())
                    return;
                const QUrl again = m_endedFor;
                m_endedFor.clear();
                QTimer::singleShot(0, this, [this, again] { m_page->setUrl(again); });
            });
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &WebBrowser::checkAnswering);
}

WebBrowser::~WebBrowser()
{
    // The page must go before the profile it was made with.
    delete m_view;
}

QWidget *WebBrowser::widget() const
{
    return m_view;
}

// The engine starts a navigation a moment after it was asked for; a wait for the page
// must not mistake the old, completed page for the new one. A request that never
// starts (nothing to go back to, say) stops counting after a few seconds.
constexpr qint64 kStartGraceMs = 3000;

bool WebBrowser::busy() const
{
    return m_busy || (m_requested.isValid() && m_requested.elapsed() < kStartGraceMs);
}

void WebBrowser::navigate(const QString &address)
{
    m_requested.start();
    // An address with a scheme (every completed typed address has one) is opened as it
    // is; guessing is only for the bare names a language file or a link may hold.
    const QUrl url(address, QUrl::TolerantMode);
    const QUrl target = url.scheme().isEmpty() ? QUrl::fromUserInput(address) : url;
    // The engine tells of the new address while it is still being given it: it is
    // given a copy, not the member its handler clears.
    m_pendingUrl = target;
    m_page->setUrl(target);
    // A page stuck in a script never lets the new address be shown: it is checked on.
    m_watchdog.start(kAnswerMs);
}

void WebBrowser::checkAnswering()
{
    if (m_pendingUrl.isEmpty())
        return;
    auto answered = std::make_shared<bool>(false);
    m_page->runJavaScript(QStringLiteral("1"), QWebEngineScript::ApplicationWorld,
                          [answered](const QVariant &) { *answered = true; });
    QTimer::singleShot(kAnswerMs, this, [this, answered] {
        if (*answered || m_pendingUrl.isEmpty())
            return;
        const qint64 pid = m_page->renderProcessPid();
        if (pid <= 0 || pid == QCoreApplication::applicationPid())
            return;
        // Browsers end a renderer that a script holds for good; the page is opened
        // again in a new one.
        m_endedFor = m_pendingUrl;
        emit pageEnded(m_index);
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    });
}

void WebBrowser::noteUserAction()
{
    m_userAction.start();
}

bool WebBrowser::recentUserAction() const
{
    return m_userAction.isValid() && m_userAction.elapsed() < kUserActionMs;
}

bool WebBrowser::dialogAbandoned() const
{
    return m_abandon && m_abandon();
}

int WebBrowser::popupPages()
{
    return g_popups;
}

WebBrowser *WebBrowser::ofPage(QWebEnginePage *page)
{
    return page ? qobject_cast<WebBrowser *>(page->parent()) : nullptr;
}

void WebBrowser::goBack()
{
    if (m_page->history()->canGoBack())
        m_requested.start();
    m_page->triggerAction(QWebEnginePage::Back);
}

void WebBrowser::goForward()
{
    if (m_page->history()->canGoForward())
        m_requested.start();
    m_page->triggerAction(QWebEnginePage::Forward);
}

void WebBrowser::refresh()
{
    m_requested.start();
    m_page->triggerAction(QWebEnginePage::Reload);
}

void WebBrowser::stop()
{
    m_requested.invalidate();
    m_page->triggerAction(QWebEnginePage::Stop);
}

QString WebBrowser::locationName() const
{
    // The engine names an untitled page by its address; such a page has no title.
    const QString title = m_page->title();
    const QUrl url = m_page->url();
    QString bare = url.toString(QUrl::RemoveScheme);
    if (bare.startsWith(QLatin1String("//")))
        bare.remove(0, 2);
    if (title == url.toString() || title == bare || title == url.toDisplayString())
        return QString();
    return title;
}

QString WebBrowser::title() const
{
    return m_page->title();
}

QString WebBrowser::locationURL() const
{
    return m_page->url().toString();
}

std::optional<QVariant> WebBrowser::evaluate(const QString &script, int timeoutMs)
{
    struct Result
    {
        bool done = false;
        QVariant value;
    };
    auto result = std::make_shared<Result>();
    // The program's scripts run in a world of their own: a page that redefines
    // document.readyState or hooks its events cannot change what they see.
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [result](const QVariant &value) {
        result->done = true;
        result->value = value;
    });
    QPointer<WebBrowser> self(this);
    Wait::until([&] { return result->done || !self; }, timeoutMs, 5);
    if (!result->done)
        return std::nullopt;
    return result->value;
}

std::optional<QString> WebBrowser::plainText(int timeoutMs)
{
    auto result = std::make_shared<std::optional<QString>>();
    m_page->toPlainText([result](const QString &text) { *result = text; });
    QPointer<WebBrowser> self(this);
    Wait::until([&] { return result->has_value() || !self; }, timeoutMs, 5);
    return *result;
}

QString WebBrowser::readyState(int timeoutMs)
{
    const auto state = evaluate(QStringLiteral("document.readyState"), timeoutMs);
    return state ? state->toString().toLower() : QString();
}

void WebBrowser::pageCloseRequested()
{
    bool cancel = false;
    emit windowClosing(m_index, false, &cancel);
    // A page cannot close its browser: the close is dropped when refused, and an
    // accepted close only blanks the tab, which keeps its browser.
    if (!cancel)
        m_page->setUrl(QUrl(QStringLiteral("about:blank")));
}

QPrinter &WebBrowser::printer()
{
    static QPrinter shared(QPrinter::HighResolution);
    return shared;
}

bool WebBrowser::printTo(QPrinter *target)
{
    // The engine prints asynchronously; the dialog that asked waits for it here.
    auto finished = std::make_shared<std::optional<bool>>();
    auto connection = connect(m_view, &QWebEngineView::printFinished, this,
                              [finished](bool ok) { *finished = ok; });
    m_view->print(target);
    QPointer<WebBrowser> self(this);
    Wait::until([&] { return finished->has_value() || !self; }, 120000, 20);
    if (self)
        disconnect(connection);
    return finished->value_or(false);
}

bool WebBrowser::print(QWidget *parent)
{
    if (!Dialogs::instance().print(parent, &printer()))
        return false;
    QPrinter &target = printer();
    if (target.outputFormat() == QPrinter::PdfFormat && !target.outputFileName().isEmpty()) {
        // A PDF file gets the engine's own PDF of the page, with its real text, made
        // without drawing the page into a picture first.
        auto finished = std::make_shared<std::optional<bool>>();
        auto connection = connect(m_page, &QWebEnginePage::pdfPrintingFinished, this,
                                  [finished](const QString &, bool ok) { *finished = ok; });
        m_page->printToPdf(target.outputFileName(), target.pageLayout(), target.pageRanges());
        QPointer<WebBrowser> self(this);
        Wait::until([&] { return finished->has_value() || !self; }, 120000, 20);
        if (self)
            disconnect(connection);
        return finished->value_or(false);
    }
    return printTo(&target);
}

void WebBrowser::printPreview(QWidget *parent)
{
    Dialogs::instance().printPreview(parent, &printer(), [this](QPrinter *target) { printTo(target); });
}

void WebBrowser::pageSetup(QWidget *parent)
{
    Dialogs::instance().pageSetup(parent, &printer());
}

void WebBrowser::cut()
{
    m_page->triggerAction(QWebEnginePage::Cut);
}

void WebBrowser::copy()
{
    m_page->triggerAction(QWebEnginePage::Copy);
}

void WebBrowser::paste()
{
    m_page->triggerAction(QWebEnginePage::Paste);
}

void WebBrowser::selectAll()
{
    m_page->triggerAction(QWebEnginePage::SelectAll);
}

void WebBrowser::deleteSelection()
{
    m_page->runJavaScript(QStringLiteral("document.execCommand('delete')"), QWebEngineScript::ApplicationWorld);
}

void WebBrowser::setFocus()
{
    m_view->setFocus(Qt::OtherFocusReason);
}

void WebBrowser::find(const QString &text, bool backward, const std::function<void(int, int)> &done)
{
    QWebEnginePage::FindFlags flags;
    if (backward)
        flags |= QWebEnginePage::FindBackward;
    QPointer<WebBrowser> self(this);
    m_page->findText(text, flags, [self, done](const QWebEngineFindTextResult &result) {
        if (self && done)
            done(result.activeMatch(), result.numberOfMatches());
    });
}

void WebBrowser::stopFinding()
{
    m_page->findText(QString());
}

bool WebBrowser::save(const QString &path, SaveFormat format, int timeoutMs)
{
    QPointer<QWebEngineDownloadRequest> item;
    auto connection = connect(m_page->profile(), &QWebEngineProfile::downloadRequested, this,
                              [&item](QWebEngineDownloadRequest *request) {
                                  if (request->isSavePageDownload())
                                      item = request;
                              });
    const QWebEngineDownloadRequest::SavePageFormat formats[] = {
        QWebEngineDownloadRequest::MimeHtmlSaveFormat, QWebEngineDownloadRequest::CompleteHtmlSaveFormat,
        QWebEngineDownloadRequest::SingleHtmlSaveFormat};
    m_page->save(path, formats[static_cast<int>(format)]);
    QPointer<WebBrowser> self(this);
    Wait::until([&] { return !self || (item && item->isFinished()); }, timeoutMs, 20);
    if (!self)
        return false;
    disconnect(connection);
    return item && item->state() == QWebEngineDownloadRequest::DownloadCompleted;
}
