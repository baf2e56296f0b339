#include "app/application.h"
#include "app/batchrun.h"
#include "app/commandline.h"
#include "app/mainwindow.h"
#include "platform/dialogs.h"
#include "platform/handover.h"
#include "platform/privatefolder.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include <cstdio>

namespace {

int cannotStart(const QString &reason)
{
    Dialogs::instance().message(nullptr, Dialogs::Icon::Critical, QStringLiteral("QuorlOffice"), reason);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // The help and the version need no display: they are answered before the window
    // system is reached. Anything else waits for Qt to take its own options.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const CommandLine::Request early = CommandLine::parse(arguments); early.exitStatus == 0) {
        std::fputs(early.output.toLocal8Bit().constData(), stdout);
        return 0;
    }

    // The exports of the command line run with no display at all: that is settled
    // before Qt looks for one.
    std::unique_ptr<PrivateFolder::Temporary> work;
    if (CommandLine::asksForExport(arguments))
        work = BatchRun::preparePlatform();

    Application::prepare();
    QApplication app(argc, argv);
    // How the desktop shows the window: with the program's icon, under its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorloffice.QuorlOffice"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quorloffice.svg")));

    const CommandLine::Request request = CommandLine::parse(QCoreApplication::arguments(), QDir::currentPath());
    if (request.exitStatus) {
        std::fputs(request.output.toLocal8Bit().constData(), *request.exitStatus == 0 ? stdout : stderr);
        return *request.exitStatus;
    }
    if (!request.cannotStart.isEmpty())
        return cannotStart(request.cannotStart);

    const QString executables = Application::executablesFolder();
    if (request.exports) {
        if (!work)
            return 2;
        return BatchRun::run(request, executables, *work);
    }
    const Paths paths(request.programFolder.isEmpty() ? executables : request.programFolder, executables);
    QString error;
    if (!Application::useProgramFolder(paths, &error))
        return cannotStart(QStringLiteral("QuorlOffice cannot start: ") + error);

    // One window per program folder: a window already open there takes the addresses
    // and comes to the front; this start ends. A start that finds none listens itself.
    Handover handover;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (Handover::handTo(paths.appPath(), request.addresses))
            return 0;
        if (handover.listen(paths.appPath()))
            break;
    }

    MainWindow window(paths);
    if (!window.load())
        return 1;
    QObject::connect(&handover, &Handover::addressesArrived, &window, &MainWindow::openAddresses);
    QObject::connect(&window, &MainWindow::homePageLoaded, &window, [] {
        // Read by the run script and the start-up benchmark.
        qInfo("QuorlOffice: home page loaded");
    });
    QObject::connect(&window, &MainWindow::ended, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    if (!request.addresses.isEmpty())
        window.openAddresses(request.addresses);
    return app.exec();
}
