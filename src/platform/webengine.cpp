#include "webengine.h"

#include "platform/dialogs.h"

#include <QBuffer>
#include <QFileInfo>
#include <QWebEngineDownloadRequest>
#include <QFile>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
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

QWebEngineProfile *createProfile(const QString &dataFolder, QObject *parent)
{
    auto *shared = new QWebEngineProfile(QStringLiteral("QuorlOffice"), parent);
    shared->setPersistentStoragePath(dataFolder + QStringLiteral("/Engine"));
    shared->setCachePath(dataFolder + QStringLiteral("/Engine/Cache"));
    shared->setDownloadPath(dataFolder);
    // The exports copy the page with the page's own copy command.
    shared->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, true);
    shared->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
    shared->installUrlSchemeHandler(kScheme, new QuorlSchemeHandler(shared));
    // Saving a page goes through the download path, which needs an answer; other
    // downloads are saved where the user says.
    QObject::connect(shared, &QWebEngineProfile::downloadRequested, shared, [](QWebEngineDownloadRequest *item) {
        if (item->isSavePageDownload()) {
            item->accept();
            return;
        }
        const QString path = Dialogs::instance().saveFile(nullptr, QString(), QString(),
                                                          item->downloadFileName(), item->downloadDirectory());
        if (path.isEmpty()) {
            item->cancel();
            return;
        }
        const QFileInfo target(path);
        item->setDownloadDirectory(target.absolutePath());
        item->setDownloadFileName(target.fileName());
        item->accept();
    });
    return shared;
}

} // namespace WebEngine
