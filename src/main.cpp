#include "app/application.h"
#include "app/mainwindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    Application::prepare();
    QApplication app(argc, argv);
    // How the desktop shows the window: with the program's icon, under its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorloffice.QuorlOffice"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quorloffice.svg")));

    MainWindow window(Application::appPath());
    if (!window.load())
        return 1;
    QObject::connect(&window, &MainWindow::homePageLoaded, &window, [] {
        // Read by the run script and the start-up benchmark.
        qInfo("QuorlOffice: home page loaded");
    });
    QObject::connect(&window, &MainWindow::ended, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    return app.exec();
}
