#include "exports.h"

#include "app/mainwindow.h"
#include "export/exporttimings.h"
#include "export/officeapp.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "platform/webbrowser.h"

#include <QFileInfo>
#include <QUrl>

namespace {

const QString kTitle = QStringLiteral("QuorlOffice");

// Notes how long a step of an export took and passes its result on.
bool step(const char *name, bool ok)
{
    ExportTimings::mark(QString::fromLatin1(name));
    return ok;
}

} // namespace

Exports::Exports(MainWindow *window)
    : m_window(window)
    , m_capture(window)
{
}

void Exports::finish(const QString &path, const QString &failure)
{
    const AppState &s = m_window->state();
    m_capture.setOpacity(s.normalAlpha);
    if (!failure.isEmpty()) {
        Dialogs::instance().message(m_window, Dialogs::Icon::Warning, kTitle, failure);
        return;
    }
    Dialogs::instance().message(m_window, Dialogs::Icon::Information, kTitle, s.lang.entry(108) + path);
}

void Exports::saveAsWord()
{
    AppState &s = m_window->state();
    ExportTimings::start();
    m_capture.setOpacity(s.exportAlpha);
    const bool copied = m_capture.copyPage(true);
    ExportTimings::mark(QStringLiteral("copy page"));
    if (!copied) {
        Dialogs::instance().message(m_window, Dialogs::Icon::Information, kTitle, s.lang.entry(120));
        return finish(m_capture.lastPath(), QString());
    }
    const QString path =
        m_capture.saveDialog(QStringLiteral("Microsoft Word (*.doc)|*.doc"), m_capture.suggestName(QStringLiteral(".doc")));
    ExportTimings::mark(QStringLiteral("dialog"));
    if (path.isEmpty())
        return finish(m_capture.lastPath(), QString());

    const QString templ = s.useTemplateH ? s.templateHDoc : s.templateDoc;
    if (s.useTemplateH && templ.isEmpty())
        return finish(path, s.text(223, QStringLiteral("The document was not saved.")));
    if (!templ.isEmpty() && !QFileInfo::exists(templ))
        return finish(path, s.text(224, QStringLiteral("The template could not be found:")) + u'\n' + templ);
    OfficeApp word(s);
    const bool made = step("worker start", word.create())
                      && step("open template",
                              templ.isEmpty() ? word.newDocument(QStringLiteral("landscape")) : word.open(templ))
                      && step("paste", word.pasteClipboard(true))
                      && step("save", word.saveAs(path, OfficeApp::writerFormat(path)));
    word.quit();
    ExportTimings::mark(QStringLiteral("quit"));
    finish(path, made ? QString() : word.failureMessage());
}

QString Exports::sideDocumentPath(const QString &pdfPath)
{
    const qsizetype slash = pdfPath.lastIndexOf(u'/');
    const qsizetype dot = pdfPath.lastIndexOf(u'.');
    if (dot > slash)
        return pdfPath.left(dot + 1) + QStringLiteral("doc");
    return pdfPath + QStringLiteral(".doc");
}

void Exports::saveAsPdf()
{
    AppState &s = m_window->state();
    ExportTimings::start();
    m_capture.setOpacity(s.exportAlpha);
    const bool copied = m_capture.copyPage(true);
    ExportTimings::mark(QStringLiteral("copy page"));
    if (!copied) {
        Dialogs::instance().message(m_window, Dialogs::Icon::Information, kTitle, s.lang.entry(120));
        return finish(m_capture.lastPath(), QString());
    }
    const QString path =
        m_capture.saveDialog(QStringLiteral("PDF  (*.pdf)|*.pdf"), m_capture.suggestName(QStringLiteral(".pdf")));
    ExportTimings::mark(QStringLiteral("dialog"));
    if (path.isEmpty())
        return finish(m_capture.lastPath(), QString());
    if (s.useTemplateH || s.templateHDoc.isEmpty())
        return finish(path, s.text(223, QStringLiteral("The document was not saved.")));
    if (!QFileInfo::exists(s.templateHDoc))
        return finish(path, s.text(224, QStringLiteral("The template could not be found:")) + u'\n' + s.templateHDoc);
    OfficeApp word(s);
    const QString side = sideDocumentPath(path);
    const bool made = step("worker start", word.create()) && step("open template", word.open(s.templateHDoc))
                      && step("paste", word.pasteClipboard(true))
                      && step("save side document", word.saveAs(side, OfficeApp::writerFormat(side)))
                      && step("save pdf", word.saveAs(path, QStringLiteral("pdf"), OfficeApp::pdfOptions()));
    word.quit();
    ExportTimings::mark(QStringLiteral("quit"));
    finish(path, made ? QString() : word.failureMessage());
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
    AppState &s = m_window->state();
    WebBrowser *web = m_window->currentBrowser();
    if (!web)
        return;
    const auto found = web->evaluate(TextFile::readText(QStringLiteral(":/scripts/links.js")).value_or(QString()));
    if (!found) {
        Dialogs::instance().message(m_window, Dialogs::Icon::Warning, kTitle,
                                    s.text(225, QStringLiteral("The links of this page could not be taken.")));
        return;
    }
    const QVariantList values = found->toList();
    const QString address = values.value(0).toString();
    const QStringList links = values.value(1).toStringList();
    const QString list = outsideLinks(siteName(address), links);

    const QString target = s.paths.file(QStringLiteral("Links.Doc"));
    if (s.templateHDoc.isEmpty() || !QFileInfo::exists(s.templateHDoc)) {
        Dialogs::instance().message(m_window, Dialogs::Icon::Warning, kTitle,
                                    s.text(224, QStringLiteral("The template could not be found:")) + u'\n'
                                        + s.templateHDoc);
        return;
    }
    OfficeApp word(s);
    const bool made = word.create() && word.open(s.templateHDoc) && word.setText(list)
                      && word.saveAs(target, QStringLiteral("doc"));
    word.quit();
    if (!made) {
        Dialogs::instance().message(m_window, Dialogs::Icon::Warning, kTitle, word.failureMessage());
        return;
    }
    Shell::instance().openUrl(QUrl::fromLocalFile(target));
}
