#include "windowhosts.h"

#include "app/mainwindow.h"
#include "browser/tabbrowsing.h"
#include "export/pagecapture.h"
#include "platform/commandbar.h"
#include "platform/webbrowser.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTabBar>

WindowHosts::WindowHosts(MainWindow &window)
    : m_window(window)
{
}

QWidget *WindowHosts::dialogParent()
{
    return &m_window;
}

WebBrowser *WindowHosts::currentPage()
{
    return m_window.currentBrowser();
}

bool WindowHosts::waitForPage()
{
    return m_window.tabs()->webAttend();
}

bool WindowHosts::waitForPageWithin(int limitMs, bool *timedOut)
{
    return m_window.tabs()->webAttend(limitMs, timedOut);
}

int WindowHosts::tabCount()
{
    return m_window.tabCount();
}

WebBrowser *WindowHosts::tabPage(int tab)
{
    return m_window.browser(tab);
}

int WindowHosts::selectedTab()
{
    return m_window.selectedTab();
}

void WindowHosts::selectTab(int tab)
{
    // As a click selects it: the page shown, the address box and the status panel
    // following; no blank tab takes its neighbour's page here.
    m_window.tabBar()->setCurrentIndex(tab);
}

QString WindowHosts::chooseSaveFile(const QString &title, const QString &filter, const QString &suggestedName,
                                    const QString &folder, int *filterIndex)
{
    return Dialogs::instance().saveFile(&m_window, title, filter, suggestedName, folder, filterIndex);
}

void WindowHosts::tell(Dialogs::Icon icon, const QString &text)
{
    Dialogs::instance().message(&m_window, icon, QStringLiteral("QuorlOffice"), text);
}

void WindowHosts::setOpacity(int alpha)
{
    m_window.setWindowOpacity(alpha / 255.0);
}

QString WindowHosts::statusText() const
{
    return m_window.statusText()->text();
}

void WindowHosts::setStatusText(const QString &text)
{
    m_window.statusText()->setText(text);
}

void WindowHosts::setProgress(int percent)
{
    m_window.progressBar()->setValue(percent);
}

QWidget *WindowHosts::statusPanel()
{
    return m_window.statusPanel();
}

int WindowHosts::progressLeft() const
{
    return m_window.progressBar()->x();
}

void WindowHosts::showPageAlone()
{
    m_window.state().barsShown = true;
    m_window.statusPanel()->hide();
    m_window.goBarOff();
    m_window.repaint();
}

void WindowHosts::showBars()
{
    m_window.statusPanel()->show();
    m_window.state().barsShown = false;
    m_window.goBarOn();
    m_window.repaint();
}

QImage WindowHosts::grabScreen()
{
    QScreen *screen = m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->grabWindow(0).toImage() : QImage();
}

void WindowHosts::stretchPageUnderBars()
{
    m_window.barPanel()->setVisible(true);
    if (WebBrowser *web = m_window.currentBrowser()) {
        QWidget *view = web->widget();
        view->resize(view->width(), m_window.height() + 2);
    }
}

void WindowHosts::relayout()
{
    m_window.runResizeRules();
}

void WindowHosts::resumeAutoHide()
{
    m_window.autoHideTimer()->start();
}

void WindowHosts::exit()
{
    m_window.goExit();
}

void WindowHosts::minimise()
{
    m_window.showMinimized();
}

bool WindowHosts::closeRequested() const
{
    return m_window.closeRequested();
}

void WindowHosts::cancelWait()
{
    m_window.tabs()->cancelWait();
}

QString WindowHosts::addressText() const
{
    return m_window.addressBox()->currentText();
}

void WindowHosts::setAddressText(const QString &text)
{
    m_window.addressBox()->setEditText(text);
}

void WindowHosts::openAddress(int16_t flag)
{
    m_window.tabs()->goAddress(flag);
}

void WindowHosts::setBarStyle(int16_t style)
{
    for (int i = 0; i < 3; ++i)
        m_window.commandBar(i)->setBarStyle(style);
}

void WindowHosts::setFloating(bool on)
{
    QTimer *timer = m_window.autoHideTimer();
    if (on) {
        timer->setInterval(750);
        timer->start();
        m_window.goBarOff();
    } else {
        timer->stop();
    }
}

bool WindowHosts::loadLanguage()
{
    if (!m_window.readLanguage(false))
        return false;
    m_window.setCaptions();
    return true;
}

void WindowHosts::openFind()
{
    m_window.openFind();
}

WindowMailHost::WindowMailHost(MainWindow &window, PageCapture &capture)
    : m_window(window)
    , m_capture(capture)
{
}

QWidget *WindowMailHost::dialogParent()
{
    return &m_window;
}

void WindowMailHost::setOpacity(int alpha)
{
    m_capture.setOpacity(alpha);
}

void WindowMailHost::setStatusText(const QString &text)
{
    QLabel *status = m_window.statusText();
    status->setText(text);
    status->repaint();
    // The page's picture may still be held by the engine when the archive is made, and
    // then the window is not drawn until events are handled: let it draw, but take no
    // input, so that nothing can start a second archive meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString WindowMailHost::dialogFileName() const
{
    return m_capture.lastPath();
}

void WindowMailHost::setDialogFileName(const QString &path)
{
    m_capture.setLastPath(path);
}
