#pragma once

#include "commands/commandhost.h"
#include "export/exporthost.h"
#include "export/mailexport.h"

class MainWindow;
class PageCapture;

// The main window as the exports and the command dispatch see it.
class WindowHosts : public ExportHost, public CommandHost
{
public:
    explicit WindowHosts(MainWindow &window);

    QWidget *dialogParent() override;
    WebBrowser *currentPage() override;

    // What the exports ask.
    bool waitForPage() override;
    bool waitForPageWithin(int limitMs, bool *timedOut) override;
    int tabCount() override;
    WebBrowser *tabPage(int tab) override;
    int selectedTab() override;
    void selectTab(int tab) override;
    QString chooseSaveFile(const QString &title, const QString &filter, const QString &suggestedName,
                           const QString &folder, int *filterIndex) override;
    void tell(Dialogs::Icon icon, const QString &text) override;
    void setOpacity(int alpha) override;
    QString statusText() const override;
    void setStatusText(const QString &text) override;
    void setProgress(int percent) override;
    QWidget *statusPanel() override;
    int progressLeft() const override;
    void showPageAlone() override;
    void showBars() override;
    QImage grabScreen() override;
    void stretchPageUnderBars() override;
    void relayout() override;
    void resumeAutoHide() override;

    // What the commands ask.
    void exit() override;
    void minimise() override;
    bool closeRequested() const override;
    void cancelWait() override;
    QString addressText() const override;
    void setAddressText(const QString &text) override;
    void openAddress(int16_t flag) override;
    void setBarStyle(int16_t style) override;
    void setFloating(bool on) override;
    bool loadLanguage() override;
    void openFind() override;

private:
    MainWindow &m_window;
};

// The main window as the mail export sees it.
class WindowMailHost : public MailExport::Host
{
public:
    WindowMailHost(MainWindow &window, PageCapture &capture);

    QWidget *dialogParent() override;
    void setOpacity(int alpha) override;
    void setStatusText(const QString &text) override;
    QString dialogFileName() const override;
    void setDialogFileName(const QString &path) override;

private:
    MainWindow &m_window;
    PageCapture &m_capture;
};
