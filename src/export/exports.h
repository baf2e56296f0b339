#pragma once

#include "export/pagecapture.h"

#include <QString>
#include <QStringList>

class ExportHost;
class OfficeApp;
class OfficeSpare;
class QObject;
struct AppState;

// The exports of the page the current tab shows, each a main-window command: the
// word-processor documents, the PDF, the list of outside links, the spreadsheet, the
// presentation slide and the page picture. What they need of the window comes through
// the host.
class Exports
{
public:
    // owner: the parent of the office worker started ahead.
    Exports(AppState &state, ExportHost &host, QObject *owner);

    PageCapture &capture() { return m_capture; }
    // The next export's office worker, started ahead while the program is idle.
    OfficeSpare *spare() const { return m_spare; }

    // "SAVE:WORDH" (landscape template) and "SAVE:WORDV" (portrait template): the page in
    // a word-processor document made from the template.
    void saveAsWord();
    // "SAVE:PDF": the page as a PDF, with its word-processor document beside it.
    void saveAsPdf();
    // "SAVE:GETLINKS": the page's links to other sites into Links.Doc, which is opened.
    void getLinks();
    // The page's links to other sites into a word-processor document at target (its
    // format by its extension); false, the user told why, when it was not written.
    bool saveLinks(const QString &target);
    // "SAVE:EXCEL": the page into a new sheet of a new workbook.
    void saveAsExcel();
    // "SAVE:PPT": a picture of the screen as a new last slide of a new or existing
    // presentation.
    void saveAsPowerPoint();
    // "EDIT:PICTURE": a picture of the screen as Images/QuorlNNN.bmp.
    void takePicture();

    // The file name of page picture n: the last three digits of n.
    static QString pictureName(int count);
    // The first picture number from count on whose file does not exist yet in folder
    // (the names wrap after 999); -1 when every name is taken.
    static int freePictureNumber(const QString &folder, int count);

    // The side document of a PDF: the file name's extension replaced by "doc".
    static QString sideDocumentPath(const QString &pdfPath);
    // path when no file is there, else the first free "name (2).ext", "name (3).ext"...
    static QString nextFreeName(const QString &path);
    // The name of the page's own site, for telling its links from the others.
    static QString siteName(const QString &address);
    // The links that lead elsewhere, each followed by CR LF.
    static QString outsideLinks(const QString &site, const QStringList &links);

private:
    // The start the page exports share: the window translucent, the page captured, the
    // save dialog. Empty when the export ends there (nothing to export, cancelled).
    QString begin(bool clearClipboard, const QString &filter, const QString &suggestedName,
                  const QStringList &accepted, bool withPictures = true);
    // The chosen path cannot be written at all (a folder, a read-only folder): the
    // user is told and the export ends. True when the way is clear.
    bool targetWritable(const QString &path);
    // The page's title, address and the export's date on the document.
    bool describe(OfficeApp &office);
    // The closing message naming the chosen path, or the failure when there was one;
    // nothing when the user cancelled.
    void finish(const QString &path, const OfficeApp *office, const QString &failure = QString(),
                const QString &extra = QString());

    AppState &m_state;
    ExportHost &m_host;
    PageCapture m_capture;
    OfficeSpare *m_spare = nullptr;
};
