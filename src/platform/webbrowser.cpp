#include "webbrowser.h"

#include "platform/dialogs.h"
#include "platform/wait.h"

#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QPrinter>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

// The page of a tab. A page's request for a new window opens the address in the same
// tab: the program has a fixed row of tabs and no pop-up windows.
class BrowserPage : public QWebEnginePage
{
public:
    BrowserPage(QWebEngineProfile *profile, WebBrowser *owner)
        : QWebEnginePage(profile, owner)
        , m_owner(owner)
    {
    }

protected:
    QWebEnginePage *createWindow(WebWindowType) override
    {
        auto *popup = new QWebEnginePage(profile(), this);
        connect(popup, &QWebEnginePage::urlChanged, this, [this, popup](const QUrl &url) {
            if (url.isEmpty())
                return;
            setUrl(url);
            popup->deleteLater();
        });
        return popup;
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int line, const QString &source) override
    {
        if (!m_owner->silent())
            QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
    }

private:
    WebBrowser *m_owner;
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
    m_page->setUrl(url.scheme().isEmpty() ? QUrl::fromUserInput(address) : url);
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
    return printTo(&printer());
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
