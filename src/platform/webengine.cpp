#include "webengine.h"

#include "platform/downloads.h"
#include "platform/privacy.h"
#include "platform/webbrowser.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QList>

#include <optional>

#include <fcntl.h>
#include <unistd.h>
#include <QFileInfo>
#include <QWebEngineDownloadRequest>
#include <QFile>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

namespace WebEngine {
namespace {

const QByteArray kScheme = QByteArrayLiteral("quorl");

// Serves the program's own pages from its resources: quorl:start is :/pages/start.html.
class QuorlSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        QString name = job->requestUrl().path();
        if (name.isEmpty() || name.contains(u'/') || name.contains(u'.'))
            name = QStringLiteral("start");
        QFile file(QStringLiteral(":/pages/") + name + QStringLiteral(".html"));
        if (!file.open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto *buffer = new QBuffer(job);
        buffer->setData(file.readAll());
        buffer->open(QIODevice::ReadOnly);
        job->reply(QByteArrayLiteral("text/html"), buffer);
    }
};

// What a page of the web loads (pictures, scripts, styles, frames) never comes from the
// program's own resources; the program's own pages may load them.
class OwnResourceGuard : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (!WebBrowser::isOwnScheme(info.requestUrl().scheme()))
            return;
        const QUrl from = info.initiator().isValid() && !info.initiator().isEmpty() ? info.initiator()
                                                                                     : info.firstPartyUrl();
        if (from.isEmpty() || WebBrowser::isOwnScheme(from.scheme()))
            return;
        info.block(true);
    }
};

} // namespace

void registerSchemes()
{
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed
                    | QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QString startPageAddress()
{
    return QStringLiteral("quorl:start");
}

QString helpPageAddress()
{
    return QStringLiteral("quorl:help");
}

QWebEngineProfile *createProfile(const QString &dataFolder, QObject *parent)
{
    // A named profile makes its folders below the user's home the moment it is made,
    // before its storage can be pointed anywhere else. All of the program's data lives
    // below its own folder, so the engine is shown a home of ours while it starts.
    const QString engine = dataFolder + QStringLiteral("/Engine");
    // The engine's storage holds the cookies, the pages' own data and the addresses
    // visited: the user's alone. The engine makes its files so itself, all but its table
    // of visited links, which it writes with the umask's permissions into the file that
    // is there: made beforehand, that file is the user's alone too.
    Privacy::closeFolder(engine);
    const QByteArray visited = QFile::encodeName(engine + QStringLiteral("/Visited Links"));
    const int made = ::open(visited.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (made >= 0)
        ::close(made);
    const QByteArray keys[] = {QByteArrayLiteral("XDG_DATA_HOME"), QByteArrayLiteral("XDG_CACHE_HOME")};
    QList<std::optional<QByteArray>> saved;
    for (const QByteArray &key : keys) {
        saved.append(qEnvironmentVariableIsSet(key.constData()) ? std::optional(qgetenv(key.constData()))
                                                                 : std::nullopt);
        qputenv(key.constData(), QFile::encodeName(engine + QStringLiteral("/Start")));
    }
    auto *shared = new QWebEngineProfile(QStringLiteral("QuorlOffice"), parent);
    shared->setPersistentStoragePath(engine);
    shared->setCachePath(engine + QStringLiteral("/Cache"));
    for (int i = 0; i < 2; ++i) {
        if (saved[i])
            qputenv(keys[i].constData(), *saved[i]);
        else
            qunsetenv(keys[i].constData());
    }
    // Downloads are offered in the user's downloads folder, never in the program's own.
    shared->setDownloadPath(Downloads::folder(QFileInfo(dataFolder).absolutePath()));
    // Pages never reach the clipboard on their own (the program copies the page itself),
    // and open a window only in answer to the user's click.
    shared->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    shared->settings()->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    shared->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    shared->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
    shared->installUrlSchemeHandler(kScheme, new QuorlSchemeHandler(shared));
    shared->setUrlRequestInterceptor(new OwnResourceGuard(shared));
    // Saving a page goes through the download path, which needs an answer; other
    // downloads are saved where the user says.
    // Saving a page goes through the download path, which needs an answer; other
    // downloads are saved where the user says.
    QObject::connect(shared, &QWebEngineProfile::downloadRequested, shared, [shared](QWebEngineDownloadRequest *item) {
        if (item->isSavePageDownload()) {
            item->accept();
            return;
        }
        // A download starts only from the user's action: a page cannot start one on its
        // own, nor one after another.
        WebBrowser *tab = WebBrowser::ofPage(item->page());
        if (!tab || (!tab->recentUserAction() && !tab->typedAddressPending())) {
            item->cancel();
            if (tab)
                emit tab->downloadBlocked(tab->index());
            return;
        }
        tab->consumeUserAction();
        Downloads::offer(item, tab, shared->downloadPath());
    });
    return shared;
}

bool copyStorage(const QString &dataFolder, const QString &copyFolder)
{
    const QDir from(dataFolder + QStringLiteral("/Engine"));
    const QString to = copyFolder + QStringLiteral("/Engine");
    if (!QDir().mkpath(to))
        return false;
    // The cache and the engine's own scratch files are the engine's business, not the
    // user's: a page loads without them, only less quickly.
    static const QStringList passedOver = {QStringLiteral("Cache"), QStringLiteral("Start"), QStringLiteral("GPUCache"),
                                           QStringLiteral("Code Cache"), QStringLiteral("blob_storage")};
    const auto copyFile = [&](const QFileInfo &entry) {
        const QString target = to + u'/' + from.relativeFilePath(entry.absoluteFilePath());
        return QDir().mkpath(QFileInfo(target).absolutePath())
               && (QFile::copy(entry.absoluteFilePath(), target) || !entry.exists());
    };
    const QDir::Filters filters = QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks;
    for (const QFileInfo &top : from.entryInfoList(filters)) {
        if (passedOver.contains(top.fileName()))
            continue;
        if (top.isFile()) {
            if (!copyFile(top))
                return false;
            continue;
        }
        QDirIterator below(top.absoluteFilePath(), QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                           QDirIterator::Subdirectories);
        while (below.hasNext()) {
            below.next();
            if (!copyFile(below.fileInfo()))
                return false;
        }
    }
    return true;
}

} // namespace WebEngine
