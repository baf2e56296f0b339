#include "exports.h"

#include "app/mainwindow.h"
#include "export/exporttimings.h"
#include "export/officeapp.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "platform/wait.h"
#include "platform/webbrowser.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QJsonObject>
#include <QMimeData>
#include <QTimer>
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

QString Exports::begin(bool clearClipboard, const QString &filter, const QString &suggestedName)
{
    const AppState &s = m_window->state();
    ExportTimings::start();
    m_capture.setOpacity(s.exportAlpha);
    const bool copied = m_capture.copyPage(clearClipboard);
    ExportTimings::mark(QStringLiteral("copy page"));
    if (!copied && m_capture.cancelled()) {
        m_capture.setOpacity(s.normalAlpha);
        return {};
    }
    if (!copied) {
        Dialogs::instance().message(m_window, Dialogs::Icon::Information, kTitle, s.lang.entry(120));
        finish(m_capture.lastPath(), QString());
        return {};
    }
    const QString path = m_capture.saveDialog(filter, suggestedName);
    ExportTimings::mark(QStringLiteral("dialog"));
    if (path.isEmpty())
        finish(m_capture.lastPath(), QString());
    return path;
}

void Exports::saveAsWord()
{
    AppState &s = m_window->state();
    const QString path = begin(true, QStringLiteral("Microsoft Word (*.doc)|*.doc"),
                               m_capture.suggestName(QStringLiteral(".doc")));
    if (path.isEmpty())
        return;

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
    const QString path = begin(true, QStringLiteral("PDF  (*.pdf)|*.pdf"), m_capture.suggestName(QStringLiteral(".pdf")));
    if (path.isEmpty())
        return;
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

void Exports::saveAsExcel()
{
    AppState &s = m_window->state();
    // Whatever the clipboard held stays if the page adds nothing: it is not cleared here.
    const QString path = begin(false, QStringLiteral("Microsoft Excel(*.xls)|*.xls"),
                               m_capture.suggestName(QStringLiteral(".xls"), QStringLiteral("ExcelDocument")));
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path) && !QFile::remove(path))
        return finish(path, s.text(219, QStringLiteral("This file could not be written:")) + u'\n' + path);

    OfficeApp excel(s);
    const QJsonObject sheet{
        {QStringLiteral("Name"), QJsonObject{{QStringLiteral("type"), QStringLiteral("string")},
                                             {QStringLiteral("value"), QStringLiteral("Sheet2")}}},
        {QStringLiteral("Index"), QJsonObject{{QStringLiteral("type"), QStringLiteral("long")},
                                              {QStringLiteral("value"), QStringLiteral("1")}}}};
    // The new sheet goes in front and becomes the active one, as a workbook's added
    // sheet does; the command may report failure although the sheet is there.
    const bool made = step("worker start", excel.create())
                      && step("new workbook", excel.newDocument(QStringLiteral("scalc")))
                      && step("add sheet", excel.uno(QStringLiteral(".uno:Insert"), sheet) && excel.parts() >= 2
                                               && excel.setPart(0))
                      && step("paste", excel.pasteClipboard(false, false))
                      && step("save", excel.saveAs(path, OfficeApp::calcFormat(path)));
    excel.quit();
    ExportTimings::mark(QStringLiteral("quit"));
    finish(path, made ? QString() : (excel.failureMessage().isEmpty()
                                         ? s.text(223, QStringLiteral("The document was not saved."))
                                         : excel.failureMessage()));
}

void Exports::saveAsPowerPoint()
{
    AppState &s = m_window->state();
    ExportTimings::start();
    QGuiApplication::clipboard()->clear();
    if (WebBrowser *web = m_window->currentBrowser())
        web->widget()->setVisible(true);
    s.exportBusy = 1;
    const QString path = m_capture.saveDialog(QStringLiteral("Microsoft Powerpoint(*.ppt)|*.ppt"),
                                              m_capture.suggestName(QStringLiteral(".ppt"), QStringLiteral("PPTDocument")));
    ExportTimings::mark(QStringLiteral("dialog"));
    if (!path.isEmpty()) {
        m_window->barPanel()->setVisible(true);
        if (WebBrowser *web = m_window->currentBrowser()) {
            QWidget *view = web->widget();
            view->resize(view->width(), m_window->height() + 2);
        }
    }
    if (path.isEmpty()) {
        s.exportBusy = 0;
        return;
    }

    OfficeApp impress(s);
    const bool existing = QFileInfo::exists(path);
    int slides = -1;
    bool made = step("worker start", impress.create());
    if (made && existing) {
        made = step("open presentation", impress.open(path)) && impress.uno(QStringLiteral(".uno:InsertPage"), {})
               && (slides = impress.parts()) > 0 && step("add slide", impress.setPart(slides - 1));
    } else if (made) {
        // A new presentation comes with its one slide already.
        made = step("new presentation", impress.newDocument(QStringLiteral("simpress"))) && (slides = impress.parts()) > 0;
    }
    if (made) {
        const QJsonObject blank{{QStringLiteral("WhatLayout"), QJsonObject{{QStringLiteral("type"), QStringLiteral("long")},
                                                                           {QStringLiteral("value"), QStringLiteral("20")}}}};
        made = impress.uno(QStringLiteral(".uno:AssignLayout"), blank);
    }
    if (made) {
        m_capture.loadClipboard(m_screenWait);
        ExportTimings::mark(QStringLiteral("screen picture"));
        const QImage picture = qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData());
        made = step("paste", impress.pasteImage(picture))
               && step("save", impress.saveAs(path, OfficeApp::impressFormat(path)));
    }
    impress.quit();
    ExportTimings::mark(QStringLiteral("quit"));
    if (made) {
        Dialogs::instance().message(m_window, Dialogs::Icon::Information, kTitle,
                                    s.lang.entry(216) + u' ' + QString::number(slides) + u' ' + s.lang.entry(217)
                                        + QStringLiteral("\r\n") + path);
    } else {
        Dialogs::instance().message(m_window, Dialogs::Icon::Warning, kTitle,
                                    impress.failureMessage().isEmpty()
                                        ? s.text(223, QStringLiteral("The document was not saved."))
                                        : impress.failureMessage());
    }
    s.exportBusy = 0;
    m_window->runResizeRules();
}

QString Exports::pictureName(int count)
{
    const QString digits = QStringLiteral("00") + QString::number(count);
    return QStringLiteral("Quorl") + digits.right(3) + QStringLiteral(".bmp");
}

void Exports::takePicture()
{
    AppState &s = m_window->state();
    ExportTimings::start();
    if (WebBrowser *web = m_window->currentBrowser())
        web->widget()->setVisible(true);
    m_capture.loadClipboard(m_screenWait);
    ExportTimings::mark(QStringLiteral("screen picture"));
    if (s.options.floatBars == 1)
        m_window->autoHideTimer()->start();
    Wait::sleep(100);
    const QImage picture = qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData());
    const QString path = s.paths.file(QStringLiteral("Images/") + pictureName(s.pictureCount));
    // A missing Images folder or a full disk is reported; the count moves on only for
    // a picture that was saved.
    QString error;
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "BMP") || !TextFile::writeBytes(path, bmp, &error)) {
        ExportTimings::mark(QStringLiteral("save"));
        Dialogs::instance().message(m_window, Dialogs::Icon::Warning, kTitle,
                                    s.text(226, QStringLiteral("The picture could not be saved:")) + u'\n' + path);
        return;
    }
    ExportTimings::mark(QStringLiteral("save"));
    Dialogs::instance().message(m_window, Dialogs::Icon::Information, kTitle,
                                s.lang.entry(192) + QStringLiteral(": ") + path);
    s.pictureCount = s.pictureCount == 32767 ? 0 : static_cast<int16_t>(s.pictureCount + 1);
}
