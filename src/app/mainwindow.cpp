#include "mainwindow.h"

#include "app/firstrun.h"
#include "browser/address.h"
#include "browser/findbar.h"
#include "commands/dispatch.h"
#include "browser/tabbrowsing.h"
#include "commands/captions.h"
#include "commands/mainbars.h"
#include "commands/secondarybars.h"
#include "platform/commandbar.h"
#include "platform/dragbutton.h"
#include "platform/imagelist.h"
#include "platform/dialogs.h"
#include "platform/pointer.h"
#include "platform/textfile.h"
#include "platform/translations.h"
#include "platform/twips.h"
#include "platform/wait.h"
#include "platform/webbrowser.h"
#include "platform/webengine.h"
#include "settings/history.h"
#include "settings/language.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QWebEngineProfile>
#include <QWindow>

#include <cmath>

namespace {

const QString kTitle = QStringLiteral("QuorlOffice");

// Fixed sizes of the layout, in twips.
constexpr int kBarPanelHeight = 385;
constexpr int kStatusPanelHeight = 330;
constexpr int kMoveButtonWidth = 330;
constexpr int kProgressWidth = 1800;
constexpr int kBarWidth0 = 4560;
constexpr int kBarWidth2 = 3400;
constexpr int kBrowserOverlap = 35;
constexpr int kRestoreShift = 285;
constexpr int kMaxTabs = 32;
constexpr int kDefaultTabPixels = 110; // per tab, when the language file sets no width

int px(double twips) { return Twips::toPixelsX(twips); }
int py(double twips) { return Twips::toPixelsY(twips); }
long long tx(int pixels) { return Twips::fromPixelsX(pixels); }
long long ty(int pixels) { return Twips::fromPixelsY(pixels); }

int32_t screenHeightTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return static_cast<int32_t>(screen ? ty(screen->geometry().height()) : 0);
}

int32_t screenWidthTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return static_cast<int32_t>(screen ? tx(screen->geometry().width()) : 0);
}

// The address box keeps this much room; the tab strip gives way first.
constexpr int kAddressBoxMinPixels = 240;
// A stored rectangle must show this much of itself on some screen to be used as it is.
constexpr int kVisibleMinPixels = 100;

// A rectangle that no screen shows enough of (a monitor that was unplugged) is moved
// onto the primary screen, no larger than it.
QRect onSomeScreen(const QRect &frame)
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect shown = screen->geometry().intersected(frame);
        if (shown.width() >= kVisibleMinPixels && shown.height() >= kVisibleMinPixels)
            return frame;
    }
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return frame;
    const QRect area = primary->availableGeometry();
    QRect moved(QPoint(0, 0), frame.size().boundedTo(area.size()).expandedTo(QSize(kVisibleMinPixels, kVisibleMinPixels)));
    moved.moveCenter(area.center());
    return moved;
}

// The look the tab strip has always had: white active tab, pale blue inactive tabs on
// a light blue strip.
const char *kTabStyle = R"(
QTabBar { background: rgb(197, 224, 254); }
QTabBar::tab {
    color: rgb(64, 64, 64);
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 rgb(162, 187, 225));
    border: 1px solid rgb(128, 128, 128);
    border-bottom: none;
    border-top-left-radius: 5px;
    border-top-right-radius: 5px;
    padding: 1px 6px;
    min-height: 16px;
}
QTabBar::tab:selected { background: white; color: black; }
QTabBar::tab:disabled { background: palette(button); color: rgb(160, 160, 160); }
)";

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
    m_tabs = new TabBrowsing(this);
    m_timer1.setParent(this);
    m_timer4.setParent(this);
    connect(&m_timer1, &QTimer::timeout, this, &MainWindow::autoHideTick);
    m_timer4.setSingleShot(true);
    connect(&m_timer4, &QTimer::timeout, this, &MainWindow::startupTimerFired);
    qApp->installEventFilter(this);
    m_frameTimer.setParent(this);
    m_frameTimer.setInterval(50);
    connect(&m_frameTimer, &QTimer::timeout, this, &MainWindow::checkFrame);
    connect(Wait::notifier(), &Wait::idle, this, [this] {
        if (m_closePending && !m_exiting) {
            m_closePending = false;
            goExit();
        }
    });
}

MainWindow::~MainWindow()
{
    // No event of the children being destroyed below may reach a filter of this window
    // once it is no longer whole.
    qApp->removeEventFilter(this);
    delete m_tabs;
    m_tabs = nullptr;
    // Pages before the profile they were made with.
    for (WebBrowser *web : m_web)
        delete web;
    m_web.clear();
    delete m_profile;
}

void MainWindow::buildWidgets()
{
    m_picBar = new QWidget(this);
    m_picBar->setObjectName(QStringLiteral("picBar"));
    m_picBar->setAutoFillBackground(true);
    for (int i = 0; i < 3; ++i) {
        auto *bar = new CommandBar(i, m_picBar);
        connectCommandBar(bar);
        m_cmdBars.push_back(bar);
    }
    m_tab1 = new QTabBar(m_picBar);
    m_tab1->setObjectName(QStringLiteral("Tab1"));
    m_tab1->setStyleSheet(QString::fromLatin1(kTabStyle));
    m_tab1->setDrawBase(false);
    m_tab1->setExpanding(true);
    m_tab1->setUsesScrollButtons(false);
    m_tab1->setElideMode(Qt::ElideRight);
    m_tab1->setFocusPolicy(Qt::NoFocus);
    for (int i = 0; i < 3; ++i)
        m_tab1->addTab(QString());

    m_text1 = new QComboBox(m_picBar);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setEditable(true);
    m_text1->setInsertPolicy(QComboBox::NoInsert);
    m_text1->setMaxVisibleItems(16);

    m_picStat = new QWidget(this);
    m_picStat->setObjectName(QStringLiteral("picStat"));
    m_cmdMoveL = new DragButton(m_picStat);
    m_cmdMoveL->setObjectName(QStringLiteral("cmdMoveL"));
    m_cmdMove = new DragButton(m_picStat);
    m_cmdMove->setObjectName(QStringLiteral("cmdMove"));
    for (DragButton *b : {m_cmdMoveL, m_cmdMove}) {
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::SizeAllCursor);
    }
    m_statusBar = new QLabel(m_picStat);
    m_statusBar->setObjectName(QStringLiteral("statusBar"));
    m_statusBar->setTextFormat(Qt::PlainText);
    m_statusBar->setFrameShape(QFrame::StyledPanel);
    m_statusBar->setFrameShadow(QFrame::Sunken);
    m_progressBar = new QProgressBar(m_picStat);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setTextVisible(false);

    m_picBar->setGeometry(px(20), 0, px(9000), py(kBarPanelHeight));
    m_picStat->setGeometry(0, 0, px(9000), py(kStatusPanelHeight));
    for (DragButton *b : {m_cmdMoveL, m_cmdMove})
        b->setGeometry(0, 0, px(kMoveButtonWidth), py(kStatusPanelHeight));
    m_statusBar->setGeometry(0, 0, px(3000), py(kStatusPanelHeight));
    m_progressBar->setGeometry(0, py(60), px(kProgressWidth), py(kStatusPanelHeight - 120));
    m_findBar = new FindBar(this);
}

bool MainWindow::readLanguage(bool startUp)
{
    std::optional<int> tabNumber;
    const QString path = m_state.languagePath();
    // Read into copies: a file that cannot be read leaves the current language whole.
    LangTable table;
    LangSettings settings = m_state.langSettings;
    if (!LanguageFile::read(path, table, settings, &tabNumber)) {
        if (!startUp)
            return false;
        // At start-up the named file is gone or unreadable: start in English rather
        // than not at all, and say so only when there is no English file either.
        m_state.options.langName = QStringLiteral("English");
        if (!LanguageFile::read(m_state.languagePath(), table, settings, &tabNumber)) {
            Dialogs::instance().message(this, Dialogs::Icon::Critical, kTitle,
                                        QStringLiteral("QuorlOffice cannot start: no language file "
                                                       "could be read (")
                                            + path + QStringLiteral(")."));
            return false;
        }
    }
    m_state.lang = table;
    m_state.langSettings = settings;
    Translations::apply(settings.langCode);
    if (tabNumber && *tabNumber > 0)
        setTabCount(*tabNumber);
    ensureBrowsers();
    for (int i = 0; i < m_tab1->count(); ++i)
        setTabCaption(i, QString());
    return true;
}

void MainWindow::setTabCount(int count)
{
    count = std::min(count, kMaxTabs);
    while (m_tab1->count() < count)
        m_tab1->addTab(QString());
    while (m_tab1->count() > count)
        m_tab1->removeTab(m_tab1->count() - 1);
}

void MainWindow::ensureBrowsers()
{
    if (!m_profile)
        m_profile = WebEngine::createProfile(m_state.paths.file(QStringLiteral("Data")), nullptr);
    while (static_cast<int>(m_web.size()) < m_tab1->count()) {
        auto *web = new WebBrowser(static_cast<int>(m_web.size()), m_profile, this);
        m_tabs->attach(web);
        // A page's dialog gives way to a close request, which then ends the program.
        web->setAbandonCheck([this] { return closeRequested(); });
        web->setDialogTexts({m_state.text(277, QStringLiteral("Message from the page")),
                             m_state.text(273, QStringLiteral("Stop this page from showing more dialogs"))});
        connect(web, &WebBrowser::documentComplete, this, [this](int index) {
            if (index == 0 && !m_homeReported) {
                m_homeReported = true;
                emit homePageLoaded();
            }
        });
        m_web.push_back(web);
        // A tab added by a language loaded during the run is set up as the first ones were.
        if (m_loaded) {
            web->setRegisterAsBrowser(false);
            web->setSilent(true);
            setWeb(web->index());
        }
    }
    // The tab addresses follow the tab count, also when a language loaded later asks
    // for more tabs than the start did.
    while (m_state.tabURL.size() < m_tab1->count())
        m_state.tabURL.append(QString());
}

bool MainWindow::load()
{
    AppState &s = m_state;
    if (FirstRun::markerPresent(s.paths.appPath())) {
        const FirstRun::Result result = FirstRun::moveData(s.paths.appPath());
        if (result.status == FirstRun::Result::Status::MissingFile) {
            Dialogs::instance().message(this, Dialogs::Icon::Critical, kTitle,
                                        QStringLiteral("No ") + result.path + QStringLiteral(" file found!"));
            return false;
        }
        if (result.status == FirstRun::Result::Status::Failed) {
            Dialogs::instance().message(this, Dialogs::Icon::Critical, kTitle,
                                        QStringLiteral("QuorlOffice could not install its data files: ")
                                            + result.detail);
            return false;
        }
    }

    s.linkBase = LinkFiles::baseName(s.paths.appPath());
    s.todayText = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    s.linkRows = 30;
    s.linkColumns = 5;
    s.pictureCount = 0;
    s.exportAlpha = 205;
    s.normalAlpha = 255;

    QString error;
    if (OptionsFile::read(s.optionsPath(), s.options, WebEngine::startPageAddress(), &error)
        == OptionsFile::ReadResult::CannotCreate) {
        Dialogs::instance().message(this, Dialogs::Icon::Critical, kTitle,
                                    QStringLiteral("QuorlOffice cannot start: its options file could not be "
                                                   "written (")
                                        + s.optionsPath() + QStringLiteral("): ") + error);
        return false;
    }
    if (!readLanguage(true))
        return false;
    s.tabURL = QStringList();
    for (int i = 0; i < m_tab1->count(); ++i)
        s.tabURL.append(QString());

    buildCommandBars();
    setCaptions();

    IniFile::read(s.iniPath(), s.ini, screenHeightTwips(), screenWidthTwips());

    s.barsShown = true;
    m_picBar->setGeometry(px(20), 0, m_picBar->width(), py(kBarPanelHeight));
    m_text1->move(m_text1->x(), py(20));

    CommandCatalogue &catalogue = CommandCatalogue::instance();
    MainBars::setCheckMarks(catalogue, s.options.floatBars, s.options.barStyle);

    m_text1->addItems(HistoryFile::read(s.historyPath()));

    const ImageList *images = &ImageList::main();
    CommandBar *bar0 = m_cmdBars[0];
    bar0->setToolbar(catalogue.bar(QStringLiteral("STANDARD0")));
    bar0->setImageLists(images, images);
    bar0->setBarStyle(s.options.barStyle);
    // A bar is never narrower than its buttons: a wider font or another style would
    // otherwise cut off the last of them.
    bar0->setGeometry(0, 0, std::max(px(kBarWidth0), bar0->contentWidth()), py(kBarPanelHeight));
    CommandBar *bar2 = m_cmdBars[2];
    bar2->setImageLists(images, images);
    bar2->setToolbar(catalogue.bar(QStringLiteral("STANDARD2")));
    bar2->setBarStyle(s.options.barStyle);
    // The right-hand bar reaches 150 twips past the bar area: that much is kept empty.
    bar2->setGeometry(bar2->x(), 0, std::max(px(kBarWidth2), bar2->contentWidth() + px(150)), py(kBarPanelHeight));
    CommandBar *bar1 = m_cmdBars[1];
    bar1->setToolbar(catalogue.bar(QStringLiteral("STANDARD1")));
    bar1->setBarStyle(s.options.barStyle);
    bar1->setGeometry(bar0->width(), py(-10), bar1->width(), py(kBarPanelHeight + 10));
    catalogue.button(QStringLiteral("FAVORITE"))->setEnabled(false);
    if (!m_dispatch)
        m_dispatch = new Dispatch(this, m_findBar);
    else
        m_dispatch->disableUnavailable();

    if (s.ini.startState == 2) {
        placeFrame(QGuiApplication::primaryScreen()->geometry());
    } else {
        placeFrame(onSomeScreen(QRect(px(s.ini.windowLeft), py(s.ini.windowTop), px(s.ini.windowWidth),
                                      py(s.ini.windowHeight))));
    }
    m_text1->move(m_cmdBars[0]->width() - px(40), m_text1->y());

    for (int i = 0; i < static_cast<int>(m_web.size()); ++i) {
        m_web[i]->setRegisterAsBrowser(false);
        m_web[i]->setSilent(true);
        setWeb(i);
    }
    s.currentURL.clear();

    m_progressBar->resize(px(kProgressWidth), m_progressBar->height());
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_cmdMoveL->move(0, 0);
    m_statusBar->move(m_cmdMoveL->width(), 0);
    m_cmdMove->setIcon(images->icon(120));
    m_cmdMoveL->setIcon(images->icon(121));

    QString home = s.options.homePage;
    if (home.isEmpty()) {
        home = WebEngine::startPageAddress();
        s.options.homePage = home;
    }
    m_tab1->setCurrentIndex(0);
    s.tabURL[0] = home;
    s.currentURL = home;
    m_web[0]->navigate(home);
    setTabCaption(0, Address::makeTabCaption(home));
    m_web[0]->widget()->setVisible(true);

    if (s.options.floatBars == 1) {
        m_timer1.setInterval(5000);
        m_timer1.start();
        s.barsShown = true;
    }
    m_timer4.setInterval(750);
    m_timer4.start();
    m_loaded = true;
    formResize();
    return true;
}

void MainWindow::startupTimerFired()
{
    m_timer4.stop();
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
    for (CommandBar *bar : m_cmdBars)
        bar->setToolbar(nullptr);
    catalogue.clear();
    SecondaryBars::reset();
    m_tab1->setGeometry(0, 0, tabStripWidth(), py(kBarPanelHeight));
    m_state.languages = MainBars::makeButtons(catalogue, m_state.paths.appPath(), tabStripWidth(), m_tab1,
                                              ImageList::main());
    MainBars::makeBars(catalogue, m_state.languages);
}

void MainWindow::setCaptions()
{
    Captions::apply(CommandCatalogue::instance(), m_state, m_state.groups, m_cmdMove, m_cmdMoveL);
    // What a screen reader says for the window's own boxes and strips.
    m_text1->setAccessibleName(m_state.text(235, QStringLiteral("Address")));
    m_statusBar->setAccessibleName(m_state.text(275, QStringLiteral("Status")));
    m_progressBar->setAccessibleName(m_state.text(276, QStringLiteral("Load progress")));
    m_tab1->setAccessibleName(m_state.text(274, QStringLiteral("Tabs")));
    m_cmdMoveL->setAccessibleName(m_state.text(308, QStringLiteral("Move the window (left handle)")));
    m_cmdMove->setAccessibleName(m_state.text(309, QStringLiteral("Move the window (right handle)")));
    for (int i = 0; i < m_tab1->count(); ++i)
        setTabCaption(i, m_tab1->tabText(i));
    for (WebBrowser *web : m_web)
        web->setDialogTexts({m_state.text(277, QStringLiteral("Message from the page")),
                             m_state.text(273, QStringLiteral("Stop this page from showing more dialogs"))});
}

void MainWindow::setTabCaption(int index, const QString &caption)
{
    m_tab1->setTabText(index, caption);
    // A blank tab is still named for a screen reader: the word for a tab and its number.
    m_tab1->setAccessibleTabName(index, caption.isEmpty() ? m_state.text(272, QStringLiteral("Tab"))
                                                                 + u' ' + QString::number(index + 1)
                                                           : caption);
}

void MainWindow::connectCommandBar(CommandBar *bar)
{
    connect(bar, &CommandBar::buttonClick, this, [this](int index, CommandButton *button) {
        emit commandClicked(index, button->key());
    });
    connect(bar, &CommandBar::newInstanceRequest, this, [this](int, CommandBar **created) {
        auto *extra = new CommandBar(static_cast<int>(m_cmdBars.size()), m_picBar);
        extra->setVisible(false);
        connectCommandBar(extra);
        m_cmdBars.push_back(extra);
        *created = extra;
    });
    // While a drop-down is open the floating bars must not hide under it.
    connect(bar, &CommandBar::dropDownOpened, this, [this] { m_timer1.stop(); });
    connect(bar, &CommandBar::dropDownClosed, this, [this] {
        if (m_state.options.floatBars == 1)
            m_timer1.start();
    });
}

CommandBar *MainWindow::commandBar(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_cmdBars.size()))
        return nullptr;
    return m_cmdBars[index];
}

int MainWindow::mouseButton() const
{
    return Pointer::buttons();
}

void MainWindow::fillScreen()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        setWindowState(Qt::WindowNoState);
    placeFrame(QGuiApplication::primaryScreen()->geometry());
}

void MainWindow::hystAdd()
{
    m_text1->addItem(m_state.currentURL);
}

namespace {

// The engine's own items come without run-time type information, so the undefined
// behaviour checker cannot tell them from freed memory; isWidgetType() reads only a
// flag of QObject's own data, which every object has.
#if defined(__clang__) || defined(__GNUC__)
__attribute__((no_sanitize("vptr")))
#endif
bool isWidgetObject(const QObject *object)
{
    return object->isWidgetType();
}

} // namespace

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool input = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
                       || type == QEvent::MouseButtonDblClick || type == QEvent::KeyPress || type == QEvent::Wheel;
    // Only widgets are looked at: the engine sends events to items of its own, also
    // while they are being destroyed, and those are asked nothing but that.
    if (!input || !isWidgetObject(watched))
        return QWidget::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    if (widget->window() == this) {
        // While a page's dialog is open the window takes no other input (a close
        // request still reaches it), as a modal dialog would have it.
        if (Dialogs::pageDialogsOpen() > 0)
            return true;
        // A click or a key in a page is the user's doing: a download the page asks
        // for right after it is theirs.
        if (type == QEvent::MouseButtonPress || type == QEvent::KeyPress) {
            for (WebBrowser *web : m_web) {
                if (web->widget()->isAncestorOf(widget)) {
                    if (type == QEvent::MouseButtonPress)
                        web->noteUserAction(widget->mapTo(
                            web->widget(), static_cast<QMouseEvent *>(event)->position().toPoint()));
                    else
                        web->noteUserAction();
                    break;
                }
            }
        }
    }
    // F12 reaches whichever child has the focus (usually the page), so it is caught
    // for the whole window here; the modifiers do not matter.
    if (type == QEvent::KeyPress && widget->window() == this) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F12) {
            fillScreen();
            return true;
        }
        if (m_dispatch && handleKey(widget, key))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool MainWindow::handleKey(QWidget *target, QKeyEvent *key)
{
    // The keys every browser has, where they take nothing from the program's own
    // commands: each runs the command a click would.
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    switch (key->key()) {
    case Qt::Key_F:
        if (mods != Qt::ControlModifier)
            return false;
        m_dispatch->openFind();
        return true;
    case Qt::Key_F5:
        if (mods != Qt::NoModifier)
            return false;
        emit commandClicked(3, QStringLiteral("NAVIGATE:REFRESH"));
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (mods != Qt::AltModifier)
            return false;
        emit commandClicked(0, key->key() == Qt::Key_Left ? QStringLiteral("BACK") : QStringLiteral("NEXT"));
        return true;
    case Qt::Key_L:
        if (mods != Qt::ControlModifier)
            return false;
        m_text1->lineEdit()->setFocus(Qt::ShortcutFocusReason);
        m_text1->lineEdit()->selectAll();
        return true;
    case Qt::Key_Escape:
        // The find bar closes itself with Escape; elsewhere Escape stops the page, or
        // the export that waits for it.
        if (mods != Qt::NoModifier || m_findBar->isAncestorOf(target))
            return false;
        if (Wait::active()) {
            m_tabs->cancelWait();
            return true;
        }
        emit commandClicked(3, QStringLiteral("EDIT:STOP"));
        return true;
    default:
        return false;
    }
}

WebBrowser *MainWindow::browser(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_web.size()))
        return nullptr;
    return m_web[index];
}

WebBrowser *MainWindow::currentBrowser() const
{
    return browser(selectedTab());
}

int MainWindow::tabCount() const
{
    return m_tab1->count();
}

int MainWindow::selectedTab() const
{
    return std::max(0, m_tab1->currentIndex());
}

int MainWindow::tabStripWidth() const
{
    const int panel = m_state.langSettings.tabWidth;
    return panel > 0 ? panel : kDefaultTabPixels * m_tab1->count();
}

void MainWindow::setWeb(int index)
{
    WebBrowser *web = browser(index);
    if (!web)
        return;
    QWidget *view = web->widget();
    if (m_state.barsShown)
        view->setGeometry(0, m_picBar->height(), width(),
                          height() - m_picBar->height() - m_picStat->height() + py(kBrowserOverlap));
    else
        view->setGeometry(0, 0, width(), height() - m_picStat->height() + py(kBrowserOverlap));
    view->raise();
}

void MainWindow::goBarOff()
{
    if (!m_state.barsShown)
        return;
    m_picStat->setVisible(false);
    if (WebBrowser *web = currentBrowser()) {
        const int h = !m_statusBar->isHidden() ? height() - m_picStat->height() + py(kBrowserOverlap)
                                               : height() + py(kBrowserOverlap);
        web->widget()->setGeometry(0, 0, web->widget()->width(), h);
        web->widget()->raise();
    }
    m_state.barsShown = false;
}

void MainWindow::goBarOn()
{
    if (!m_state.barsShown) {
        m_picStat->setVisible(true);
        if (WebBrowser *web = currentBrowser()) {
            web->widget()->setGeometry(0, m_picBar->height(), web->widget()->width(),
                                       height() - m_picBar->height() - m_picStat->height()
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
        if (y < top + ty(m_picBar->height()) + 400)
            return;
        goBarOff();
    } else if (y < top + 420) {
        goBarOn();
    }
    if (m_timer1.interval() != 1500)
        m_timer1.setInterval(1500);
}

LiveWindowRect MainWindow::windowRectTwips() const
{
    const QRect frame = frameGeometry();
    return {ty(frame.y()), tx(frame.x()), ty(frame.height()), tx(frame.width())};
}

void MainWindow::setWindowRectTwips(long long left, long long top, long long width, long long height)
{
    placeFrame(QRect(px(left), py(top), px(width), py(height)));
}

bool MainWindow::frameKnown() const
{
    // Without a window manager there is no frame, and nothing more will come.
    const QWindow *handle = windowHandle();
    return handle && (!handle->frameMargins().isNull() || m_frameSettled);
}

void MainWindow::placeFrame(const QRect &frame)
{
    // The rectangle kept between runs is the window with its frame, as the settings
    // file has always held it. A window manager adds its frame only once the window is
    // shown, so until then the frame is guessed as nothing, and the rectangle is put
    // right again as soon as the frame is there: the window keeps its size run after run.
    m_wantedFrame = frame;
    const QMargins margins = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    move(frame.topLeft());
    resize(std::max(1, frame.width() - margins.left() - margins.right()),
           std::max(1, frame.height() - margins.top() - margins.bottom()));
    if (!frameKnown() && !m_frameTimer.isActive()) {
        m_frameChecks = 0;
        m_frameTimer.start();
    }
}

void MainWindow::checkFrame()
{
    if (!isVisible())
        return;
    ++m_frameChecks;
    const QWindow *handle = windowHandle();
    if (handle && !handle->frameMargins().isNull()) {
        m_frameTimer.stop();
        if (windowState() == Qt::WindowNoState && m_wantedFrame.isValid())
            placeFrame(m_wantedFrame);
        emit frameSettled();
    } else if (m_frameChecks >= 40) {
        // Two seconds shown and still no frame: there is no window manager.
        m_frameTimer.stop();
        m_frameSettled = true;
        emit frameSettled();
    }
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
    m_picBar->resize(w - px(20), m_picBar->height());
    m_statusBar->resize(w - m_progressBar->width() - m_cmdMove->width() - m_cmdMoveL->width() - px(60),
                        m_statusBar->height());
    m_picStat->setGeometry(m_picStat->x(), h - m_picStat->height(), w - px(20), m_picStat->height());

    const int barW = m_picBar->width();
    CommandBar *bar0 = m_cmdBars[0];
    CommandBar *bar1 = m_cmdBars[1];
    CommandBar *bar2 = m_cmdBars[2];
    bar1->resize(barW - bar0->width() - bar2->width() + px(150), bar1->height());
    bar2->move(barW - bar2->width() + px(150), bar2->y());
    // The tab strip panel keeps its width while the address box has its minimum room
    // beside it; in a narrower window the tabs grow narrower first.
    const int strip = std::clamp(bar1->width() - px(100) - kAddressBoxMinPixels, 0, tabStripWidth());
    if (CommandButton *panel = CommandCatalogue::instance().button(QStringLiteral("NIL4")); panel && panel->panelWidth() != strip)
        panel->setPanelWidth(strip);
    m_tab1->resize(strip, m_tab1->height());
    m_text1->setGeometry(bar1->x() + strip + px(50), m_text1->y(), std::max(0, bar1->width() - strip - px(100)),
                         m_text1->height());
    m_text1->raise();

    setWeb(selectedTab());
    if (m_findBar->isVisible()) {
        const int fh = m_findBar->sizeHint().height();
        m_findBar->setGeometry(0, m_picStat->y() - fh, w, fh);
        m_findBar->raise();
    }
    m_progressBar->move(m_statusBar->x() + m_statusBar->width(), m_progressBar->y());
    m_cmdMove->move(w - m_cmdMove->width() - px(50), 0);

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
    m_timer1.stop();
    m_timer4.stop();
    AppState &s = m_state;

    // Every file is written whole beside its target first, so a failed write leaves
    // the old file as it was; the user is told which ones, and the exit goes on.
    QStringList failed;
    QString error;
    if (!OptionsFile::save(s.optionsPath(), s.options, &error))
        failed << s.optionsPath();
    QStringList history;
    for (int i = 0; i < m_text1->count(); ++i)
        history.append(m_text1->itemText(i));
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
