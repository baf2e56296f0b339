#include "archivepage.h"

#include "platform/wait.h"

#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

namespace {

// Lets through the archive itself and what the engine takes from inside it; anything
// else a saved document names is refused before it is asked for.
class OnlyTheArchive : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    QUrl archive;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QUrl url = info.requestUrl();
        const QString scheme = url.scheme();
        if (url == archive || scheme == QLatin1String("cid") || scheme == QLatin1String("data"))
            return;
        info.block(true);
    }
};

// What the saved document says on its console is not the program's to report.
class QuietPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int, const QString &) override {}
};

} // namespace

ArchivePage::ArchivePage(QObject *parent)
    : QObject(parent)
    , m_profile(new QWebEngineProfile(this))
{
    auto *guard = new OnlyTheArchive(this);
    m_guard = guard;
    m_profile->setUrlRequestInterceptor(guard);
    m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    QWebEngineSettings *settings = m_profile->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::AutoLoadImages, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
}

ArchivePage::~ArchivePage()
{
    // The page goes before its profile.
    m_view.reset();
}

bool ArchivePage::load(const QString &path, const QSize &size, int timeoutMs)
{
    const QUrl url = QUrl::fromLocalFile(path);
    static_cast<OnlyTheArchive *>(m_guard)->archive = url;
    m_view = std::make_unique<QWebEngineView>();
    m_view->setAttribute(Qt::WA_DontShowOnScreen);
    m_view->setPage(new QuietPage(m_profile, m_view.get()));
    m_view->resize(size.expandedTo(QSize(100, 100)));
    m_view->show();
    auto finished = std::make_shared<std::optional<bool>>();
    connect(m_view->page(), &QWebEnginePage::loadFinished, this, [finished](bool ok) { *finished = ok; });
    m_view->page()->load(url);
    QPointer<ArchivePage> self(this);
    Wait::until([&] { return !self || finished->has_value(); }, timeoutMs, 10);
    return self && finished->value_or(false);
}

std::optional<QVariant> ArchivePage::evaluate(const QString &script, int timeoutMs)
{
    if (!m_view)
        return std::nullopt;
    auto result = std::make_shared<std::optional<QVariant>>();
    m_view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                  [result](const QVariant &value) { *result = value; });
    QPointer<ArchivePage> self(this);
    Wait::until([&] { return !self || result->has_value(); }, timeoutMs, 5);
    return self ? *result : std::nullopt;
}
