#include "dispatch.h"

#include "commands/commandhost.h"
#include "commands/mainbars.h"
#include "export/exports.h"
#include "export/mailexport.h"
#include "export/officeapp.h"
#include "platform/commandbar.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/wait.h"
#include "platform/webbrowser.h"
#include "platform/webengine.h"
#include "settings/appstate.h"
#include "settings/bookmark.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

namespace {

const QString kTitle = QStringLiteral("QuorlOffice");

bool is(const QString &key, const char *literal)
{
    return key == QLatin1String(literal);
}

} // namespace

Dispatch::Dispatch(AppState &state, CommandHost &host, Exports &exports, MailExport &mail, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_host(host)
    , m_exports(exports)
    , m_mail(mail)
{
}

void Dispatch::disableMissingSettings()
{
    CommandCatalogue &catalogue = CommandCatalogue::instance();
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

void Dispatch::click(int index, const QString &key)
{
    // A command waiting on a page or an export must finish before another starts; Stop
    // ends the wait instead.
    if (Wait::active()) {
        if (key == QLatin1String("EDIT:STOP")) {
            m_host.cancelWait();
            if (WebBrowser *web = m_host.currentPage())
                web->stop();
        }
        return;
    }
    if (m_host.closeRequested())
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
    WebBrowser *web = m_host.currentPage();
    if (is(key, "EXIT"))
        m_host.exit();
    else if (is(key, "BACK") && web)
        web->goBack();
    else if (is(key, "NEXT") && web)
        web->goForward();
    else if (is(key, "PRINT") && web)
        print(web);
    else if (is(key, "FAVORITE"))
        emit linkTableRequested();
}

void Dispatch::search(const QString &address)
{
    m_host.setAddressText(address);
    m_host.openAddress(0);
}

void Dispatch::toolbar2(const QString &key)
{
    const LangSettings &s = m_state.langSettings;
    if (is(key, "GO"))
        m_host.openAddress(1);
    else if (is(key, "GOOGLE"))
        search(s.searchURL);
    else if (is(key, "WIKI"))
        search(s.dictionaryURL);
    else if (is(key, "MAP"))
        search(s.mapURL);
    else if (is(key, "SOCIAL"))
        search(s.socialURL);
    else if (is(key, "TAMBERLO"))
        emit aboutRequested();
    else if (is(key, "MIN"))
        m_host.minimise();
    else if (is(key, "EXIT2"))
        m_host.exit();
}

void Dispatch::dropDown(const QString &key)
{
    AppState &state = m_state;
    WebBrowser *web = m_host.currentPage();
    Shell &shell = Shell::instance();
    if (is(key, "EDIT:STOP")) {
        if (web)
            web->stop();
    } else if (is(key, "EDIT:PAGESET")) {
        if (web)
            web->pageSetup(m_host.dialogParent());
    } else if (is(key, "EDIT:PREVIEW")) {
        if (web)
            web->printPreview(m_host.dialogParent());
    } else if (is(key, "EDIT:PRINT")) {
        if (web)
            print(web);
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
        emit aboutRequested();
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
    } else if (is(key, "SAVE:TABS")) {
        m_exports.saveAllTabs();
    } else if (is(key, "SAVE:PPT")) {
        m_exports.saveAsPowerPoint();
    } else if (is(key, "EDIT:PICTURE")) {
        m_exports.takePicture();
    } else if (is(key, "SAVE:OUTLOOK")) {
        m_mail.sendAsZip();
    } else if (is(key, "SAVE:GETLINKS")) {
        m_exports.getLinks();
    } else if (is(key, "FILE:HELP")) {
        // The help page is one of the program's own pages, shown in the current tab.
        if (web)
            web->navigate(WebEngine::helpPageAddress());
    } else if (is(key, "FILE:EXPLORER")) {
        const QString text = m_host.addressText().trimmed();
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
        m_host.openFind();
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
        m_host.exit();
    } else if (is(key, "NAVIGATE:PICK")) {
        QString error;
        if (!BookmarkFile::save(state.bookmarkPath(), state.bookMarkURL, &error))
            Dialogs::instance().message(m_host.dialogParent(), Dialogs::Icon::Warning, kTitle,
                                        state.text(219, QStringLiteral("This file could not be written:"))
                                            + u'\n' + state.bookmarkPath());
    } else if (is(key, "NAVIGATE:GO")) {
        const auto address = BookmarkFile::read(state.bookmarkPath());
        if (address && web) {
            web->stop();
            m_host.setAddressText(*address);
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
        state.options.homePage = m_host.addressText();
        saveOptions();
    } else if (is(key, "LANG:NEW")) {
        emit languageEditorRequested();
    } else if (key.startsWith(QLatin1String("LANG:"))) {
        switchLanguage(key);
    }
}

void Dispatch::print(WebBrowser *web)
{
    // A printer's failures are the printer's to tell; a PDF file that could not be
    // written is ours.
    WebBrowser::FileFailure failure;
    if (!web->print(m_host.dialogParent(), &failure) && !failure.path.isEmpty())
        Dialogs::instance().message(m_host.dialogParent(), Dialogs::Icon::Warning, kTitle,
                                    OfficeApp::writeFailure(m_state, failure.path, failure.problem));
}

void Dispatch::setStyle(int16_t style)
{
    m_state.options.barStyle = style;
    if (CommandButton *item = CommandCatalogue::instance().button(MainBars::styleKey(style)))
        item->setChecked(true);
    m_host.setBarStyle(style);
}

void Dispatch::floating()
{
    const CommandButton *item = CommandCatalogue::instance().button(QStringLiteral("FILE:FLOATING"));
    if (item && item->checked()) {
        m_state.options.floatBars = 1;
        m_state.barsShown = true;
        m_host.setFloating(true);
    } else {
        m_state.options.floatBars = 0;
        m_host.setFloating(false);
    }
}

void Dispatch::switchLanguage(const QString &key)
{
    AppState &state = m_state;
    const QString previous = state.options.langName;
    state.options.langName = key.mid(key.indexOf(u':') + 1).toLower();
    if (!m_host.loadLanguage()) {
        // The file has gone since start-up: the current language stays.
        const QString path = state.languagePath();
        state.options.langName = previous;
        CommandCatalogue &catalogue = CommandCatalogue::instance();
        if (CommandButton *clicked = catalogue.button(key))
            clicked->setChecked(false);
        if (CommandButton *current = catalogue.button(QStringLiteral("LANG:") + previous.toUpper()))
            current->setChecked(true);
        Dialogs::instance().message(m_host.dialogParent(), Dialogs::Icon::Warning, kTitle,
                                    state.text(218, QStringLiteral("The language file could not be read:"))
                                        + u'\n' + path);
        return;
    }
    saveOptions();
}

void Dispatch::saveOptions()
{
    QString error;
    if (!OptionsFile::save(m_state.optionsPath(), m_state.options, &error))
        Dialogs::instance().message(m_host.dialogParent(), Dialogs::Icon::Warning, kTitle,
                                    m_state.text(219, QStringLiteral("This file could not be written:")) + u'\n'
                                        + m_state.optionsPath());
}

void Dispatch::openInSystemBrowser(const QUrl &url)
{
    const QPointer<QWidget> parent = m_host.dialogParent();
    Shell::instance().openInBrowser(url, this, [this, parent, url](const Shell::HandOffEnd &end) {
        if (!end.failed())
            return;
        const AppState &s = m_state;
        // An address can be a whole document (data:): the message shows its start.
        QString shown = url.toDisplayString();
        if (shown.size() > 200)
            shown = shown.left(200) + QChar(0x2026);
        Dialogs::messageWhenIdle(parent, Dialogs::Icon::Warning, kTitle,
                                 s.text(304, QStringLiteral("The address could not be opened in another browser:"))
                                     + u'\n' + shown + u'\n'
                                     + MailExport::handOffReason(s, QStringLiteral("xdg-open"), end));
    });
}

void Dispatch::showProperties()
{
    WebBrowser *web = m_host.currentPage();
    if (!web)
        return;
    const AppState &state = m_state;
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
    Dialogs::instance().properties(m_host.dialogParent(), state.lang.entry(177), rows);
}
