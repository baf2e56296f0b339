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
};

// Every part of the archive, in order; empty when the bytes are not a multipart
// archive. Damaged parts are skipped, never guessed at.
QList<Part> parse(const QByteArray &archive);

// Quoted-printable and base64 bodies decoded (other encodings pass unchanged).
QByteArray decode(const QByteArray &body, const QByteArray &transferEncoding);

} // namespace Mhtml
