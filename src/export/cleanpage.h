#pragma once

#include <QByteArray>
#include <QDateTime>
#include "export/mhtml.h"

#include <QHash>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>

// The page as the exports hand it on: a clean, self-contained copy of what the page
// shows, built in the page by the capture script, with its plain text and the
// pictures it showed. Nothing in it can make another program fetch anything.
struct CleanPage
{
    QString html;          // the body's content; pictures as quorl-picture:N
    QString text;          // the same content as plain text
    QStringList pictures;  // picture N's address, as the engine loaded it
    QString title;
    QString url;
    QString lang;
    QString dir = QStringLiteral("ltr");

    // A frame of another site the page shows, whose document the script could not
    // read: its place in html and text is left for insertFrame().
    struct Frame
    {
        QString url;   // its address, or the archive's "cid:" name for it
        int index = -1; // its place among the page's frames, when it is one of the page's own
        QSize size;    // as the page shows it
    };
    QList<Frame> frames;

    struct Picture
    {
        QByteArray type; // image/png, image/jpeg or image/gif
        QByteArray data;
    };
    // Picture N's bytes, where the engine had them.
    QHash<int, Picture> loaded;

    // What the capture script answered; an empty page when it answered nothing usable.
    static CleanPage fromScript(const QVariant &value);
    // A page known only by its text (one that runs no scripts): paragraphs of text.
    static CleanPage fromText(const QString &text, const QString &title, const QString &url);

    bool isEmpty() const;

    // Puts in the bytes of every picture the engine loaded, from its web archive of
    // the page; pictures in forms the office application may not read are converted.
    void takePictures(const QByteArray &archive);
    void takePictures(const QList<Mhtml::Part> &parts);

    // Frame n's content, itself a clean page, put in its place; its pictures join this
    // page's. A frame left without content keeps no place.
    void insertFrame(int n, const CleanPage &frame);
    void dropFrames();

    // The whole document, UTF-8: the page's language and direction, its title,
    // address and the export's date in the head, every picture as a data: URI (or
    // none when withPictures is false). A picture whose bytes are not there is left
    // out, never referred to by its address. A picture wider than maxPictureWidth
    // pixels (the text's width; 0 for no limit) is made that wide, its aspect kept.
    QByteArray document(bool withPictures, const QDateTime &exported, int maxPictureWidth = 0) const;
    // The document for a spreadsheet: without pictures, and a paragraph that a
    // spreadsheet would read as a number, a date or a time ("00037", "1/2") is a cell of
    // text, as table cells that are no numbers are.
    QByteArray sheet(const QDateTime &exported) const;

    // Several pages in one document, in their order, each a section of its own: a
    // heading that names the page by its title and address (each after the first on a
    // new page), then the page in its own language and direction. The pages' bookmarks
    // are renamed so that each page's links within itself still lead to its own places.
    static QByteArray sections(const QList<CleanPage> &pages, const QDateTime &exported, int maxPictureWidth = 0);

private:
    QByteArray build(bool withPictures, const QDateTime &exported, int maxPictureWidth, bool cellFormats) const;
    // The body's content with the pictures' bytes put in (or left out).
    QString content(bool withPictures, int maxPictureWidth, bool cellFormats) const;
};
