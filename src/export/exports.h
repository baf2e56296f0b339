#pragma once

#include "export/pagecapture.h"

#include <QString>
#include <QStringList>

class MainWindow;

// The exports of the page the current tab shows, each a main-window command: the
// word-processor documents, the PDF and the list of outside links.
class Exports
{
public:
    explicit Exports(MainWindow *window);

    PageCapture &capture() { return m_capture; }

    // SaveAsW: "SAVE:WORDH" (landscape template) and "SAVE:WORDV" (portrait template).
    void saveAsWord();
    // SaveAsF: the PDF with its side document.
    void saveAsPdf();
    // GET_Links: the page's outside links into Links.Doc, opened.
    void getLinks();

    // The side document of a PDF: the file name's extension replaced by "doc".
    static QString sideDocumentPath(const QString &pdfPath);
    // The name of the page's own site, for telling its links from the others.
    static QString siteName(const QString &address);
    // The links that lead elsewhere, each followed by CR LF.
    static QString outsideLinks(const QString &site, const QStringList &links);

private:
    // The closing message naming the chosen path, or the failure when there was one.
    void finish(const QString &path, const QString &failure);

    MainWindow *m_window;
    PageCapture m_capture;
};
