#include "dispatch.h"

#include "app/mainwindow.h"
#include "browser/findbar.h"
#include "browser/tabbrowsing.h"
#include "commands/mainbars.h"
#include "platform/commandbar.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/wait.h"
#include "platform/webbrowser.h"
#include "platform/webengine.h"
#include "settings/bookmark.h"

#include <QComboBox>
#include <QTimer>
#include <QUrl>

namespace {

const QString kTitle = QStringLiteral("QuorlOffice");

bool is(const QString &key, const char *literal)
{
    return key == QLatin1String(literal);
}

} // namespace

Dispatch::Dispatch(MainWindow *window, FindBar *findBar)
    : QObject(window)
    , m_window(window)
    , m_findBar(findBar)
    , m_exports(window)
    , m_windows(window)
    , m_mailHost(window, m_exports.capture())
    , m_mail(window->state(), m_mailHost, this)
    , m_favorites(window)
{
    MailExport::removeOldArchives();
    connect(window, &MainWindow::commandClicked, this, &Dispatch::click);
    // The start-up timer enables "FAVORITE"; it stays off while it cannot run.
    connect(window, &MainWindow::startupFinished, this, &Dispatch::disableUnavailable);
    disableUnavailable();
}

const QStringList &Dispatch::unavailable()
{
    static const QStringList keys;
    return keys;
}

void Dispatch::disableUnavailable()
{
    CommandCatalogue &catalogue = CommandCatalogue::instance();
    for (const QString &key : unavailable()) {
        if (CommandButton *b = catalogue.button(key))
            b->setEnabled(false);
    }
    const struct { const char *key; Shell::Settings kind; } settings[] = {
        {"FILE:SECURITY", Shell::Settings::Security},
        {"FILE:VOLUME", Shell::Settings::Sound},
        {"FILE:INTERNET", Shell::Settings::Network},
    };
    for (const auto &s : settings) {
        if (CommandButton *b = catalogue.button(QString::fromLatin1(s.key)))
            b->setEnabled(!Shell::instance().settingsProgram(s.kind).isEmpty());
    }
}

QString Dispatch::helpPage()
{
    return QStringLiteral("quorl:help");
}

void Dispatch::click(int index, const QString &key)
{
    // A command waiting on a page or an export must finish before another starts; Stop
    // ends the wait instead.
    if (Wait::active()) {
        if (key == QLatin1String("EDIT:STOP")) {
            m_window->tabs()->cancelWait();
            if (WebBrowser *web = m_window->currentBrowser())
                web->stop();
        }
        return;
    }
    if (m_window->closeRequested())
        return;
    if (CommandButton *b = CommandCatalogue::instance().button(key); b && !b->enabled())
        return;
    switch (index) {
    case 0: toolbar0(key); break;
    case 2: toolbar2(key); break;
    case 3: dropDown(key); break;
    default: break;
    }
}

void Dispatch::toolbar0(const QString &key)
{
    WebBrowser *web = m_window->currentBrowser();
    if (is(key, "EXIT"))
        m_window->goExit();
    else if (is(key, "BACK") && web)
        web->goBack();
    else if (is(key, "NEXT") && web)
        web->goForward();
    else if (is(key, "PRINT") && web)
        web->print(m_window);
    else if (is(key, "FAVORITE"))
        m_favorites.goLinkTable();
}

void Dispatch::search(const QString &address)
{
    m_window->addressBox()->setEditText(address);
    m_window->tabs()->goAddress(0);
}

void Dispatch::toolbar2(const QString &key)
{
    const LangSettings &s = m_window->state().langSettings;
    if (is(key, "GO"))
        m_window->tabs()->goAddress(1);
    else if (is(key, "GOOGLE"))
        search(s.searchURL);
    else if (is(key, "WIKI"))
        search(s.dictionaryURL);
    else if (is(key, "MAP"))
        search(s.mapURL);
    else if (is(key, "SOCIAL"))
        search(s.socialURL);
    else if (is(key, "TAMBERLO"))
        m_windows.showAbout();
    else if (is(key, "MIN"))
        m_window->showMinimized();
    else if (is(key, "EXIT2"))
        m_window->goExit();
}

void Dispatch::dropDown(const QString &key)
{
    AppState &state = m_window->state();
    WebBrowser *web = m_window->currentBrowser();
    Shell &shell = Shell::instance();
    if (is(key, "EDIT:STOP")) {
        if (web)
            web->stop();
    } else if (is(key, "EDIT:PAGESET")) {
        if (web)
            web->pageSetup(m_window);
    } else if (is(key, "EDIT:PREVIEW")) {
        if (web)
            web->printPreview(m_window);
    } else if (is(key, "EDIT:PRINT")) {
        if (web)
            web->print(m_window);
    } else if (is(key, "EDIT:PROPERTIES")) {
        showProperties();
    } else if (is(key, "FILE:SYSTEM")) {
        setStyle(0);
    } else if (is(key, "FILE:OFFICE")) {
        setStyle(1);
    } else if (is(key, "FILE:XP")) {
        setStyle(3);
    } else if (is(key, "FILE:MONEY")) {
        setStyle(2);
    } else if (is(key, "FILE:FLOATING")) {
        floating();
    } else if (is(key, "FILE:TAMBERLO")) {
        m_windows.showAbout();
    } else if (is(key, "SAVE:HTML")) {
        m_exports.capture().saveMht();
    } else if (is(key, "SAVE:PDF")) {
        state.useTemplateH = false;
        m_exports.saveAsPdf();
    } else if (is(key, "SAVE:WORDH")) {
        state.useTemplateH = false;
        m_exports.saveAsWord();
    } else if (is(key, "SAVE:WORDV")) {
        state.useTemplateH = true;
        m_exports.saveAsWord();
    } else if (is(key, "SAVE:EXCEL")) {
        m_exports.saveAsExcel();
    } else if (is(key, "SAVE:PPT")) {
        m_exports.saveAsPowerPoint();
    } else if (is(key, "EDIT:PICTURE")) {
        m_exports.takePicture();
    } else if (is(key, "SAVE:OUTLOOK")) {
        m_mail.saveAsO();
    } else if (is(key, "SAVE:GETLINKS")) {
        m_exports.getLinks();
    } else if (is(key, "FILE:HELP")) {
        // The help page is one of the program's own pages, shown in the current tab.
        if (web)
            web->navigate(helpPage());
    } else if (is(key, "FILE:EXPLORER")) {
        const QString text = m_window->addressBox()->currentText().trimmed();
        if (!text.isEmpty())
            openInSystemBrowser(QUrl::fromUserInput(text));
    } else if (is(key, "FILE:SECURITY") || is(key, "FILE:VOLUME") || is(key, "FILE:INTERNET")) {
        const Shell::Settings kind = is(key, "FILE:SECURITY") ? Shell::Settings::Security
                                     : is(key, "FILE:VOLUME") ? Shell::Settings::Sound
                                                              : Shell::Settings::Network;
        const QStringList program = shell.settingsProgram(kind);
        if (!program.isEmpty())
            shell.startProgram(program.first(), program.mid(1));
    } else if (is(key, "EDIT:VIEW")) {
        m_exports.capture().viewSource();
    } else if (is(key, "EDIT:TXT")) {
        shell.openUrl(QUrl::fromLocalFile(state.languagePath()));
    } else if (is(key, "EDIT:CUT")) {
        if (web)
            web->cut();
    } else if (is(key, "EDIT:COPY")) {
        if (web)
            web->copy();
    } else if (is(key, "EDIT:PASTE")) {
        if (web)
            web->paste();
    } else if (is(key, "EDIT:FINDDOC")) {
        if (web)
            web->setFocus();
        openFind();
    } else if (is(key, "EDIT:SELECT")) {
        if (web)
            web->selectAll();
    } else if (is(key, "EDIT:DELETE")) {
        if (web)
            web->deleteSelection();
    } else if (is(key, "EDIT:TRANS")) {
        if (web)
            web->navigate(state.langSettings.translatorPath);
    } else if (is(key, "EDIT:EXIT")) {
        m_window->goExit();
    } else if (is(key, "NAVIGATE:PICK")) {
        QString error;
        if (!BookmarkFile::save(state.bookmarkPath(), state.bookMarkURL, &error))
            Dialogs::instance().message(m_window, Dialogs::Icon::Warning, kTitle,
                                        state.text(219, QStringLiteral("This file could not be written:"))
                                            + u'\n' + state.bookmarkPath());
    } else if (is(key, "NAVIGATE:GO")) {
        const auto address = BookmarkFile::read(state.bookmarkPath());
        if (address && web) {
            web->stop();
            m_window->addressBox()->setEditText(*address);
            web->navigate(*address);
        }
    } else if (is(key, "NAVIGATE:BACK")) {
        if (web)
            web->goBack();
    } else if (is(key, "NAVIGATE:REFRESH")) {
        if (web)
            web->refresh();
    } else if (is(key, "NAVIGATE:NEXT")) {
        if (web)
            web->goForward();
    } else if (is(key, "NAVIGATE:HOME")) {
        // The engine's own home page is the program's start page.
        if (web)
            web->navigate(WebEngine::startPageAddress());
    } else if (is(key, "NAVIGATE:PICKHOME")) {
        state.options.homePage = m_window->addressBox()->currentText();
        saveOptions();
    } else if (is(key, "LANG:NEW")) {
        m_windows.showLanguageEditor();
    } else if (key.startsWith(QLatin1String("LANG:"))) {
        switchLanguage(key);
    }
}

void Dispatch::setStyle(int16_t style)
{
    m_window->state().options.barStyle = style;
    if (CommandButton *item = CommandCatalogue::instance().button(MainBars::styleKey(style)))
        item->setChecked(true);
    for (int i = 0; i < 3; ++i)
        m_window->commandBar(i)->setBarStyle(style);
}

void Dispatch::floating()
{
    AppState &state = m_window->state();
    QTimer *timer = m_window->autoHideTimer();
    const bool checked = CommandCatalogue::instance().button(QStringLiteral("FILE:FLOATING"))->checked();
    if (checked) {
        timer->setInterval(750);
        timer->start();
        state.options.floatBars = 1;
        state.barsShown = true;
        m_window->goBarOff();
    } else {
        timer->stop();
        state.options.floatBars = 0;
    }
}

void Dispatch::switchLanguage(const QString &key)
{
    AppState &state = m_window->state();
    const QString previous = state.options.langName;
    state.options.langName = key.mid(key.indexOf(u':') + 1).toLower();
    if (!m_window->readLanguage(false)) {
        // The file has gone since start-up: the current language stays.
        const QString path = state.languagePath();
        state.options.langName = previous;
        CommandCatalogue &catalogue = CommandCatalogue::instance();
        if (CommandButton *clicked = catalogue.button(key))
            clicked->setChecked(false);
        if (CommandButton *current = catalogue.button(QStringLiteral("LANG:") + previous.toUpper()))
            current->setChecked(true);
        Dialogs::instance().message(m_window, Dialogs::Icon::Warning, kTitle,
                                    state.text(218, QStringLiteral("The language file could not be read:"))
                                        + u'\n' + path);
        return;
    }
    m_window->setCaptions();
    saveOptions();
}

void Dispatch::saveOptions()
{
    AppState &state = m_window->state();
    QString error;
    if (!OptionsFile::save(state.optionsPath(), state.options, &error))
        Dialogs::instance().message(m_window, Dialogs::Icon::Warning, kTitle,
                                    state.text(219, QStringLiteral("This file could not be written:")) + u'\n'
                                        + state.optionsPath());
}

void Dispatch::openFind()
{
    const LangTable &lang = m_window->state().lang;
    m_findBar->setTexts(lang.entry(231), lang.entry(232), lang.entry(233), lang.entry(234));
    m_findBar->open(m_window->currentBrowser());
    // Placed once it is visible: above the status panel, over no command.
    m_window->runResizeRules();
}

void Dispatch::openInSystemBrowser(const QUrl &url)
{
    Shell::instance().openInBrowser(url, this, [this, url](const Shell::HandOffEnd &end) {
        if (!end.failed())
            return;
        const AppState &s = m_window->state();
        // An address can be a whole document (data:): the message shows its start.
        QString shown = url.toDisplayString();
        if (shown.size() > 200)
            shown = shown.left(200) + QChar(0x2026);
        Dialogs::messageWhenIdle(m_window, Dialogs::Icon::Warning, kTitle,
                                 s.text(304, QStringLiteral("The address could not be opened in another browser:"))
                                     + u'\n' + shown + u'\n'
                                     + MailExport::handOffReason(s, QStringLiteral("xdg-open"), end));
    });
}

void Dispatch::showProperties()
{
    WebBrowser *web = m_window->currentBrowser();
    if (!web)
        return;
    const AppState &state = m_window->state();
    const auto info = web->evaluate(QStringLiteral(
        "[document.contentType, String(document.documentElement ? document.documentElement.outerHTML.length : 0),"
        " document.lastModified]"));
    const QStringList values = info ? info->toStringList() : QStringList();
    const QList<QPair<QString, QString>> rows = {
        {state.lang.entry(236), web->locationName()},
        {state.lang.entry(235), web->locationURL()},
        {state.lang.entry(237), values.value(0)},
        {state.lang.entry(238), values.value(1)},
        {state.lang.entry(239), values.value(2)},
    };
    Dialogs::instance().properties(m_window, state.lang.entry(177), rows);
}
