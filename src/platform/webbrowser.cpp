#include "webbrowser.h"

#include "platform/dialogs.h"
#include "platform/filespace.h"
#include "platform/wait.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QStorageInfo>
#include <QVBoxLayout>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineQuotaRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineScript>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QPrinter>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <csignal>
#include <sys/types.h>

namespace {

// A download or a window counts as the user's doing for this long after their last
// click or key in the page.
constexpr qint64 kUserActionMs = 10000;
constexpr qint64 kWindowActionMs = 2000;
// A page that does not answer a trivial script in this time, while a new address waits
// to be shown, has a renderer stuck in a script.
constexpr int kAnswerMs = 1500;
// How long a request for a window waits to learn where the user's click landed.
constexpr int kWhereMs = 1000;
// Less room than this left beside a page the engine has just saved: the save filled the
// disk, and what it wrote is taken as cut short.
constexpr qint64 kSaveRoomBytes = 256 * 1024;

// Where a click (or, with no position, the focus) is in the page: the page itself, or
// a frame the page cannot read, another site's. Runs in the program's own world.
const char *kWhereScript = R"js(
(function (x, y) {
    var e = x >= 0 ? document.elementFromPoint(x, y) : document.activeElement;
    for (; e; e = e.parentElement) {
        var tag = e.tagName;
        if (tag === 'IFRAME' || tag === 'FRAME' || tag === 'OBJECT' || tag === 'EMBED')
            break;
    }
    if (!e)
        return 'page';
    try {
        return e.contentDocument && e.contentWindow.location.origin === location.origin ? 'page' : 'frame';
    } catch (error) {
        return 'frame';
    }
})(%1, %2)
)js";

} // namespace

// The page of a tab. A page opens a window only in answer to the user's click on the
// page itself (not on a frame of another site), and then, as the program always did,
// the address opens in the tab; no window and no pop-up page is ever made. Its
// JavaScript dialogs are the program's own, in the user's language, with the page's
// text as plain text, and from the second one on they offer to stop that page's dialogs.
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
        connect(this, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest &request) {
            m_owner->windowRequested(request.requestedUrl(), request.isUserInitiated());
        });
        // A page gets none of the machine's devices or places and no notifications; it is
        // told so at once, so that what it waits for goes on.
        connect(this, &QWebEnginePage::featurePermissionRequested, this,
                [this](const QUrl &origin, QWebEnginePage::Feature feature) {
                    setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
                });
        connect(this, &QWebEnginePage::quotaRequested, this, [](QWebEngineQuotaRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
                [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
                [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
    }

    bool inDialog() const { return m_inDialog; }

protected:
    QWebEnginePage *createWindow(WebWindowType) override
    {
        return nullptr;
    }

    // The program's own pages are reached only by the user (an address opened, back,
    // forward, reload) or from one another; never from a page of the web, its links,
    // forms, scripts, redirects or frames.
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        if (WebBrowser::isOwnScheme(url.scheme()) && !WebBrowser::isOwnScheme(this->url().scheme())) {
            const bool byTheUser = isMainFrame
                                   && (type == NavigationTypeTyped || type == NavigationTypeBackForward
                                       || type == NavigationTypeReload);
            if (!byTheUser)
                return false;
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
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
        m_inDialog = true;
        const Dialogs::PageDialogAnswer answer = Dialogs::instance().pageDialog(
            m_owner->widget(), kind, m_owner->dialogTexts(), origin.host().isEmpty() ? origin.toString() : origin.host(),
            message, *value, m_dialogsShown >= 2, [this] { return m_owner->dialogAbandoned(); });
        m_inDialog = false;
        m_dialogsStopped = answer.stopFurther;
        *value = answer.value;
        return answer.accepted;
    }

    WebBrowser *m_owner;
    int m_dialogsShown = 0;
    bool m_dialogsStopped = false;
    bool m_inDialog = false;
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
        showDeadPanel(false);
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
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_pendingUrl.clear();
        // A typed address that turns out to be a download ends its navigation without a
        // page, before the engine asks about the download: it stays the user's.
        if (ok)
            m_typedAt.invalidate();
        m_busy = false;
        m_progress = 100;
        m_requested.invalidate();
        m_lastCompleted = m_page->url().toString();
        emit documentComplete(m_index, m_lastCompleted);
    });
    connect(m_page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            m_loadError.clear();
        } else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
            m_loadError = info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain
                              ? QStringLiteral("HTTP ") + QString::number(info.errorCode())
                              : info.errorString();
            if (m_loadError.isEmpty())
                m_loadError = QStringLiteral("error ") + QString::number(info.errorCode());
        }
    });
    connect(m_page, &QWebEnginePage::titleChanged, this, [this](const QString &title) {
        emit titleChange(m_index, title);
    });
    connect(m_page, &QWebEnginePage::linkHovered, this, [this](const QString &url) {
        emit statusTextChange(m_index, url);
    });
    connect(m_page, &QWebEnginePage::windowCloseRequested, this, &WebBrowser::pageCloseRequested);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status) {
                // Renderers also end normally when a navigation moves to another one; only
                // the one ended for a stuck page is followed by the address asked for.
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                if (m_endedFor.isEmpty()) {
                    // Ended by something else (memory exhausted, killed): the page is gone,
                    // and the page area says so instead of staying grey without a word.
                    m_busy = false;
                    m_requested.invalidate();
                    m_pendingUrl.clear();
                    showDeadPanel(true);
                    emit pageDied(m_index);
                    return;
                }
                const QUrl again = m_endedFor;
                m_endedFor.clear();
                QTimer::singleShot(0, this, [this, again] { m_page->setUrl(again); });
            });
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &WebBrowser::checkAnswering);
    m_view->installEventFilter(this);
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
    m_askedUser = false;
    m_page->setUrl(target);
    // A page stuck in a script never lets the new address be shown: it is checked on.
    m_watchdog.start(kAnswerMs);
}

bool WebBrowser::waitingOnUser() const
{
    if (m_page->inDialog())
        return true;
    // The engine asks whether to leave a page in a message box of its own, made for the
    // view.
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (!top->isVisible())
            continue;
        for (const QWidget *p = top->parentWidget(); p; p = p->parentWidget()) {
            if (p == m_view)
                return true;
        }
    }
    return false;
}

void WebBrowser::checkAnswering()
{
    if (m_pendingUrl.isEmpty())
        return;
    // A page that waits on the user's answer is not stuck: it is looked at again once
    // the answer is given, and the answer is obeyed.
    if (waitingOnUser()) {
        m_askedUser = true;
        m_watchdog.start(kAnswerMs);
        return;
    }
    if (std::exchange(m_askedUser, false) && !m_busy) {
        // Asked whether to leave, the user stayed: the new address was not opened.
        m_pendingUrl.clear();
        m_requested.invalidate();
        emit navigationRefused(m_index);
        return;
    }
    auto answered = std::make_shared<bool>(false);
    m_page->runJavaScript(QStringLiteral("1"), QWebEngineScript::ApplicationWorld,
                          [answered](const QVariant &) { *answered = true; });
    QTimer::singleShot(kAnswerMs, this, [this, answered] {
        if (*answered || m_pendingUrl.isEmpty())
            return;
        if (waitingOnUser()) {
            m_askedUser = true;
            m_watchdog.start(kAnswerMs);
            return;
        }
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

void WebBrowser::noteUserAction(const QPoint &at)
{
    m_userAction.start();
    m_actionWhere = Where::Unknown;
    const double zoom = m_page->zoomFactor() > 0 ? m_page->zoomFactor() : 1.0;
    const int x = at.x() < 0 ? -1 : static_cast<int>(at.x() / zoom);
    const int y = at.y() < 0 ? -1 : static_cast<int>(at.y() / zoom);
    const quint64 action = ++m_actionCount;
    QPointer<WebBrowser> self(this);
    m_page->runJavaScript(QString::fromLatin1(kWhereScript).arg(x).arg(y), QWebEngineScript::ApplicationWorld,
                          [self, action](const QVariant &where) {
                              if (self && self->m_actionCount == action)
                                  self->m_actionWhere = where.toString() == QLatin1String("page") ? Where::Page
                                                                                                   : Where::Frame;
                          });
}

void WebBrowser::noteTypedAddress()
{
    m_typedAt.start();
}

void WebBrowser::noteDrop(const QList<QUrl> &urls)
{
    m_dropped = urls;
    m_droppedAt.start();
}

void WebBrowser::windowRequested(const QUrl &url, bool userInitiated)
{
    // A link or a file the user dropped onto the page reaches us as the page's request
    // for a window: it is the user's, and opens in this tab.
    if (m_droppedAt.isValid() && m_droppedAt.elapsed() < kWindowActionMs && m_dropped.contains(url)) {
        m_droppedAt.invalidate();
        m_dropped.clear();
        emit addressDropped(m_index, url);
        return;
    }
    const bool clicked = userInitiated && m_userAction.isValid() && m_userAction.elapsed() < kWindowActionMs;
    if (!clicked) {
        emit popupBlocked(m_index);
        return;
    }
    // The click may have landed in a frame of another site: the page is asked where it
    // landed, and the tab opens the address only if it was the page itself.
    const quint64 action = m_actionCount;
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    auto *poll = new QTimer(this);
    poll->setInterval(20);
    connect(poll, &QTimer::timeout, this, [this, poll, url, action, waited] {
        if (m_actionCount != action || (m_actionWhere == Where::Unknown && waited->elapsed() < kWhereMs))
            return;
        poll->deleteLater();
        const bool fromThePage = m_actionCount == action && m_actionWhere == Where::Page;
        if (!fromThePage) {
            emit popupBlocked(m_index);
            return;
        }
        // Only an address of the web moves the tab: an empty window (about:blank, or the
        // engine's mark of a blocked one) or a script's or data's address never does.
        const QString scheme = url.scheme().toLower();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp"))
            navigate(url.toString());
    });
    poll->start();
}

bool WebBrowser::typedAddressPending() const
{
    return m_typedAt.isValid() && m_typedAt.elapsed() < kUserActionMs;
}

bool WebBrowser::recentUserAction() const
{
    return m_userAction.isValid() && m_userAction.elapsed() < kUserActionMs;
}

bool WebBrowser::dialogAbandoned() const
{
    return m_abandon && m_abandon();
}

bool WebBrowser::isOwnScheme(const QString &scheme)
{
    return scheme.compare(QLatin1String("quorl"), Qt::CaseInsensitive) == 0
           || scheme.compare(QLatin1String("qrc"), Qt::CaseInsensitive) == 0;
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

bool WebBrowser::print(QWidget *parent, FileFailure *failure)
{
    if (!Dialogs::instance().print(parent, &printer()))
        return false;
    QPrinter &target = printer();
    if (target.outputFormat() == QPrinter::PdfFormat && !target.outputFileName().isEmpty()) {
        // A PDF file gets the engine's own PDF of the page, with its real text, made
        // without drawing the page into a picture first. The engine hands it over in
        // memory; the file is written whole, or the old one stays.
        const QString file = target.outputFileName();
        auto result = std::make_shared<std::optional<QByteArray>>();
        m_page->printToPdf([result](const QByteArray &pdf) { *result = pdf; }, target.pageLayout(),
                           target.pageRanges());
        QPointer<WebBrowser> self(this);
        Wait::until([&] { return result->has_value() || !self; }, 120000, 20);
        const QByteArray pdf = result->value_or(QByteArray());
        const bool whole = pdf.startsWith("%PDF-") && pdf.right(1024).contains("%%EOF");
        const FileSpace::Problem problem = whole ? FileSpace::write(file, pdf) : FileSpace::Problem::Other;
        if (problem == FileSpace::Problem::None)
            return true;
        if (failure)
            *failure = {file, problem};
        return false;
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
    if (!item || item->state() != QWebEngineDownloadRequest::DownloadCompleted)
        return false;
    // The engine can call a save finished that its disk cut short. A web archive is
    // counted in bytes; the other formats count the files made.
    const QFileInfo written(path);
    if (!written.isFile() || written.size() <= 0 || item->receivedBytes() != item->totalBytes())
        return false;
    if (format == SaveFormat::WebArchive && written.size() != item->receivedBytes())
        return false;
    // A disk the engine filled cut its files short without a word: what is left of the
    // room says so.
    const QStorageInfo room(written.absolutePath());
    return !room.isValid() || room.bytesAvailable() < 0 || room.bytesAvailable() >= kSaveRoomBytes;
}

void WebBrowser::showDeadPanel(bool shown)
{
    m_dead = shown;
    if (!shown) {
        if (m_deadPanel)
            m_deadPanel->hide();
        return;
    }
    if (!m_deadPanel) {
        m_deadPanel = new QWidget(m_view);
        m_deadPanel->setObjectName(QStringLiteral("deadPage"));
        m_deadPanel->setAutoFillBackground(true);
        auto *layout = new QVBoxLayout(m_deadPanel);
        layout->addStretch();
        auto *text = new QLabel(m_deadPanel);
        text->setObjectName(QStringLiteral("deadPageText"));
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignCenter);
        layout->addWidget(text);
        auto *reload = new QPushButton(m_deadPanel);
        reload->setObjectName(QStringLiteral("deadPageReload"));
        layout->addWidget(reload, 0, Qt::AlignHCenter);
        layout->addStretch();
        connect(reload, &QPushButton::clicked, this, [this] {
            // The address the page had; the engine still knows it.
            const QUrl again = m_page->url();
            showDeadPanel(false);
            navigate(again.toString());
        });
    }
    m_deadPanel->findChild<QLabel *>()->setText(m_dialogTexts.pageDied);
    m_deadPanel->findChild<QPushButton *>()->setText(m_dialogTexts.reload);
    m_deadPanel->setGeometry(m_view->rect());
    m_deadPanel->show();
    m_deadPanel->raise();
}

bool WebBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Resize && m_deadPanel)
        m_deadPanel->setGeometry(m_view->rect());
    return QObject::eventFilter(watched, event);
}
