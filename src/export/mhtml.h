#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A reader of the engine's own web archive (MIME multipart/related, as the engine
// writes it when it saves a page as a single file): the resources of the page as the
// engine had loaded them, each with the address it came from.
namespace Mhtml {

struct Part
{
    QString location;  // Content-Location: the address the resource was loaded from
    QString contentId; // Content-ID without its angle brackets
    QByteArray type;   // the media type, lower case, without parameters
    QByteArray body;   // decoded
    // Where the part lies in the archive, its headers included, as the engine wrote it.
    qsizetype start = 0;
    qsizetype size = 0;
};

// Every part of the archive, in order; empty when the bytes are not a multipart
// archive. Damaged parts are skipped, never guessed at.
QList<Part> parse(const QByteArray &archive);

// The same archive with part first as its page: the engine then shows that document
// (a frame's, say) with the rest of the archive as its resources. Nothing is decoded
// or changed on the way.
QByteArray withPage(const QByteArray &archive, const QList<Part> &parts, qsizetype first);

// Quoted-printable and base64 bodies decoded (other encodings pass unchanged).
QByteArray decode(const QByteArray &body, const QByteArray &transferEncoding);

} // namespace Mhtml
