#pragma once

#include "export/pagecapture.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class ExportHost;
class ExportProgress;
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
    // "SAVE:TABS": the page of every tab in one document, in tab order: a word-processor
    // document or a PDF with a section per page, or a workbook with a sheet per page, as
    // the file chosen says. A tab whose page cannot be taken is named at the end; the
    // others still go.
    void saveAllTabs();
    // The longest the export of all tabs waits for a tab's document to come.
    static constexpr int kTabWaitMs = 20000;
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
    // A sheet's name for a page: its title, else its site, else fallback; without the
    // characters a sheet's name cannot hold, at most 31 characters, and like none of
    // taken (letter case aside).
    static QString sheetName(const QString &title, const QString &address, const QString &fallback,
                             const QStringList &taken);

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
    // The pages of these tabs, each taken as the current page is, shown in its turn;
    // the tabs left out, each named with the reason. False when the user stopped it.
    bool takeTabs(const QList<int> &tabs, bool withPictures, ExportProgress &progress, QList<CleanPage> &pages,
                  QStringList &left);
    // One sheet per page in a new workbook, in their order, each named from its page.
    bool fillSheets(OfficeApp &calc, const QList<CleanPage> &pages, const QDateTime &exported);
    // The closing message naming the chosen path, or the failure when there was one;
    // nothing when the user cancelled.
    void finish(const QString &path, const OfficeApp *office, const QString &failure = QString(),
                const QString &extra = QString());

    AppState &m_state;
    ExportHost &m_host;
    PageCapture m_capture;
    OfficeSpare *m_spare = nullptr;
};
