// The main window's start-up: the language and the tabs it asks for, the command bars,
// the captions, the stored geometry and history, the home page, and the work that waits
// until the window shows.
#include "mainwindow.h"

#include "app/layoutsizes.h"
#include "app/startup.h"
#include "app/windowframe.h"
#include "app/windowinput.h"
#include "browser/address.h"
#include "browser/tabbrowsing.h"
#include "commands/captions.h"
#include "commands/dispatch.h"
#include "commands/mainbars.h"
#include "commands/secondarybars.h"
#include "export/mailexport.h"
#include "platform/commandbar.h"
#include "platform/dragbutton.h"
#include "platform/imagelist.h"
#include "platform/privatefolder.h"
#include "platform/twips.h"
#include "platform/webbrowser.h"
#include "platform/webengine.h"
#include "settings/history.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTabBar>
#include <QWebEngineProfile>

namespace {

using namespace LayoutSizes;
constexpr int kMaxTabs = 32;

int px(double twips) { return Twips::toPixelsX(twips); }
int py(double twips) { return Twips::toPixelsY(twips); }

int32_t screenHeightTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return static_cast<int32_t>(screen ? Twips::fromPixelsY(screen->geometry().height()) : 0);
}

int32_t screenWidthTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return static_cast<int32_t>(screen ? Twips::fromPixelsX(screen->geometry().width()) : 0);
}

} // namespace

bool MainWindow::readLanguage(bool startUp)
{
    std::optional<int> tabNumber;
    if (!StartUp::readLanguage(m_state, startUp, this, &tabNumber))
        return false;
    if (tabNumber && *tabNumber > 0)
        setTabCount(*tabNumber);
    ensureBrowsers();
    for (int i = 0; i < m_tabStrip->count(); ++i)
        setTabCaption(i, QString());
    return true;
}

void MainWindow::setTabCount(int count)
{
    count = std::min(count, kMaxTabs);
    while (m_tabStrip->count() < count)
        m_tabStrip->addTab(QString());
    while (m_tabStrip->count() > count)
        m_tabStrip->removeTab(m_tabStrip->count() - 1);
}

void MainWindow::ensureBrowsers()
{
    if (!m_profile)
        m_profile = WebEngine::createProfile(m_state.paths.file(QStringLiteral("Data")), nullptr);
    while (static_cast<int>(m_pages.size()) < m_tabStrip->count()) {
        auto *web = new WebBrowser(static_cast<int>(m_pages.size()), m_profile, this);
        m_tabs->attach(web);
        // A page's dialog gives way to a close request, which then ends the program.
        web->setAbandonCheck([this] { return closeRequested(); });
        web->setDialogTexts(pageTexts());
        connect(web, &WebBrowser::documentComplete, this, [this](int index) {
            if (index == 0 && !m_homeReported) {
                m_homeReported = true;
                emit homePageLoaded();
            }
        });
        m_pages.push_back(web);
        // A tab added by a language loaded during the run is set up as the first ones were.
        if (m_loaded) {
            web->setRegisterAsBrowser(false);
            web->setSilent(true);
            setWeb(web->index());
        }
    }
    // The tab addresses follow the tab count, also when a language loaded later asks
    // for more tabs than the start did.
    while (m_state.tabURL.size() < m_tabStrip->count())
        m_state.tabURL.append(QString());
}

bool MainWindow::load()
{
    AppState &s = m_state;
    if (!StartUp::prepare(s, this, &m_lock))
        return false;
    if (!readLanguage(true))
        return false;
    s.tabURL = QStringList();
    for (int i = 0; i < m_tabStrip->count(); ++i)
        s.tabURL.append(QString());

    buildCommandBars();
    setCaptions();

    IniFile::read(s.iniPath(), s.ini, screenHeightTwips(), screenWidthTwips());

    s.barsShown = true;
    m_barPanel->setGeometry(px(20), 0, m_barPanel->width(), py(kBarPanelHeight));
    m_addressBox->move(m_addressBox->x(), py(20));

    MainBars::setCheckMarks(CommandCatalogue::instance(), s.options.floatBars, s.options.barStyle);
    m_addressBox->addItems(HistoryFile::read(s.historyPath()));
    mountCommandBars();
    m_dispatch->disableMissingSettings();

    if (s.ini.startState == 2) {
        m_frame->place(QGuiApplication::primaryScreen()->geometry());
    } else {
        m_frame->place(WindowFrame::onSomeScreen(QRect(px(s.ini.windowLeft), py(s.ini.windowTop),
                                                       px(s.ini.windowWidth), py(s.ini.windowHeight))));
    }
    m_addressBox->move(m_commandBars[0]->width() - px(40), m_addressBox->y());

    for (int i = 0; i < static_cast<int>(m_pages.size()); ++i) {
        m_pages[i]->setRegisterAsBrowser(false);
        m_pages[i]->setSilent(true);
        setWeb(i);
    }
    s.currentURL.clear();

    m_progressBar->resize(px(kProgressWidth), m_progressBar->height());
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_moveButtonLeft->move(0, 0);
    m_statusText->move(m_moveButtonLeft->width(), 0);
    m_moveButton->setIcon(ImageList::main().icon(120));
    m_moveButtonLeft->setIcon(ImageList::main().icon(121));

    QString home = s.options.homePage;
    if (home.isEmpty()) {
        home = WebEngine::startPageAddress();
        s.options.homePage = home;
    }
    m_tabStrip->setCurrentIndex(0);
    s.tabURL[0] = home;
    s.currentURL = home;
    m_pages[0]->navigate(home);
    setTabCaption(0, Address::makeTabCaption(home));
    m_pages[0]->widget()->setVisible(true);

    if (s.options.floatBars == 1) {
        m_autoHideTimer.setInterval(5000);
        m_autoHideTimer.start();
        s.barsShown = true;
    }
    m_startupTimer.setInterval(750);
    m_startupTimer.start();
    m_loaded = true;
    m_input->setKeysActive(true);
    formResize();
    return true;
}

void MainWindow::mountCommandBars()
{
    CommandCatalogue &catalogue = CommandCatalogue::instance();
    const AppState &s = m_state;
    const ImageList *images = &ImageList::main();
    CommandBar *bar0 = m_commandBars[0];
    bar0->setToolbar(catalogue.bar(QStringLiteral("STANDARD0")));
    bar0->setImageLists(images, images);
    bar0->setBarStyle(s.options.barStyle);
    // A bar is never narrower than its buttons: a wider font or another style would
    // otherwise cut off the last of them.
    bar0->setGeometry(0, 0, std::max(px(kBarWidth0), bar0->contentWidth()), py(kBarPanelHeight));
    CommandBar *bar2 = m_commandBars[2];
    bar2->setImageLists(images, images);
    bar2->setToolbar(catalogue.bar(QStringLiteral("STANDARD2")));
    bar2->setBarStyle(s.options.barStyle);
    // The right-hand bar reaches 150 twips past the bar area: that much is kept empty.
    bar2->setGeometry(bar2->x(), 0, std::max(px(kBarWidth2), bar2->contentWidth() + px(150)), py(kBarPanelHeight));
    CommandBar *bar1 = m_commandBars[1];
    bar1->setToolbar(catalogue.bar(QStringLiteral("STANDARD1")));
    bar1->setBarStyle(s.options.barStyle);
    bar1->setGeometry(bar0->width(), py(-10), bar1->width(), py(kBarPanelHeight + 10));
    catalogue.button(QStringLiteral("FAVORITE"))->setEnabled(false);
}

void MainWindow::startupTimerFired()
{
    m_startupTimer.stop();
    // What a run that was killed left in the temporary folder is of no use to anyone;
    // it is cleared once the window is up, not before it shows.
    MailExport::removeOldArchives();
    PrivateFolder::removeAbandoned(PrivateFolder::systemTemp());
    LinkFiles::readTitles(m_state.linkBase, m_state.groups, m_state.lang.entry(34));
    m_state.templateDoc = m_state.paths.file(QStringLiteral("Data/Template.Doc"));
    m_state.templateHDoc = m_state.paths.file(QStringLiteral("Data/TemplateH.Doc"));
    if (CommandButton *favorite = CommandCatalogue::instance().button(QStringLiteral("FAVORITE")))
        favorite->setEnabled(true);
    m_startupDone = true;
    emit startupFinished();
}

void MainWindow::buildCommandBars()
{
    // The catalogue is the process's; a new main window makes it afresh.
    CommandCatalogue &catalogue = CommandCatalogue::instance();
    for (CommandBar *bar : m_commandBars)
        bar->setToolbar(nullptr);
    catalogue.clear();
    SecondaryBars::reset();
    m_tabStrip->setGeometry(0, 0, tabStripWidth(), py(kBarPanelHeight));
    m_state.languages = MainBars::makeButtons(catalogue, m_state.paths.appPath(), tabStripWidth(), m_tabStrip,
                                              ImageList::main());
    MainBars::makeBars(catalogue, m_state.languages);
}

void MainWindow::setCaptions()
{
    Captions::apply(CommandCatalogue::instance(), m_state, m_state.groups, m_moveButton, m_moveButtonLeft);
    // What a screen reader says for the window's own boxes and strips.
    m_addressBox->setAccessibleName(m_state.text(235, QStringLiteral("Address")));
    m_statusText->setAccessibleName(m_state.text(275, QStringLiteral("Status")));
    m_progressBar->setAccessibleName(m_state.text(276, QStringLiteral("Load progress")));
    m_tabStrip->setAccessibleName(m_state.text(274, QStringLiteral("Tabs")));
    m_moveButtonLeft->setAccessibleName(m_state.text(308, QStringLiteral("Move the window (left handle)")));
    m_moveButton->setAccessibleName(m_state.text(309, QStringLiteral("Move the window (right handle)")));
    for (int i = 0; i < m_tabStrip->count(); ++i)
        setTabCaption(i, m_tabStrip->tabText(i));
    for (WebBrowser *web : m_pages)
        web->setDialogTexts(pageTexts());
}

Dialogs::PageDialogTexts MainWindow::pageTexts() const
{
    return {m_state.text(277, QStringLiteral("Message from the page")),
            m_state.text(273, QStringLiteral("Stop this page from showing more dialogs")),
            m_state.text(281, QStringLiteral("This file already exists. Replace it?")),
            m_state.text(282, QStringLiteral("This page has stopped working. Reload it to see it again.")),
            m_state.text(284, QStringLiteral("Reload"))};
}
