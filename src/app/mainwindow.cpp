#include "mainwindow.h"

#include "app/layoutsizes.h"
#include "app/secondarywindows.h"
#include "app/startup.h"
#include "app/windowframe.h"
#include "app/windowhosts.h"
#include "app/windowinput.h"
#include "browser/address.h"
#include "browser/favoritelinks.h"
#include "browser/findbar.h"
#include "browser/tabbrowsing.h"
#include "commands/captions.h"
#include "commands/dispatch.h"
#include "commands/mainbars.h"
#include "commands/secondarybars.h"
#include "export/exports.h"
#include "export/mailexport.h"
#include "platform/commandbar.h"
#include "platform/dragbutton.h"
#include "platform/imagelist.h"
#include "platform/office/officespare.h"
#include "platform/pointer.h"
#include "platform/privatefolder.h"
#include "platform/tabstrip.h"
#include "platform/twips.h"
#include "platform/wait.h"
#include "platform/webbrowser.h"
#include "platform/webengine.h"
#include "settings/history.h"
#include "settings/language.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QProgressBar>
#include <QTabBar>
#include <QWebEngineProfile>

#include <utility>

namespace {

const QString kTitle = QStringLiteral("QuorlOffice");

using namespace LayoutSizes;
constexpr int kDefaultTabPixels = 110; // per tab, when the language file sets no width
// The address box keeps this much room; the tab strip gives way first.
constexpr int kAddressBoxMinPixels = 240;

int px(double twips) { return Twips::toPixelsX(twips); }
int py(double twips) { return Twips::toPixelsY(twips); }
long long ty(int pixels) { return Twips::fromPixelsY(pixels); }


} // namespace

MainWindow::MainWindow(const QString &appPath, QWidget *parent)
    : MainWindow(Paths(appPath), parent)
{
}

MainWindow::MainWindow(const Paths &paths, QWidget *parent)
    : QWidget(parent)
    , m_state(paths)
{
    setWindowTitle(kTitle);
    buildWidgets();
    buildFeatures();
    m_autoHideTimer.setParent(this);
    m_startupTimer.setParent(this);
    connect(&m_autoHideTimer, &QTimer::timeout, this, &MainWindow::autoHideTick);
    m_startupTimer.setSingleShot(true);
    connect(&m_startupTimer, &QTimer::timeout, this, &MainWindow::startupTimerFired);
    connect(Wait::notifier(), &Wait::idle, this, [this] {
        if (m_closePending && !m_exiting) {
            m_closePending = false;
            goExit();
            return;
        }
        if (m_waitingFront)
            openAddresses(std::exchange(m_waitingAddresses, {}));
    });
}

MainWindow::~MainWindow()
{
    // No event of the children being destroyed below may reach a filter of this window
    // once it is no longer whole.
    delete m_input;
    m_input = nullptr;
    delete m_dispatch;
    m_dispatch = nullptr;
    delete m_tabs;
    m_tabs = nullptr;
    // Pages before the profile they were made with.
    for (WebBrowser *web : m_pages)
        delete web;
    m_pages.clear();
    delete m_profile;
}

void MainWindow::buildWidgets()
{
    m_barPanel = new QWidget(this);
    m_barPanel->setObjectName(QStringLiteral("picBar"));
    m_barPanel->setAutoFillBackground(true);
    for (int i = 0; i < 3; ++i) {
        auto *bar = new CommandBar(i, m_barPanel);
        connectCommandBar(bar);
        m_commandBars.push_back(bar);
    }
    m_tabStrip = new QTabBar(m_barPanel);
    m_tabStrip->setObjectName(QStringLiteral("Tab1"));
    m_tabStrip->setStyleSheet(TabStrip::tabStyleSheet());
    m_tabStrip->setDrawBase(false);
    m_tabStrip->setExpanding(true);
    m_tabStrip->setUsesScrollButtons(false);
    m_tabStrip->setElideMode(Qt::ElideRight);
    m_tabStrip->setFocusPolicy(Qt::NoFocus);
    for (int i = 0; i < 3; ++i)
        m_tabStrip->addTab(QString());

    m_addressBox = new QComboBox(m_barPanel);
    m_addressBox->setObjectName(QStringLiteral("Text1"));
    m_addressBox->setEditable(true);
    m_addressBox->setInsertPolicy(QComboBox::NoInsert);
    m_addressBox->setMaxVisibleItems(16);

    m_statusPanel = new QWidget(this);
    m_statusPanel->setObjectName(QStringLiteral("picStat"));
    m_moveButtonLeft = new DragButton(m_statusPanel);
    m_moveButtonLeft->setObjectName(QStringLiteral("cmdMoveL"));
    m_moveButton = new DragButton(m_statusPanel);
    m_moveButton->setObjectName(QStringLiteral("cmdMove"));
    for (DragButton *b : {m_moveButtonLeft, m_moveButton}) {
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::SizeAllCursor);
    }
    m_statusText = new QLabel(m_statusPanel);
    m_statusText->setObjectName(QStringLiteral("statusBar"));
    m_statusText->setTextFormat(Qt::PlainText);
    m_statusText->setFrameShape(QFrame::StyledPanel);
    m_statusText->setFrameShadow(QFrame::Sunken);
    m_progressBar = new QProgressBar(m_statusPanel);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setTextVisible(false);

    m_barPanel->setGeometry(px(20), 0, px(9000), py(kBarPanelHeight));
    m_statusPanel->setGeometry(0, 0, px(9000), py(kStatusPanelHeight));
    for (DragButton *b : {m_moveButtonLeft, m_moveButton})
        b->setGeometry(0, 0, px(kMoveButtonWidth), py(kStatusPanelHeight));
    m_statusText->setGeometry(0, 0, px(3000), py(kStatusPanelHeight));
    m_progressBar->setGeometry(0, py(60), px(kProgressWidth), py(kStatusPanelHeight - 120));
    m_findBar = new FindBar(this);
}

void MainWindow::buildFeatures()
{
    m_frame = new WindowFrame(this);
    connect(m_frame, &WindowFrame::settled, this, &MainWindow::frameSettled);
    m_input = new WindowInput(this, [this](QWidget *widget) { return pageHolding(widget); }, m_findBar);
    connect(m_input, &WindowInput::commandRequested, this, &MainWindow::commandClicked);
    connect(m_input, &WindowInput::findRequested, this, &MainWindow::openFind);
    connect(m_input, &WindowInput::fillScreenRequested, this, &MainWindow::fillScreen);
    connect(m_input, &WindowInput::addressBoxRequested, this, [this] { m_tabs->focusAddressBox(); });
    connect(m_input, &WindowInput::waitCancelRequested, this, [this] { m_tabs->cancelWait(); });

    m_tabs = new TabBrowsing(m_state, m_tabStrip, m_addressBox, [this](int index) { return browser(index); });
    m_tabs->setCloseCheck([this] { return closeRequested(); });
    connect(m_tabs, &TabBrowsing::statusTextChanged, m_statusText, &QLabel::setText);
    connect(m_tabs, &TabBrowsing::progressChanged, m_progressBar, &QProgressBar::setValue);
    connect(m_tabs, &TabBrowsing::relayoutRequested, this, &MainWindow::formResize);
    connect(m_tabs, &TabBrowsing::addressBoxEntered, &m_autoHideTimer, &QTimer::stop);
    connect(m_tabs, &TabBrowsing::addressOpened, this, [this] {
        if (m_state.options.floatBars == 1)
            m_autoHideTimer.start();
    });

    m_hosts = std::make_unique<WindowHosts>(*this);
    m_exports = std::make_unique<Exports>(m_state, *m_hosts, this);
    // The office worker of the next export is started ahead once the start-up work is
    // done, and never after the exit.
    connect(this, &MainWindow::startupFinished, m_exports->spare(), &OfficeSpare::prepareWhenIdle);
    connect(this, &MainWindow::ended, m_exports->spare(), &OfficeSpare::end);
    m_mailHost = std::make_unique<WindowMailHost>(*this, m_exports->capture());
    m_mail = new MailExport(m_state, *m_mailHost, this);

    m_favorites = new FavoriteLinks(m_state, this, [this] { return m_addressBox->currentText(); });
    connect(m_favorites, &FavoriteLinks::linkChosen, this, &MainWindow::openChosenLink);
    m_windows = new SecondaryWindows(m_state, this);
    connect(m_windows, &SecondaryWindows::helpRequested, this, [this] {
        if (WebBrowser *web = currentBrowser())
            web->navigate(WebEngine::helpPageAddress());
    });

    m_dispatch = new Dispatch(m_state, *m_hosts, *m_exports, *m_mail);
    connect(this, &MainWindow::commandClicked, m_dispatch, &Dispatch::click);
    connect(m_dispatch, &Dispatch::linkTableRequested, m_favorites, &FavoriteLinks::showLinkTable);
    connect(m_dispatch, &Dispatch::aboutRequested, m_windows, &SecondaryWindows::showAbout);
    connect(m_dispatch, &Dispatch::languageEditorRequested, m_windows, &SecondaryWindows::showLanguageEditor);
}

void MainWindow::openAddresses(const QStringList &addresses)
{
    if (closeRequested() || !m_loaded)
        return;
    // A command that waits for a page keeps its page: the addresses open once it ends.
    if (Wait::active()) {
        m_waitingAddresses += addresses;
        m_waitingFront = true;
        return;
    }
    m_waitingFront = false;
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    if (addresses.isEmpty())
        return;
    m_tabs->open(addresses.first(), 0);
    QStringList left = addresses.mid(1);
    for (int i = 0; i < tabCount() && !left.isEmpty(); ++i) {
        if (i != selectedTab() && m_tabStrip->tabText(i).isEmpty())
            m_tabs->openInTab(i, left.takeFirst());
    }
    if (!left.isEmpty())
        Dialogs::messageWhenIdle(this, Dialogs::Icon::Information, QStringLiteral("QuorlOffice"),
                                 m_state.text(356, QStringLiteral("No tab was free for these addresses:")) + u'\n'
                                     + left.join(u'\n'));
}

void MainWindow::openChosenLink(const QString &address)
{
    // A link chosen while the program closes is not opened.
    if (closeRequested())
        return;
    m_addressBox->setEditText(address);
    m_tabs->goAddress(0);
}

WebBrowser *MainWindow::pageHolding(QWidget *widget) const
{
    for (WebBrowser *web : m_pages) {
        if (web->widget()->isAncestorOf(widget))
            return web;
    }
    return nullptr;
}

void MainWindow::setTabCaption(int index, const QString &caption)
{
    m_tabs->setCaption(index, caption);
}

void MainWindow::connectCommandBar(CommandBar *bar)
{
    connect(bar, &CommandBar::buttonClick, this, [this](int index, CommandButton *button) {
        emit commandClicked(index, button->key());
    });
    connect(bar, &CommandBar::newInstanceRequest, this, [this](int, CommandBar **created) {
        auto *extra = new CommandBar(static_cast<int>(m_commandBars.size()), m_barPanel);
        extra->setVisible(false);
        connectCommandBar(extra);
        m_commandBars.push_back(extra);
        *created = extra;
    });
    // While a drop-down is open the floating bars must not hide under it.
    connect(bar, &CommandBar::dropDownOpened, this, [this] { m_autoHideTimer.stop(); });
    connect(bar, &CommandBar::dropDownClosed, this, [this] {
        if (m_state.options.floatBars == 1)
            m_autoHideTimer.start();
    });
}

CommandBar *MainWindow::commandBar(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_commandBars.size()))
        return nullptr;
    return m_commandBars[index];
}

int MainWindow::mouseButton() const
{
    return Pointer::buttons();
}

void MainWindow::fillScreen()
{
    m_frame->fillScreen();
}

void MainWindow::addToHistory()
{
    m_tabs->addToHistory();
}

void MainWindow::openFind()
{
    const LangTable &lang = m_state.lang;
    m_findBar->setTexts(lang.entry(231), lang.entry(232), lang.entry(233), lang.entry(234));
    m_findBar->open(currentBrowser());
    // Placed once it is visible: above the status panel, over no command.
    formResize();
}

WebBrowser *MainWindow::browser(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_pages.size()))
        return nullptr;
    return m_pages[index];
}

WebBrowser *MainWindow::currentBrowser() const
{
    return browser(selectedTab());
}

int MainWindow::tabCount() const
{
    return m_tabStrip->count();
}

int MainWindow::selectedTab() const
{
    return std::max(0, m_tabStrip->currentIndex());
}

int MainWindow::tabStripWidth() const
{
    const int panel = m_state.langSettings.tabWidth;
    return panel > 0 ? panel : kDefaultTabPixels * m_tabStrip->count();
}

void MainWindow::setWeb(int index)
{
    WebBrowser *web = browser(index);
    if (!web)
        return;
    QWidget *view = web->widget();
    if (m_state.barsShown)
        view->setGeometry(0, m_barPanel->height(), width(),
                          height() - m_barPanel->height() - m_statusPanel->height() + py(kBrowserOverlap));
    else
        view->setGeometry(0, 0, width(), height() - m_statusPanel->height() + py(kBrowserOverlap));
    view->raise();
}

void MainWindow::goBarOff()
{
    if (!m_state.barsShown)
        return;
    m_statusPanel->setVisible(false);
    if (WebBrowser *web = currentBrowser()) {
        const int h = !m_statusText->isHidden() ? height() - m_statusPanel->height() + py(kBrowserOverlap)
                                                : height() + py(kBrowserOverlap);
        web->widget()->setGeometry(0, 0, web->widget()->width(), h);
        web->widget()->raise();
    }
    m_state.barsShown = false;
}

void MainWindow::goBarOn()
{
    if (!m_state.barsShown) {
        m_statusPanel->setVisible(true);
        if (WebBrowser *web = currentBrowser()) {
            web->widget()->setGeometry(0, m_barPanel->height(), web->widget()->width(),
                                       height() - m_barPanel->height() - m_statusPanel->height()
                                           + py(kBrowserOverlap));
        }
        m_state.barsShown = true;
        activateWindow();
    }
    Wait::pendingEvents();
}

void MainWindow::autoHideTick()
{
    const long long y = ty(Pointer::position().y());
    const long long top = windowRectTwips().top;
    if (m_state.barsShown) {
        if (y < top + ty(m_barPanel->height()) + 400)
            return;
        goBarOff();
    } else if (y < top + 420) {
        goBarOn();
    }
    if (m_autoHideTimer.interval() != 1500)
        m_autoHideTimer.setInterval(1500);
}

LiveWindowRect MainWindow::windowRectTwips() const
{
    return m_frame->rectTwips();
}

void MainWindow::setWindowRectTwips(long long left, long long top, long long width, long long height)
{
    m_frame->setRectTwips(left, top, width, height);
}

bool MainWindow::frameKnown() const
{
    return m_frame->known();
}

void MainWindow::formResize()
{
    AppState &s = m_state;
    if (s.exportBusy == 1 || !m_loaded)
        return;
    if (isMinimized()) {
        s.wasMinimised = 1;
        setWindowTitle(s.lang.entry(179));
        return;
    }
    if (s.wasMinimised == 1 && windowState() == Qt::WindowNoState) {
        s.wasMinimised = 0;
        setWindowTitle(QString());
        const LiveWindowRect r = windowRectTwips();
        setWindowRectTwips(r.left, r.top - kRestoreShift, r.width, r.height + kRestoreShift);
    }

    const int w = width();
    const int h = height();
    m_barPanel->resize(w - px(20), m_barPanel->height());
    m_statusText->resize(w - m_progressBar->width() - m_moveButton->width() - m_moveButtonLeft->width() - px(60),
                         m_statusText->height());
    m_statusPanel->setGeometry(m_statusPanel->x(), h - m_statusPanel->height(), w - px(20), m_statusPanel->height());

    const int barW = m_barPanel->width();
    CommandBar *bar0 = m_commandBars[0];
    CommandBar *bar1 = m_commandBars[1];
    CommandBar *bar2 = m_commandBars[2];
    bar1->resize(barW - bar0->width() - bar2->width() + px(150), bar1->height());
    bar2->move(barW - bar2->width() + px(150), bar2->y());
    // The tab strip panel keeps its width while the address box has its minimum room
    // beside it; in a narrower window the tabs grow narrower first.
    const int strip = std::clamp(bar1->width() - px(100) - kAddressBoxMinPixels, 0, tabStripWidth());
    if (CommandButton *panel = CommandCatalogue::instance().button(QStringLiteral("NIL4"));
        panel && panel->panelWidth() != strip)
        panel->setPanelWidth(strip);
    m_tabStrip->resize(strip, m_tabStrip->height());
    m_addressBox->setGeometry(bar1->x() + strip + px(50), m_addressBox->y(), std::max(0, bar1->width() - strip - px(100)),
                              m_addressBox->height());
    m_addressBox->raise();

    setWeb(selectedTab());
    if (m_findBar->isVisible()) {
        const int fh = m_findBar->sizeHint().height();
        m_findBar->setGeometry(0, m_statusPanel->y() - fh, w, fh);
        m_findBar->raise();
    }
    m_progressBar->move(m_statusText->x() + m_statusText->width(), m_progressBar->y());
    m_moveButton->move(w - m_moveButton->width() - px(50), 0);

    if (windowState() == Qt::WindowNoState) {
        const LiveWindowRect r = windowRectTwips();
        s.ini.windowTop = static_cast<int32_t>(r.top);
        s.ini.windowLeft = static_cast<int32_t>(r.left);
        s.ini.windowHeight = static_cast<int32_t>(r.height);
        s.ini.windowWidth = static_cast<int32_t>(r.width);
    }
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    formResize();
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        formResize();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    event->ignore();
    if (Wait::active()) {
        // A wait is running below us; close once it has returned.
        m_closePending = true;
        return;
    }
    goExit();
}

void MainWindow::goExit()
{
    if (m_exiting)
        return;
    m_exiting = true;
    m_autoHideTimer.stop();
    m_startupTimer.stop();
    AppState &s = m_state;

    // Every file is written whole beside its target first, so a failed write leaves
    // the old file as it was; the user is told which ones, and the exit goes on.
    QStringList failed;
    QString error;
    if (!OptionsFile::save(s.optionsPath(), s.options, &error))
        failed << s.optionsPath();
    QStringList history;
    for (int i = 0; i < m_addressBox->count(); ++i)
        history.append(m_addressBox->itemText(i));
    if (!HistoryFile::save(s.historyPath(), history, &error))
        failed << s.historyPath();
    if (!IniFile::save(s.iniPath(), s.ini, windowRectTwips(), &error))
        failed << s.iniPath();
    if (!failed.isEmpty()) {
        Dialogs::instance().message(this, Dialogs::Icon::Warning, kTitle,
                                    s.text(219, QStringLiteral("This file could not be written:"))
                                        + QStringLiteral("\n") + failed.join(u'\n'));
    }

    if (WebBrowser *web = currentBrowser())
        web->stop();
    hide();
    for (const char *name : {"html.txt", "doc.txt"}) {
        const QString path = s.paths.file(QString::fromLatin1(name));
        if (QFile::exists(path))
            QFile::remove(path);
    }
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible())
            w->close();
    }
    close();
    emit ended();
}
