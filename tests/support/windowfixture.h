#pragma once

#include "app/mainwindow.h"
#include "browser/tabbrowsing.h"
#include "platform/dialogs.h"
#include "platform/pointer.h"
#include "platform/shell.h"
#include "platform/webbrowser.h"
#include "support/httpserver.h"
#include "support/programfolder.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// A main window started in a temporary program folder whose home page, search
// addresses and pages all come from a loopback server; dialogs and the shell are
// scripted.
class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server.addPage(QStringLiteral("/home"), "<html><head><title>Home</title></head><body><p>home page</p></body></html>");
        folder.baseUrl = server.url(QStringLiteral("/"));
        folder.installed(server.url(QStringLiteral("/home")));
    }
    void TearDown() override
    {
        if (window && !window->exiting())
            window->goExit();
        window.reset();
        Pointer::setPosition(std::nullopt);
        Pointer::setButtons(std::nullopt);
    }

    MainWindow &start()
    {
        window = std::make_unique<MainWindow>(folder.path());
        QSignalSpy loaded(window.get(), &MainWindow::homePageLoaded);
        EXPECT_TRUE(window->load());
        window->show();
        EXPECT_TRUE(loaded.count() > 0 || loaded.wait(20000)) << "home page did not load";
        // Under a window manager the window is shown once it has been mapped and framed;
        // a test that looks at what is painted needs it on screen.
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get(), 10000));
        return *window;
    }

    // Waits until tab i has completed a page at this address.
    bool loaded(int tab, const QString &address, int timeoutMs = 15000)
    {
        WebBrowser *web = window->browser(tab);
        return QTest::qWaitFor([&] { return !web->busy() && web->lastCompleted() == address; }, timeoutMs)
               && web->readyState() == QLatin1String("complete");
    }

    void click(int instance, const char *key) { emit window->commandClicked(instance, QString::fromLatin1(key)); }

    QString url(const char *path) const { return server.url(QString::fromLatin1(path)); }

    HttpServer server;
    ProgramFolder folder;
    ScopedDialogs dialogs;
    ScopedShell shell;
    std::unique_ptr<MainWindow> window;
};
