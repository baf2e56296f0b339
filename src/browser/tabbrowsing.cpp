#include "tabbrowsing.h"

#include "browser/address.h"
#include "export/officeapp.h"
#include "platform/dialogs.h"
#include "platform/filespace.h"
#include "platform/twips.h"
#include "platform/wait.h"
#include "platform/pointer.h"
#include "platform/webbrowser.h"
#include "settings/appstate.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabBar>
#include <QUrl>

#include <cmath>
#include <utility>

TabBrowsing::TabBrowsing(AppState &state, QTabBar *tabs, QComboBox *addressBox, PageLookup page, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_tabs(tabs)
    , m_box(addressBox)
    , m_page(std::move(page))
{
    tabs->setMouseTracking(true);
    tabs->installEventFilter(this);
    // Whatever changes the selected tab (a click, a language with fewer tabs), the page
    // on screen, the address box and the status panel follow it.
    connect(tabs, &QTabBar::currentChanged, this, &TabBrowsing::selectedTabChanged);
    addressBox->installEventFilter(this);
    addressBox->lineEdit()->installEventFilter(this);
}

int TabBrowsing::selectedTab() const
{
    return std::max(0, m_tabs->currentIndex());
}

WebBrowser *TabBrowsing::currentPage() const
{
    return m_page(selectedTab());
}

void TabBrowsing::setCaption(int index, const QString &caption)
{
    m_tabs->setTabText(index, caption);
    // A blank tab is still named for a screen reader: the word for a tab and its number.
    m_tabs->setAccessibleTabName(index, caption.isEmpty() ? m_state.text(272, QStringLiteral("Tab")) + u' '
                                                                + QString::number(index + 1)
                                                          : caption);
}

void TabBrowsing::focusAddressBox()
{
    // The box may have the focus already (the window gave it): the user's move into it
    // counts all the same.
    m_userInBox = true;
    m_box->lineEdit()->setFocus(Qt::ShortcutFocusReason);
    m_box->lineEdit()->selectAll();
    emit addressBoxEntered();
}

void TabBrowsing::addToHistory()
{
    m_box->addItem(m_state.currentURL);
}

void TabBrowsing::statusIfSelected(int index, int entry, const char *fallback)
{
    if (isSelected(index))
        emit statusTextChanged(m_state.text(entry, QString::fromUtf8(fallback)));
}

void TabBrowsing::attach(WebBrowser *web)
{
    connect(web, &WebBrowser::statusTextChange, this, &TabBrowsing::onStatusTextChange);
    connect(web, &WebBrowser::progressChange, this, &TabBrowsing::onProgressChange);
    connect(web, &WebBrowser::beforeNavigate2, this, &TabBrowsing::onBeforeNavigate);
    connect(web, &WebBrowser::titleChange, this, &TabBrowsing::onTitleChange);
    connect(web, &WebBrowser::documentComplete, this, &TabBrowsing::onDocumentComplete);
    connect(web, &WebBrowser::windowClosing, this, &TabBrowsing::onWindowClosing);
    connect(web, &WebBrowser::popupBlocked, this,
            [this](int index) { statusIfSelected(index, 279, "A pop-up window was blocked."); });
    connect(web, &WebBrowser::downloadBlocked, this, [this](int index) {
        statusIfSelected(index, 278, "A download was blocked: it did not follow a click on the page.");
    });
    connect(web, &WebBrowser::pageEnded, this,
            [this](int index) { statusIfSelected(index, 280, "The page stopped answering and was ended."); });
    connect(web, &WebBrowser::pageDied, this, [this](int index) {
        statusIfSelected(index, 282, "This page has stopped working. Reload it to see it again.");
        if (isSelected(index))
            emit progressChanged(0);
    });
    connect(web, &WebBrowser::navigationRefused, this, &TabBrowsing::onNavigationRefused);
    connect(web, &WebBrowser::addressDropped, this, &TabBrowsing::onAddressDropped);
    connect(web, &WebBrowser::downloadFailed, this, [this](int, const QString &path, FileSpace::Problem problem) {
        Dialogs::instance().message(
            m_box->window(), Dialogs::Icon::Warning, QStringLiteral("QuorlOffice"),
            problem == FileSpace::Problem::Other
                ? m_state.text(283, QStringLiteral("The download did not complete; nothing was saved as:")) + u'\n'
                      + path
                : OfficeApp::writeFailure(m_state, path, problem));
    });
}

bool TabBrowsing::eventFilter(QObject *watched, QEvent *event)
{
    QTabBar *tabs = m_tabs;
    QComboBox *box = m_box;
    if (watched == tabs) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            // The strip selects nothing on a press: only a click, pressed and released
            // on the same tab, selects a tab, and then the tab rules run. A press
            // released elsewhere changes nothing.
            auto *mouse = static_cast<QMouseEvent *>(event);
            m_tabMouseButtons = Pointer::buttons();
            m_pressedTab = tabs->tabAt(mouse->position().toPoint());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            const int index = tabs->tabAt(mouse->position().toPoint());
            const int pressed = m_pressedTab;
            m_pressedTab = -1;
            if (index >= 0 && index == pressed) {
                // A right click reloads a tab without bringing it to the front.
                if (mouse->button() == Qt::LeftButton)
                    tabs->setCurrentIndex(index);
                tabClicked(index, m_tabMouseButtons);
            }
            return true;
        }
        case QEvent::Wheel:
            // The wheel would flip through the tabs without any of the tab rules.
            return true;
        case QEvent::MouseMove:
            updateTabToolTip(static_cast<QMouseEvent *>(event)->position().toPoint().x());
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
    if (watched == box || watched == box->lineEdit()) {
        if (event->type() == QEvent::FocusOut && watched == box->lineEdit()) {
            // What the page did while the user was in the box shows once they leave it,
            // unless they typed something of their own.
            m_userInBox = false;
            if (!box->lineEdit()->isModified() && !m_heldAddress.isEmpty())
                box->setEditText(std::exchange(m_heldAddress, QString()));
        } else if (event->type() == QEvent::FocusIn) {
            // Only the user's own move into the box holds the floating bars and the
            // box's text: the focus it gets when the window is activated is not the
            // user's doing.
            switch (static_cast<QFocusEvent *>(event)->reason()) {
            case Qt::MouseFocusReason:
            case Qt::TabFocusReason:
            case Qt::BacktabFocusReason:
            case Qt::ShortcutFocusReason:
                m_userInBox = true;
                emit addressBoxEntered();
                break;
            default:
                break;
            }
        } else if (event->type() == QEvent::MouseButtonPress) {
            m_userInBox = true;
            emit addressBoxEntered();
        } else if (event->type() == QEvent::KeyPress) {
            m_userInBox = true;
            emit addressBoxEntered();
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                // A new address while an export waits for the page ends that export
                // first: it must not export the new page under the old one's name.
                if (Wait::active())
                    cancelWait();
                goAddress(1);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void TabBrowsing::showPage(int selected)
{
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (WebBrowser *web = m_page(i))
            web->widget()->setVisible(i == selected);
    }
}

void TabBrowsing::tabClicked(int index, int mouseButtons)
{
    emit relayoutRequested();
    if (mouseButtons == 1) {
        const int selected = selectedTab();
        showPage(selected);
        // Tab 0 has no left neighbour to copy when its caption is empty (after a
        // language change): it is left as it is.
        if (m_tabs->tabText(selected).isEmpty() && selected > 0) {
            setCaption(selected, m_tabs->tabText(selected - 1));
            const QString address = m_state.tabURL.value(selected - 1);
            if (WebBrowser *web = m_page(selected))
                web->navigate(address);
            m_state.tabURL[selected] = address;
        }
    } else if (mouseButtons == 2) {
        if (WebBrowser *web = m_page(index))
            web->refresh();
    }
}

void TabBrowsing::updateTabToolTip(int x)
{
    QTabBar *tabs = m_tabs;
    const int count = tabs->count();
    if (count <= 0)
        return;
    const double tabWidth = (Twips::fromPixelsX(tabs->width()) / 15.0) / count;
    if (tabWidth <= 0)
        return;
    const int k = static_cast<int>(std::floor(x / tabWidth));
    if (k >= 0 && k < m_state.tabURL.size())
        tabs->setToolTip(Dialogs::plainToolTip(m_state.tabURL.at(k)));
}

void TabBrowsing::goAddress(int16_t flag)
{
    AppState &s = m_state;
    s.typedAddress = m_box->currentText();
    if (!s.typedAddress.isEmpty()) {
        open(Address::complete(s.typedAddress), flag);
    } else if (WebBrowser *web = currentPage()) {
        web->navigate(s.langSettings.startPage);
    }
    emit addressOpened();
}

void TabBrowsing::open(const QString &address, int16_t flag)
{
    AppState &s = m_state;
    QComboBox *box = m_box;
    const int selected = selectedTab();
    WebBrowser *web = m_page(selected);
    m_heldAddress.clear();
    box->setEditText(address);
    if (web) {
        web->noteTypedAddress();
        web->navigate(address);
        // The user is done with the box: what the page does next (a redirect, its title)
        // shows there, as it does once the focus has left the box.
        if (m_userInBox && box->lineEdit()->hasFocus())
            web->setFocus();
    }
    if (selected < s.tabURL.size())
        s.tabURL[selected] = address;
    setCaption(selected, Address::makeTabCaption(address));
    s.currentURL = address;
    s.bookMarkURL = s.currentURL;
    const QString lower = s.currentURL.trimmed().toLower();
    if (lower.startsWith(QLatin1String("http")) && s.currentURL.size() > 8 && flag == 1)
        addToHistory();
}

void TabBrowsing::openInTab(int index, const QString &address)
{
    if (index == selectedTab()) {
        open(address, 0);
        return;
    }
    WebBrowser *web = m_page(index);
    if (!web || index >= m_state.tabURL.size())
        return;
    web->noteTypedAddress();
    web->navigate(address);
    m_state.tabURL[index] = address;
    setCaption(index, Address::makeTabCaption(address));
}

void TabBrowsing::onAddressDropped(int index, const QUrl &url)
{
    if (!isSelected(index))
        return;
    // A dropped link opens as if the user had typed it; a dropped file, which typing
    // would not reach, as the file it is.
    if (url.isLocalFile()) {
        open(url.toString(), 0);
        return;
    }
    m_box->setEditText(url.toString());
    goAddress(1);
}

void TabBrowsing::onNavigationRefused(int index)
{
    WebBrowser *web = m_page(index);
    if (!web)
        return;
    // The page the user chose to stay on keeps its address in the tab and the box.
    AppState &s = m_state;
    const QString address = web->locationURL();
    if (index >= 0 && index < s.tabURL.size()) {
        s.tabURL[index] = address;
        setCaption(index, Address::makeTabCaption(address));
    }
    if (isSelected(index)) {
        s.currentURL = address;
        s.bookMarkURL = address;
        showAddress(address);
    }
}

bool TabBrowsing::webAttend(int limitMs, bool *timedOut)
{
    m_waitCancelled = false;
    return attend([this] { return currentPage(); },
                  [this] { return m_waitCancelled || (m_closing && m_closing()); },
                  limitMs > 0 ? limitMs : -1, timedOut);
}

bool TabBrowsing::attend(const std::function<WebBrowser *()> &page, const std::function<bool()> &ended, int limitMs,
                         bool *timedOut)
{
    if (timedOut)
        *timedOut = false;
    WebBrowser *web = page();
    if (!web)
        return true;
    // The checks come at least every 50 ms: a page that completes early ends the wait
    // early, and one that has completed costs nothing. The wait has no limit of its own
    // while the document itself has not arrived (the user can end it); once it has,
    // missing pictures hold it only so long.
    QElapsedTimer waited;
    waited.start();
    QElapsedTimer documentLoaded;
    while (true) {
        // A page whose renderer has ended will never complete.
        if (web->dead())
            return false;
        // The empty document a view holds until the first page's document arrives is
        // no page's: it does not start the clock of the pictures.
        const auto answer = web->evaluate(
            QStringLiteral("document.URL === 'about:blank' ? 'blank' : document.readyState"), 2000);
        const QString state = answer ? answer->toString().toLower() : QString();
        // The user may have ended the wait while the page was being asked: a navigation
        // stopped meanwhile leaves the page before it complete, which is not the page
        // waited for.
        if (ended())
            return false;
        if (!web->busy() && (state == QLatin1String("complete") || state == QLatin1String("blank")))
            return true;
        // A completed document at another address while a navigation runs is the page
        // before the one loading, which has not arrived: it is not the page waited for.
        bool arrived = state == QLatin1String("interactive");
        if (state == QLatin1String("complete")) {
            const auto address = web->evaluate(QStringLiteral("document.URL"), 2000);
            const auto same = [](const QString &url) {
                return QUrl(url).adjusted(QUrl::RemoveFragment).toString(QUrl::FullyEncoded);
            };
            arrived = address && same(address->toString()) == same(web->locationURL());
        }
        if (arrived) {
            if (!documentLoaded.isValid())
                documentLoaded.start();
            else if (documentLoaded.elapsed() >= kPicturesWaitMs)
                return true;
        }
        if (limitMs >= 0 && waited.elapsed() >= limitMs) {
            if (!documentLoaded.isValid() && timedOut)
                *timedOut = true;
            return documentLoaded.isValid();
        }
        if (ended())
            return false;
        Wait::sleep(50);
        if (ended())
            return false;
        web = page();
        if (!web)
            return true;
    }
}

// The events of a page in a background tab change only that tab (its caption and
// address); the address box and the status panel show the selected tab.
bool TabBrowsing::isSelected(int index) const
{
    return index == selectedTab();
}

bool TabBrowsing::userIsEditingAddress() const
{
    const QLineEdit *edit = m_box->lineEdit();
    return edit && edit->hasFocus() && edit->isModified();
}

void TabBrowsing::showAddress(const QString &address)
{
    // Nothing a page does changes the box while the user is in it (typing, or about to:
    // a change would undo the selection that the next key replaces); it shows once they
    // leave it.
    const QLineEdit *edit = m_box->lineEdit();
    if (edit && edit->hasFocus() && (m_userInBox || edit->isModified())) {
        m_heldAddress = address;
        return;
    }
    m_heldAddress.clear();
    m_box->setEditText(address);
}

void TabBrowsing::selectedTabChanged(int index)
{
    if (index < 0)
        return;
    AppState &s = m_state;
    showPage(index);
    emit relayoutRequested();
    WebBrowser *web = m_page(index);
    // The user's choice of a tab shows its address, unless they are typing one.
    m_heldAddress.clear();
    if (!userIsEditingAddress())
        m_box->setEditText(s.tabURL.value(index));
    if (web) {
        s.pageTitle = web->locationName();
        s.currentURL = web->locationURL();
        emit statusTextChanged(web->title());
        emit progressChanged(web->progress());
    }
}

void TabBrowsing::onStatusTextChange(int index, const QString &text)
{
    if (isSelected(index))
        emit statusTextChanged(text);
}

void TabBrowsing::onProgressChange(int index, int progress, int progressMax)
{
    if (isSelected(index) && progress >= 1 && progressMax >= progress)
        emit progressChanged(static_cast<int>(std::lround(progress * 100.0 / progressMax)));
}

void TabBrowsing::onBeforeNavigate(int index)
{
    if (!isSelected(index))
        return;
    emit progressChanged(0);
    emit statusTextChanged(m_state.lang.entry(179));
}

void TabBrowsing::onTitleChange(int index, const QString &title)
{
    if (!isSelected(index))
        return;
    AppState &s = m_state;
    emit statusTextChanged(title);
    s.pageTitle = title;
    if (WebBrowser *web = m_page(index))
        s.currentURL = web->locationURL();
    showAddress(s.currentURL);
}

void TabBrowsing::onDocumentComplete(int index, const QString &address)
{
    AppState &s = m_state;
    if (isSelected(index))
        emit progressChanged(100);
    if (address == QLatin1String("about:blank"))
        return;
    if (isSelected(index))
        showAddress(address);
    // The tab whose page completed keeps its own address and caption, also when it is
    // not the selected one.
    if (index >= 0 && index < s.tabURL.size()) {
        s.tabURL[index] = address;
        setCaption(index, Address::makeTabCaption(address));
    }
}

void TabBrowsing::onWindowClosing(int, bool isChild, bool *cancel)
{
    if (!isChild)
        *cancel = true;
}
