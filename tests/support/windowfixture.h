#pragma once

#include "app/mainwindow.h"
#include "browser/tabbrowsing.h"
#include "platform/pointer.h"
#include "platform/webbrowser.h"
#include "support/httpserver.h"
#include "support/programfolder.h"
#include "support/recordingshell.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include <csignal>

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
        QSignalSpy settled(window.get(), &MainWindow::frameSettled);
        EXPECT_TRUE(window->load());
        window->show();
        EXPECT_TRUE(loaded.count() > 0 || loaded.wait(20000)) << "home page did not load";
        // Under a window manager the window is shown once it has been mapped and framed;
        // a test that looks at what is painted needs it on screen, and one that looks at
        // its place needs it put right for its frame (the home page can load before).
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get(), 10000));
        EXPECT_TRUE(settled.count() > 0 || settled.wait(5000)) << "the window was never framed";
        return *window;
    }

    // Waits until tab i has completed a page at this address.
    bool loaded(int tab, const QString &address, int timeoutMs = 15000)
    {
        WebBrowser *web = window->browser(tab);
        return QTest::qWaitFor([&] { return !web->busy() && web->lastCompleted() == address; }, timeoutMs)
               && web->readyState() == QLatin1String("complete");
    }

    // Opens an address in the current tab as the address box does, and waits for it.
    void open(const QString &address, int timeoutMs = 15000)
    {
        window->addressBox()->setEditText(address);
        window->tabs()->goAddress(0);
        ASSERT_TRUE(loaded(0, address, timeoutMs)) << str(address);
    }

    // The page's widget that takes the user's input.
    QWidget *pageInput(int tab = 0) const
    {
        QWidget *view = window->browser(tab)->widget();
        return view->focusProxy() ? view->focusProxy() : view;
    }
    // A real click into the page, where the user would click.
    void clickPage(const QPoint &at) { QTest::mouseClick(pageInput(), Qt::LeftButton, Qt::NoModifier, at); }
    // A key as the user presses it, in the page.
    void pageKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(pageInput(), key, modifiers);
    }

    void click(int instance, const char *key) { emit window->commandClicked(instance, QString::fromLatin1(key)); }

    // Ends tab i's renderer from outside, as the system does when memory runs out;
    // true once the tab knows its page died.
    bool endRenderer(int tab)
    {
        WebBrowser *web = window->browser(tab);
        QSignalSpy died(web, &WebBrowser::pageDied);
        const qint64 pid = static_cast<QWebEngineView *>(web->widget())->page()->renderProcessPid();
        return pid > 0 && ::kill(static_cast<pid_t>(pid), SIGKILL) == 0 && died.wait(10000);
    }

    QString url(const char *path) const { return server.url(QString::fromLatin1(path)); }

    HttpServer server;
    ProgramFolder folder;
    ScopedDialogs dialogs;
    ScopedShell shell;
    std::unique_ptr<MainWindow> window;
};
