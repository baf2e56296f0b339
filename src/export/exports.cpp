#include "exports.h"

#include "export/exporthost.h"
#include "export/exportprogress.h"
#include "export/exporttimings.h"
#include "export/officeapp.h"
#include "platform/dialogs.h"
#include "platform/filespace.h"
#include "platform/office/officespare.h"
#include "platform/pageframe.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "platform/wait.h"
#include "platform/webbrowser.h"
#include "settings/appstate.h"

#include <QBuffer>
#include <QClipboard>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QJsonObject>
#include <QSet>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {


// Notes how long a step of an export took and passes its result on.
bool step(const char *name, bool ok)
{
    ExportTimings::mark(QString::fromLatin1(name));
    return ok;
}

QJsonObject typed(const char *type, const QString &value)
{
    return QJsonObject{{QStringLiteral("type"), QString::fromLatin1(type)}, {QStringLiteral("value"), value}};
}

// The part a command adds can show a moment after the command has answered (the
// worker sends a command again until the document takes it, so it is sent once here).
// wanted: the number of parts there are with it.
bool partsReach(OfficeApp &office, int wanted)
{
    for (int tries = 0; tries < 50; ++tries) {
        const int parts = office.parts();
        if (parts >= wanted)
            return true;
        if (parts < 0)
            return false;
        Wait::sleep(20);
    }
    return false;
}

bool addSheet(OfficeApp &office, const QJsonObject &sheet, int wanted = 2)
{
    return office.uno(QStringLiteral(".uno:Insert"), sheet) && partsReach(office, wanted);
}

const QString kAssignLayout = QStringLiteral(".uno:AssignLayout");

// The arguments that make slide n's layout blank, so nothing but the picture is on it.
QJsonObject blankLayout(int n)
{
    return {{QStringLiteral("WhatPage"), typed("long", QString::number(n))},
            {QStringLiteral("WhatLayout"), typed("long", QStringLiteral("20"))}};
}

const QStringList kWriterExtensions = {QStringLiteral("doc"), QStringLiteral("docx"), QStringLiteral("odt"),
                                       QStringLiteral("rtf")};

// The tabs that show a page, in their order: a tab never given an address shows none.
QList<int> pageTabs(ExportHost &host)
{
    QList<int> tabs;
    for (int i = 0; i < host.tabCount(); ++i) {
        const WebBrowser *web = host.tabPage(i);
        const QString address = web ? web->locationURL() : QString();
        if (!address.isEmpty() && address != QLatin1String("about:blank"))
            tabs.append(i);
    }
    return tabs;
}

// A tab's page as the user knows it: its title and its address, each on one line and
// not so long that the message would not fit on the screen.
QString pageName(const QString &title, const QString &address)
{
    const auto shortened = [](const QString &text, qsizetype most) {
        return text.size() <= most ? text : text.left(most - 1) + QChar(0x2026);
    };
    const QString name = shortened(title.simplified(), 80);
    const QString where = shortened(address.simplified(), 160);
    return name.isEmpty() || name == where ? where : name + QStringLiteral(" (") + where + u')';
}

} // namespace

Exports::Exports(AppState &state, ExportHost &host, QObject *owner)
    : m_state(state)
    , m_host(host)
    , m_capture(state, host)
    , m_spare(new OfficeSpare(OfficeApp::workerPath(state), OfficeApp::profileFolder(state), owner))
{
    // A new document of each kind the exports make.
    m_spare->setWarmUp({OfficeApp::newDocumentRequest(QStringLiteral("swriter")),
                        OfficeApp::newDocumentRequest(QStringLiteral("scalc")),
                        OfficeApp::newDocumentRequest(QStringLiteral("simpress"))});
}

void Exports::finish(const QString &path, const OfficeApp *office, const QString &failure, const QString &extra)
{
    const AppState &s = m_state;
    m_capture.setOpacity(s.normalAlpha);
    if (office && office->cancelled())
        return;
    const QString problem = !failure.isEmpty() ? failure : office ? office->failureMessage() : QString();
    if (!problem.isEmpty()) {
        m_host.tell(Dialogs::Icon::Warning, problem);
        return;
    }
    m_host.tell(Dialogs::Icon::Information, s.lang.entry(108) + path + extra);
}

QString Exports::begin(bool clearClipboard, const QString &filter, const QString &suggestedName,
                       const QStringList &accepted, bool withPictures)
{
    const AppState &s = m_state;
    ExportTimings::start();
    m_capture.setOpacity(s.exportAlpha);
    const QString status = m_host.statusText();
    m_host.setStatusText(s.text(261, QStringLiteral("Taking the page...")));
    // The user who has selected part of the page may export that part alone.
    const bool copied = m_capture.copyPage(clearClipboard, withPictures, PageCapture::Scope::OfferSelection);
    m_host.setStatusText(status);
    ExportTimings::mark(QStringLiteral("copy page"));
    if (!copied && m_capture.cancelled()) {
        m_capture.setOpacity(s.normalAlpha);
        return {};
    }
    if (!copied && m_capture.pageDied()) {
        m_capture.setOpacity(s.normalAlpha);
        m_host.tell(Dialogs::Icon::Warning, PageCapture::pageDiedMessage(s));
        return {};
    }
    if (!copied) {
        // Nothing was made, so nothing is reported as saved.
        m_host.tell(Dialogs::Icon::Information, s.lang.entry(120));
        m_capture.setOpacity(s.normalAlpha);
        return {};
    }
    const QString path = m_capture.saveDialog(filter, suggestedName, accepted);
    ExportTimings::mark(QStringLiteral("dialog"));
    if (path.isEmpty())
        m_capture.setOpacity(s.normalAlpha);
    return path;
}

bool Exports::targetWritable(const QString &path)
{
    const FileSpace::Problem problem = FileSpace::diagnose(path, 0);
    if (problem == FileSpace::Problem::None || problem == FileSpace::Problem::DiskFull)
        return true;
    finish(path, nullptr, OfficeApp::writeFailure(m_state, path, 0));
    return false;
}

bool Exports::describe(OfficeApp &office)
{
    const CleanPage &page = m_capture.page();
    WebBrowser *web = m_host.currentPage();
    const QString title = !page.title.isEmpty() ? page.title : web ? web->locationName() : QString();
    const QString address = !page.url.isEmpty() ? page.url : web ? web->locationURL() : QString();
    return office.setProperties(title, address, QDateTime::currentDateTime());
}

void Exports::saveAsWord()
{
    AppState &s = m_state;
    const QString templ = s.useTemplateH ? s.templateHDoc : s.templateDoc;
    OfficeApp word(s, m_spare);
    word.launch({templ.isEmpty() ? OfficeApp::newDocumentRequest(QStringLiteral("landscape"))
                                 : OfficeApp::openRequest(templ)});
    const QString path = begin(true, QStringLiteral("Microsoft Word (*.doc)|*.doc"),
                               m_capture.suggestName(QStringLiteral(".doc"), QStringLiteral("WordDocument")),
                               kWriterExtensions);
    if (path.isEmpty() || !targetWritable(path))
        return word.abandon();
    if (s.useTemplateH && templ.isEmpty()) {
        word.abandon();
        return finish(path, nullptr, s.text(223, QStringLiteral("The document was not saved.")));
    }
    if (!templ.isEmpty() && !QFileInfo::exists(templ)) {
        word.abandon();
        return finish(path, nullptr, s.text(224, QStringLiteral("The template could not be found:")) + u'\n' + templ);
    }
    ExportProgress progress(m_host, m_state, 4);
    progress.attach(word.worker());
    // Pictures no wider than the document's text.
    const auto document = [&] { return m_capture.page().document(true, QDateTime::currentDateTime(), word.textWidthPixels()); };
    const bool made =
        progress.step(s.text(257, QStringLiteral("Starting the office application..."))) && step("worker start", word.create())
        && progress.step(s.text(258, QStringLiteral("Opening the document...")))
        && step("open template", templ.isEmpty() ? word.newDocument(QStringLiteral("landscape")) : word.open(templ))
        && progress.step(s.text(259, QStringLiteral("Putting the page into the document...")))
        && step("paste", word.pasteHtml(document(), true)) && step("properties", describe(word))
        && progress.step(s.text(260, QStringLiteral("Saving the document...")))
        && step("save", word.saveAs(path, OfficeApp::writerFormat(path)));
    word.quit();
    progress.end();
    ExportTimings::mark(QStringLiteral("quit"));
    finish(path, &word, made ? QString() : word.failureMessage());
}

QString Exports::sideDocumentPath(const QString &pdfPath)
{
    const qsizetype slash = pdfPath.lastIndexOf(u'/');
    const qsizetype dot = pdfPath.lastIndexOf(u'.');
    if (dot > slash)
        return pdfPath.left(dot + 1) + QStringLiteral("doc");
    return pdfPath + QStringLiteral(".doc");
}

QString Exports::nextFreeName(const QString &path)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return path;
    const QFileInfo info(path);
    const QString folder = info.absolutePath() + u'/';
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate = folder + base + QStringLiteral(" (") + QString::number(n) + u')' + suffix;
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

void Exports::saveAsPdf()
{
    AppState &s = m_state;
    OfficeApp word(s, m_spare);
    word.launch({OfficeApp::openRequest(s.templateHDoc)});
    const QString path = begin(true, QStringLiteral("PDF  (*.pdf)|*.pdf"),
                               m_capture.suggestName(QStringLiteral(".pdf"), QStringLiteral("PDFDocument")), {});
    if (path.isEmpty() || !targetWritable(path))
        return word.abandon();
    if (s.useTemplateH || s.templateHDoc.isEmpty()) {
        word.abandon();
        return finish(path, nullptr, s.text(223, QStringLiteral("The document was not saved.")));
    }
    if (!QFileInfo::exists(s.templateHDoc)) {
        word.abandon();
        return finish(path, nullptr,
                      s.text(224, QStringLiteral("The template could not be found:")) + u'\n' + s.templateHDoc);
    }
    // The side document never replaces a file the user did not choose.
    const QString side = sideDocumentPath(path) == path ? path : nextFreeName(sideDocumentPath(path));
    ExportProgress progress(m_host, m_state, 5);
    progress.attach(word.worker());
    const auto document = [&] { return m_capture.page().document(true, QDateTime::currentDateTime(), word.textWidthPixels()); };
    const bool made =
        progress.step(s.text(257, QStringLiteral("Starting the office application..."))) && step("worker start", word.create())
        && progress.step(s.text(258, QStringLiteral("Opening the document...")))
        && step("open template", word.open(s.templateHDoc))
        && progress.step(s.text(259, QStringLiteral("Putting the page into the document...")))
        && step("paste", word.pasteHtml(document(), true)) && step("properties", describe(word))
        && progress.step(s.text(260, QStringLiteral("Saving the document...")))
        && step("save side document", word.saveAs(side, OfficeApp::writerFormat(side)))
        && progress.step(s.text(260, QStringLiteral("Saving the document...")))
        && step("save pdf", word.saveAs(path, QStringLiteral("pdf"), OfficeApp::pdfOptions()));
    word.quit();
    progress.end();
    ExportTimings::mark(QStringLiteral("quit"));
    const QString named = side != sideDocumentPath(path)
                              ? QStringLiteral("\n") + s.text(255, QStringLiteral("The word-processor document was saved as:"))
                                    + u'\n' + side
                              : QString();
    finish(path, &word, made ? QString() : word.failureMessage(), named);
}

void Exports::saveAllTabs()
{
    AppState &s = m_state;
    if (pageTabs(m_host).isEmpty()) {
        m_host.tell(Dialogs::Icon::Information, s.lang.entry(120));
        return;
    }
    ExportTimings::start();
    m_capture.setOpacity(s.exportAlpha);
    // The filter chosen, or the extension typed, says which document it is.
    const QString path = m_capture.saveDialog(
        QStringLiteral("Microsoft Word (*.doc)|*.doc|PDF  (*.pdf)|*.pdf|Microsoft Excel(*.xls)|*.xls"),
        PageCapture::suggestName(s.text(274, QStringLiteral("Tabs")), QStringLiteral(".doc"), QStringLiteral("Tabs")),
        {QStringLiteral("docx"), QStringLiteral("odt"), QStringLiteral("rtf"), QStringLiteral("xlsx"), QStringLiteral("ods")});
    ExportTimings::mark(QStringLiteral("dialog"));
    if (path.isEmpty())
        return m_capture.setOpacity(s.normalAlpha);
    if (!targetWritable(path))
        return;
    const QString extension = QFileInfo(path).suffix().toLower();
    const bool pdf = extension == QLatin1String("pdf");
    const bool sheets = extension == QLatin1String("xls") || extension == QLatin1String("xlsx")
                        || extension == QLatin1String("ods");
    // The document the single page's export of the same kind is made from.
    const QString templ = sheets ? QString() : pdf ? s.templateHDoc : s.templateDoc;
    if (pdf && templ.isEmpty())
        return finish(path, nullptr, s.text(223, QStringLiteral("The document was not saved.")));
    if (!templ.isEmpty() && !QFileInfo::exists(templ))
        return finish(path, nullptr, s.text(224, QStringLiteral("The template could not be found:")) + u'\n' + templ);

    OfficeApp office(s, m_spare);
    office.launch({sheets            ? OfficeApp::newDocumentRequest(QStringLiteral("scalc"))
                   : templ.isEmpty() ? OfficeApp::newDocumentRequest(QStringLiteral("landscape"))
                                     : OfficeApp::openRequest(templ)});
    QList<CleanPage> pages;
    QStringList left;
    {
        const QList<int> tabs = pageTabs(m_host);
        ExportProgress progress(m_host, m_state, static_cast<int>(tabs.size()) + 4);
        if (!takeTabs(tabs, !sheets, progress, pages, left)) {
            office.abandon();
            return m_capture.setOpacity(s.normalAlpha);
        }
        if (pages.isEmpty()) {
            office.abandon();
            return finish(path, nullptr,
                          s.text(223, QStringLiteral("The document was not saved.")) + QStringLiteral("\n\n")
                              + s.text(344, QStringLiteral("These tabs could not be exported:")) + u'\n'
                              + left.join(u'\n'));
        }
        const QDateTime now = QDateTime::currentDateTime();
        QStringList titles, addresses, texts;
        for (const CleanPage &page : std::as_const(pages)) {
            titles.append(page.title);
            addresses.append(page.url);
            texts.append(page.title + u'\n' + page.url + QStringLiteral("\n\n") + page.text);
        }
        if (m_host.keepsClipboard())
            PageCapture::putOnClipboard(CleanPage::sections(pages, now), texts.join(QStringLiteral("\n\n")));

        progress.attach(office.worker());
        bool made = progress.step(s.text(257, QStringLiteral("Starting the office application...")))
                    && step("worker start", office.create())
                    && progress.step(s.text(258, QStringLiteral("Opening the document...")));
        if (sheets) {
            made = made && step("new workbook", office.newDocument(QStringLiteral("scalc")))
                   && progress.step(s.text(259, QStringLiteral("Putting the page into the document...")))
                   && step("paste", fillSheets(office, pages, now));
        } else {
            made = made
                   && step("open template", templ.isEmpty() ? office.newDocument(QStringLiteral("landscape")) : office.open(templ))
                   && progress.step(s.text(259, QStringLiteral("Putting the page into the document...")))
                   && step("paste", office.pasteHtml(CleanPage::sections(pages, now, office.textWidthPixels()), true));
        }
        made = made && office.setProperties(titles.join(QStringLiteral("; ")), addresses.join(u' '), now)
               && progress.step(s.text(260, QStringLiteral("Saving the document...")))
               && step("save", pdf      ? office.saveAs(path, QStringLiteral("pdf"), OfficeApp::pdfOptions())
                               : sheets ? office.saveAs(path, OfficeApp::calcFormat(path))
                                        : office.saveAs(path, OfficeApp::writerFormat(path)));
        office.quit();
        progress.end();
        ExportTimings::mark(QStringLiteral("quit"));
        if (!made && office.failureMessage().isEmpty() && !office.cancelled())
            return finish(path, &office, s.text(223, QStringLiteral("The document was not saved.")));
    }
    finish(path, &office, QString(),
           left.isEmpty() ? QString()
                          : QStringLiteral("\n\n") + s.text(344, QStringLiteral("These tabs could not be exported:"))
                                + u'\n' + left.join(u'\n'));
}

bool Exports::takeTabs(const QList<int> &tabs, bool withPictures, ExportProgress &progress, QList<CleanPage> &pages,
                       QStringList &left)
{
    const AppState &s = m_state;
    const int selected = m_host.selectedTab();
    for (qsizetype k = 0; k < tabs.size(); ++k) {
        WebBrowser *web = m_host.tabPage(tabs.at(k));
        if (!web)
            continue;
        // Each page is taken as the current tab's is, in front: laid out in the window,
        // its pictures that load only when seen loaded.
        if (!web->dead()) {
            PageFrame frame(web);
            m_host.selectTab(tabs.at(k));
            frame.waitUntilShown(PageCapture::kScreenLimitMs);
        } else {
            m_host.selectTab(tabs.at(k));
        }
        // Said once the tab is shown, which puts its page's title in the status panel.
        progress.step(s.text(343, QStringLiteral("Taking the page of tab")) + u' ' + QString::number(k + 1)
                      + QStringLiteral(" / ") + QString::number(tabs.size()));
        const bool copied = m_capture.copyPage(true, withPictures, PageCapture::Scope::WholePage, kTabWaitMs);
        // The user chose another tab meanwhile: the export gives way, as it does to Stop,
        // and leaves them there.
        if (m_host.selectedTab() != tabs.at(k))
            return false;
        if (m_capture.cancelled()) {
            m_host.selectTab(selected);
            return false;
        }
        // The engine's own page for an address it could not reach is no page of the
        // user's.
        const bool unreachable = copied && m_capture.page().url.startsWith(QLatin1String("chrome-error:"));
        if (copied && !unreachable) {
            pages.append(m_capture.page());
            continue;
        }
        const QString reason = unreachable            ? s.text(348, QStringLiteral("the page could not be loaded"))
                               : m_capture.pageDied()  ? s.text(345, QStringLiteral("the page has stopped working"))
                               : m_capture.timedOut() ? s.text(346, QStringLiteral("the page did not finish loading"))
                                                      : s.text(347, QStringLiteral("there is nothing on the page to export"));
        left.append(pageName(web->locationName(), web->locationURL()) + QStringLiteral(": ") + reason);
    }
    // The window shows the tab it showed before.
    m_host.selectTab(selected);
    return true;
}

bool Exports::fillSheets(OfficeApp &calc, const QList<CleanPage> &pages, const QDateTime &exported)
{
    QStringList names;
    for (qsizetype k = 0; k < pages.size(); ++k) {
        const CleanPage &page = pages.at(k);
        names.append(sheetName(page.title, page.url, m_state.text(272, QStringLiteral("Tab")) + u' ' + QString::number(k + 1),
                               names));
        const QJsonObject name{{QStringLiteral("Name"), typed("string", names.last())}};
        // The workbook's own first sheet takes the first page; each next one goes after
        // the last.
        QJsonObject sheet = name;
        sheet.insert(QStringLiteral("Index"), typed("long", QString::number(k + 1)));
        const bool ready = k == 0 ? calc.setPart(0) && calc.uno(QStringLiteral(".uno:RenameTable"), name)
                                  : addSheet(calc, sheet, static_cast<int>(k) + 1);
        if (!ready || !calc.setPart(static_cast<int>(k)) || !calc.pasteHtml(page.sheet(exported), false))
            return false;
    }
    return true;
}

QString Exports::sheetName(const QString &title, const QString &address, const QString &fallback,
                           const QStringList &taken)
{
    // Neither the characters a sheet's name cannot hold nor control characters; no
    // apostrophe at either end.
    const auto clean = [](const QString &text) {
        QString name;
        for (const QChar c : text) {
            if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format
                || QStringLiteral("[]*?/\\:").contains(c))
                name.append(u' ');
            else
                name.append(c);
        }
        name = name.simplified();
        while (name.startsWith(u'\'') || name.endsWith(u'\'')) {
            name = (name.startsWith(u'\'') ? name.mid(1) : name.chopped(1)).trimmed();
        }
        return name;
    };
    // At most n characters, no surrogate pair cut in two.
    const auto cut = [](const QString &text, qsizetype n) {
        if (text.size() <= n)
            return text;
        return text.left(text.at(n - 1).isHighSurrogate() ? n - 1 : n).trimmed();
    };
    QString base = clean(title);
    if (base.isEmpty())
        base = clean(QUrl(address).host());
    if (base.isEmpty())
        base = clean(fallback);
    if (base.isEmpty())
        base = QStringLiteral("Sheet");
    constexpr qsizetype kLongest = 31;
    base = cut(base, kLongest);
    // The spreadsheet keeps the name History for itself.
    const auto unused = [&taken](const QString &name) {
        return !taken.contains(name, Qt::CaseInsensitive) && name.compare(QLatin1String("History"), Qt::CaseInsensitive) != 0;
    };
    if (unused(base))
        return base;
    for (int n = 2;; ++n) {
        const QString number = QStringLiteral(" (") + QString::number(n) + u')';
        const QString name = cut(base, kLongest - number.size()) + number;
        if (unused(name))
            return name;
    }
}

QString Exports::siteName(const QString &address)
{
    const qsizetype slash = address.indexOf(u'/', 8);
    const QString host = slash >= 0 ? address.left(slash) : address;
    if (host.contains(QLatin1String("http://www."))) {
        QString name = host;
        name.remove(QStringLiteral("http://www."));
        const qsizetype dot = name.indexOf(u'.');
        return dot >= 0 ? name.left(dot) : name;
    }
    // Any other address (a secure page, a host without "www.", no slash after it):
    // the host alone, without "www.", its port and its ending.
    QString name = QUrl(address).host();
    if (name.isEmpty())
        return {};
    if (name.startsWith(QLatin1String("www.")))
        name.remove(0, 4);
    bool numeric = false;
    name.section(u'.', -1).toInt(&numeric);
    if (!numeric && name.contains(u'.'))
        name.truncate(name.lastIndexOf(u'.'));
    return name;
}

QString Exports::outsideLinks(const QString &site, const QStringList &links)
{
    QString list;
    for (const QString &href : links) {
        if ((site.isEmpty() || !href.contains(site)) && !href.contains(QLatin1String("search?")))
            list += href + QStringLiteral("\r\n");
    }
    return list;
}

void Exports::getLinks()
{
    const QString target = m_state.paths.file(QStringLiteral("Links.Doc"));
    if (saveLinks(target) && !Shell::instance().openUrl(QUrl::fromLocalFile(target)))
        m_host.tell(Dialogs::Icon::Warning, m_state.text(254, QStringLiteral("No program on this computer can open this file:"))
                                        + u'\n' + target);
}

bool Exports::saveLinks(const QString &target)
{
    AppState &s = m_state;
    WebBrowser *web = m_host.currentPage();
    if (!web || !m_capture.pageAlive())
        return false;
    const auto found = web->evaluate(TextFile::readText(QStringLiteral(":/scripts/links.js")).value_or(QString()));
    if (!found) {
        m_host.tell(Dialogs::Icon::Warning, s.text(225, QStringLiteral("The links of this page could not be taken.")));
        return false;
    }
    const QVariantList values = found->toList();
    const QString address = values.value(0).toString();
    const QStringList links = values.value(1).toStringList();
    const QString list = outsideLinks(siteName(address), links);

    if (s.templateHDoc.isEmpty() || !QFileInfo::exists(s.templateHDoc)) {
        m_host.tell(Dialogs::Icon::Warning, s.text(224, QStringLiteral("The template could not be found:")) + u'\n'
                                        + s.templateHDoc);
        return false;
    }
    OfficeApp word(s, m_spare);
    ExportProgress progress(m_host, m_state, 2);
    progress.attach(word.worker());
    const bool made = progress.step(s.text(257, QStringLiteral("Starting the office application...")))
                      && word.create() && word.open(s.templateHDoc) && word.setText(list)
                      && word.setProperties(web->locationName(), address, QDateTime::currentDateTime())
                      && progress.step(s.text(260, QStringLiteral("Saving the document...")))
                      && word.saveAs(target, OfficeApp::writerFormat(target));
    word.quit();
    progress.end();
    if (!made && !word.cancelled())
        m_host.tell(Dialogs::Icon::Warning, word.failureMessage());
    return made;
}

void Exports::saveAsExcel()
{
    AppState &s = m_state;
    // The clipboard is not cleared first here; but only what the page gives is ever
    // exported, never what the clipboard held before.
    const QJsonObject sheet{{QStringLiteral("Name"), typed("string", QStringLiteral("Sheet2"))},
                            {QStringLiteral("Index"), typed("long", QStringLiteral("1"))}};
    OfficeApp excel(s, m_spare);
    excel.launch({OfficeApp::newDocumentRequest(QStringLiteral("scalc")),
                  OfficeApp::unoRequest(QStringLiteral(".uno:Insert"), sheet)});
    const QString path = begin(false, QStringLiteral("Microsoft Excel(*.xls)|*.xls"),
                               m_capture.suggestName(QStringLiteral(".xls"), QStringLiteral("ExcelDocument")),
                               {QStringLiteral("xlsx"), QStringLiteral("ods"), QStringLiteral("csv")}, false);
    if (path.isEmpty() || !targetWritable(path))
        return excel.abandon();
    // An old file at the path stays until the new one is complete.
    ExportProgress progress(m_host, m_state, 4);
    progress.attach(excel.worker());
    // A spreadsheet keeps no pictures.
    const QByteArray document = m_capture.page().sheet(QDateTime::currentDateTime());
    // The new sheet goes in front and becomes the active one, as a workbook's added
    // sheet does; the command may report failure although the sheet is there.
    const bool made =
        progress.step(s.text(257, QStringLiteral("Starting the office application...")))
        && step("worker start", excel.create())
        && progress.step(s.text(258, QStringLiteral("Opening the document...")))
        && step("new workbook", excel.newDocument(QStringLiteral("scalc")))
        && step("add sheet", addSheet(excel, sheet) && excel.setPart(0))
        && progress.step(s.text(259, QStringLiteral("Putting the page into the document...")))
        && step("paste", excel.pasteHtml(document, false)) && step("properties", describe(excel))
        && progress.step(s.text(260, QStringLiteral("Saving the document...")))
        && step("save", excel.saveAs(path, OfficeApp::calcFormat(path)));
    excel.quit();
    progress.end();
    ExportTimings::mark(QStringLiteral("quit"));
    finish(path, &excel,
           made ? QString()
                : (excel.failureMessage().isEmpty() && !excel.cancelled()
                       ? s.text(223, QStringLiteral("The document was not saved."))
                       : excel.failureMessage()));
}

void Exports::saveAsPowerPoint()
{
    AppState &s = m_state;
    if (!m_capture.pageAlive())
        return;
    ExportTimings::start();
    QGuiApplication::clipboard()->clear();
    if (WebBrowser *web = m_host.currentPage())
        web->widget()->setVisible(true);
    s.exportBusy = 1;
    // A new presentation with its slide made blank while the user picks the file and
    // the screen is taken; a file that exists is opened instead.
    OfficeApp impress(s, m_spare);
    impress.launch({OfficeApp::newDocumentRequest(QStringLiteral("simpress")),
                    OfficeApp::unoRequest(kAssignLayout, blankLayout(0))});
    const QString path = m_capture.saveDialog(QStringLiteral("Microsoft Powerpoint(*.ppt)|*.ppt"),
                                              m_capture.suggestName(QStringLiteral(".ppt"), QStringLiteral("PPTDocument")),
                                              {QStringLiteral("pptx"), QStringLiteral("odp")});
    ExportTimings::mark(QStringLiteral("dialog"));
    if (!path.isEmpty())
        m_host.stretchPageUnderBars();
    if (path.isEmpty()) {
        impress.abandon();
        s.exportBusy = 0;
        return;
    }
    const FileSpace::Problem problem = FileSpace::diagnose(path, 0);
    if (problem != FileSpace::Problem::None && problem != FileSpace::Problem::DiskFull) {
        impress.abandon();
        m_host.tell(Dialogs::Icon::Warning, OfficeApp::writeFailure(s, path, 0));
        s.exportBusy = 0;
        m_host.relayout();
        return;
    }

    ExportProgress progress(m_host, m_state, 4);
    progress.attach(impress.worker());
    const bool existing = QFileInfo::exists(path);
    progress.step(s.text(257, QStringLiteral("Starting the office application...")));
    const QImage picture = m_capture.screenPicture();
    ExportTimings::mark(QStringLiteral("screen picture"));
    int slides = -1;
    bool made = step("worker start", impress.create())
                && progress.step(s.text(258, QStringLiteral("Opening the document...")));
    if (made && existing) {
        // The new slide goes after the last one; no slide of the user's is touched.
        int before = 0;
        made = step("open presentation", impress.open(path)) && (before = impress.parts()) > 0
               && impress.setPart(before - 1);
        made = made && impress.uno(QStringLiteral(".uno:InsertPage"), {}) && partsReach(impress, before + 1)
               && (slides = impress.parts()) > 0;
        made = made && slides == before + 1 && step("add slide", impress.setPart(slides - 1))
               && impress.uno(kAssignLayout, blankLayout(slides - 1));
    } else if (made) {
        // A new presentation comes with its one slide already.
        made = step("new presentation", impress.newDocument(QStringLiteral("simpress")) && impress.uno(kAssignLayout, blankLayout(0)))
               && (slides = impress.parts()) > 0;
    }
    if (made) {
        made = progress.step(s.text(259, QStringLiteral("Putting the page into the document...")))
               && step("paste", impress.pasteImage(picture)) && impress.fitPictureToSlide(picture.size());
        if (made && !existing) {
            WebBrowser *web = m_host.currentPage();
            made = impress.setProperties(web ? web->locationName() : QString(), web ? web->locationURL() : QString(),
                                         QDateTime::currentDateTime());
        }
        made = made && progress.step(s.text(260, QStringLiteral("Saving the document...")))
               && step("save", impress.saveAs(path, OfficeApp::impressFormat(path)));
    }
    impress.quit();
    progress.end();
    ExportTimings::mark(QStringLiteral("quit"));
    if (made) {
        m_host.tell(Dialogs::Icon::Information, s.lang.entry(216) + u' ' + QString::number(slides) + u' ' + s.lang.entry(217)
                                        + QStringLiteral("\r\n") + path);
    } else if (!impress.cancelled()) {
        m_host.tell(Dialogs::Icon::Warning, impress.failureMessage().isEmpty()
                                        ? s.text(223, QStringLiteral("The document was not saved."))
                                        : impress.failureMessage());
    }
    s.exportBusy = 0;
    m_host.relayout();
}

QString Exports::pictureName(int count)
{
    const QString digits = QStringLiteral("00") + QString::number(count);
    return QStringLiteral("Quorl") + digits.right(3) + QStringLiteral(".bmp");
}

int Exports::freePictureNumber(const QString &folder, int count)
{
    // Names are matched without regard to case: QUORL000.BMP is Quorl000.bmp.
    const QStringList taken = Paths::matchFiles(folder, QStringLiteral("Quorl???.bmp"));
    QSet<QString> names;
    for (const QString &name : taken)
        names.insert(QFileInfo(name).fileName().toLower());
    for (int i = 0; i < 1000; ++i) {
        const int n = (count + i) % 32768;
        if (!names.contains(pictureName(n).toLower()))
            return n;
    }
    return -1;
}

void Exports::takePicture()
{
    AppState &s = m_state;
    if (!m_capture.pageAlive())
        return;
    ExportTimings::start();
    if (WebBrowser *web = m_host.currentPage())
        web->widget()->setVisible(true);
    const QImage picture = m_capture.screenPicture();
    ExportTimings::mark(QStringLiteral("screen picture"));
    if (s.options.floatBars == 1)
        m_host.resumeAutoHide();
    const QString folder = s.paths.file(QStringLiteral("Images"));
    // A picture of an earlier run is never replaced: its number is skipped.
    const int number = freePictureNumber(folder, s.pictureCount);
    if (number < 0) {
        m_host.tell(Dialogs::Icon::Warning, s.text(262, QStringLiteral("No free picture name is left in this folder:"))
                                        + u'\n' + folder);
        return;
    }
    const QString path = s.paths.file(QStringLiteral("Images/") + pictureName(number));
    // A missing Images folder or a full disk is reported; the count moves on only for
    // a picture that was saved.
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "BMP") || FileSpace::write(path, bmp) != FileSpace::Problem::None) {
        ExportTimings::mark(QStringLiteral("save"));
        const FileSpace::Problem problem = FileSpace::diagnose(path, bmp.size());
        m_host.tell(Dialogs::Icon::Warning, problem == FileSpace::Problem::NoFolder || problem == FileSpace::Problem::None
                                        ? s.text(226, QStringLiteral("The picture could not be saved:")) + u'\n' + path
                                        : OfficeApp::writeFailure(s, path, bmp.size()));
        return;
    }
    ExportTimings::mark(QStringLiteral("save"));
    m_host.tell(Dialogs::Icon::Information, s.lang.entry(192) + QStringLiteral(": ") + path);
    s.pictureCount = number >= 32767 ? 0 : static_cast<int16_t>(number + 1);
}
