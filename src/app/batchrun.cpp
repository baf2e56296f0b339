#include "batchrun.h"

#include "app/application.h"
#include "app/firstrun.h"
#include "app/startup.h"
#include "browser/address.h"
#include "export/batchexport.h"
#include "platform/headlessdialogs.h"
#include "platform/paths.h"
#include "platform/privatefolder.h"
#include "platform/textfile.h"
#include "platform/wait.h"
#include "platform/webengine.h"
#include "settings/appstate.h"
#include "settings/language.h"
#include "settings/options.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QQuickWindow>
#include <QSocketNotifier>
#include <QSGRendererInterface>
#include <QWebEngineProfile>

#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace BatchRun {
namespace {

void say(const QString &line)
{
    std::fputs((QStringLiteral("quorloffice: ") + line + u'\n').toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// The delivered files of a program folder that was never started are installed as the
// window's first start installs them. The folder's lock is held only meanwhile; a
// window that holds it is installing them itself, and is waited for.
void installDeliveredFiles(const Paths &paths)
{
    const QString root = paths.appPath();
    if (!FirstRun::markerPresent(root))
        return;
    QLockFile lock(paths.file(FirstRun::kLockFile));
    lock.setStaleLockTime(0);
    if (lock.tryLock(0)) {
        if (FirstRun::markerPresent(root)) {
            const FirstRun::Result result = FirstRun::moveData(root);
            if (result.status != FirstRun::Result::Status::Installed)
                say(QStringLiteral("The delivered files could not be installed: ") + result.path + u' '
                    + result.detail);
        }
        lock.unlock();
        return;
    }
    QElapsedTimer waited;
    waited.start();
    while (FirstRun::markerPresent(root) && waited.elapsed() < 30000)
        Wait::sleep(100);
}

// The user's options and language, read as the window reads them but never written:
// the window owns them.
void readSettings(AppState &state)
{
    if (const auto lines = TextFile::readLines(state.optionsPath()))
        OptionsFile::parse(*lines, state.options);
    std::optional<int> tabs;
    StartUp::readLanguage(state, true, nullptr, &tabs);
    state.templateDoc = state.paths.file(QStringLiteral("Data/Template.Doc"));
    state.templateHDoc = state.paths.file(QStringLiteral("Data/TemplateH.Doc"));
}

// The pages of the command line, then those of the list, each as the user named it
// and as it is opened. False when the list could not be read.
bool gatherPages(const CommandLine::ExportRequest &request, QList<BatchExport::Page> *pages)
{
    QStringList named = request.addresses;
    if (!request.urlsFile.isEmpty()) {
        QFile list;
        const bool standardInput = request.urlsFile == QLatin1String("-");
        const bool opened = standardInput ? list.open(stdin, QIODevice::ReadOnly)
                                          : (list.setFileName(request.urlsFile), list.open(QIODevice::ReadOnly));
        if (!opened)
            return false;
        const QString text = TextFile::decode(list.readAll());
        for (QString line : text.split(u'\n')) {
            line = line.trimmed();
            if (!line.isEmpty() && !line.startsWith(u'#'))
                named.append(line);
        }
    }
    const QString here = QDir::currentPath();
    for (const QString &given : named)
        pages->append({given, Address::fromArgument(given, here)});
    return true;
}

// Standard error is the exports' account to the user, one line a page: the toolkit's
// and the engine's notes on their own set-up (no runtime folder, no OpenGL, no sandbox
// as root) are no part of it. What goes wrong is said in the pages' lines.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fputs((message + u'\n').toLocal8Bit().constData(), stderr);
}

int g_signals[2] = {-1, -1};

void signalled(int number)
{
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_signals[1], &byte, 1);
    // A second interrupt ends the run at once.
    ::signal(number, SIG_DFL);
}

// An interrupt, a termination or the end of the session ends the run after the page
// under way, so that the copy of the engine's storage and LibreOffice's profile go
// with it rather than wait for the next start.
void stopOnSignals(BatchExport &batch, QObject *context)
{
    if (::pipe2(g_signals, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signals[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [&batch] {
        char byte;
        while (::read(g_signals[0], &byte, 1) > 0) {
        }
        batch.stop();
    });
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        ::signal(number, signalled);
}

} // namespace

std::unique_ptr<PrivateFolder::Temporary> preparePlatform()
{
    qInstallMessageHandler(quietMessages);
    auto work = std::make_unique<PrivateFolder::Temporary>(QStringLiteral("export"));
    // A screen of the pages' view size, so that what a page asks of the screen fits
    // what it is drawn in.
    QByteArray platform = "offscreen";
    if (work->isValid()) {
        const QJsonObject screen{{QStringLiteral("name"), QStringLiteral("QuorlOffice")},
                                 {QStringLiteral("x"), 0},
                                 {QStringLiteral("y"), 0},
                                 {QStringLiteral("width"), BatchExport::kViewWidth},
                                 {QStringLiteral("height"), BatchExport::kViewHeight},
                                 {QStringLiteral("logicalDpi"), 96},
                                 {QStringLiteral("logicalBaseDpi"), 96},
                                 {QStringLiteral("dpr"), 1}};
        const QString config = work->filePath(QStringLiteral("screen.json"));
        if (TextFile::writeBytes(config, QJsonDocument(QJsonObject{{QStringLiteral("screens"), QJsonArray{screen}}}).toJson()))
            platform += ":configfile=" + QFile::encodeName(config);
    }
    qputenv("QT_QPA_PLATFORM", platform);
    // Without this the off-screen window system would open the X display for OpenGL.
    qputenv("QT_QPA_OFFSCREEN_NO_GLX", "1");
    // Nothing this run starts (the engine's processes, LibreOffice) reaches for the
    // display of a session it may have been started from.
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    return work;
}

int run(const CommandLine::Request &request, const QString &executables, PrivateFolder::Temporary &work)
{
    const CommandLine::ExportRequest &exports = *request.exports;
    HeadlessDialogs dialogs(say);
    Dialogs::setInstance(&dialogs);
    struct Restore
    {
        ~Restore() { Dialogs::setInstance(nullptr); }
    } restore;

    QList<BatchExport::Page> pages;
    if (!gatherPages(exports, &pages)) {
        say(QStringLiteral("The list of addresses could not be read: ") + exports.urlsFile);
        return 1;
    }
    if (pages.isEmpty()) {
        say(QStringLiteral("The list of addresses names no page: ") + exports.urlsFile);
        return 1;
    }
    if (!exports.outputIsFolder && pages.size() > 1) {
        say(QStringLiteral("--output names one file, but there are %1 pages: name a folder (ending in /).")
                .arg(pages.size()));
        return 2;
    }
    if (exports.outputIsFolder && !exports.output.isEmpty() && !QDir().mkpath(exports.output)) {
        say(QStringLiteral("The output folder could not be made: ") + exports.output);
        return 1;
    }
    if (!work.isValid()) {
        say(QStringLiteral("No private working folder could be made: ") + work.errorString());
        return 1;
    }

    const Paths paths(request.programFolder.isEmpty() ? executables : request.programFolder, executables);
    QString error;
    if (!Application::useProgramFolder(paths, &error)) {
        say(QStringLiteral("The program folder cannot be used: ") + error);
        return 1;
    }
    // What runs that were killed left in the temporary folder is of no use to anyone.
    PrivateFolder::removeAbandoned(PrivateFolder::systemTemp());
    installDeliveredFiles(paths);
    AppState state(paths);
    readSettings(state);
    state.officeProfile = work.filePath(QStringLiteral("Office"));

    // LibreOffice starts while the engine's storage is copied and the engine starts.
    BatchExport batch(state, {exports.format, exports.output, exports.outputIsFolder, exports.quiet, exports.waitSeconds},
                      say);
    QObject context;
    stopOnSignals(batch, &context);
    const QString storage = work.filePath(QStringLiteral("Data"));
    if (!WebEngine::copyStorage(paths.file(QStringLiteral("Data")), storage)) {
        say(QStringLiteral("The web engine's storage could not be copied into ") + storage);
        return 1;
    }
    const std::unique_ptr<QWebEngineProfile> profile(WebEngine::createProfile(storage, nullptr));
    return batch.run(profile.get(), pages) == 0 ? 0 : 1;
}

} // namespace BatchRun
