// The reader of the engine's web archives, which hold whatever a page sent: any bytes
// parse without harm, and the parts it finds, written again as an archive, read back as
// the same parts.
#include "export/mhtml.h"
#include "fuzzinput.h"

namespace {

QByteArray archiveOf(const QList<Mhtml::Part> &parts)
{
    // No line of the archive below starts with "--" but the delimiters.
    QByteArray archive = "Content-Type: multipart/related; boundary=\"b\"\r\n\r\n";
    for (const Mhtml::Part &part : parts) {
        archive += "--b\r\nContent-Type: " + part.type + "\r\nContent-Transfer-Encoding: base64\r\n";
        archive += "Content-ID: <" + part.contentId.toUtf8() + ">\r\n";
        archive += "Content-Location: " + part.location.toUtf8() + "\r\n\r\n";
        archive += part.body.toBase64() + "\r\n";
    }
    return archive + "--b--\r\n";
}

bool same(const Mhtml::Part &a, const Mhtml::Part &b)
{
    return a.location == b.location && a.contentId == b.contentId && a.type == b.type && a.body == b.body;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzInput::bytes(data, size);
    (void)Mhtml::decode(bytes, "quoted-printable");
    (void)Mhtml::decode(bytes, "base64");
    const QList<Mhtml::Part> parts = Mhtml::parse(bytes);
    const QList<Mhtml::Part> again = Mhtml::parse(archiveOf(parts));
    if (again.size() != parts.size())
        __builtin_trap();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!same(parts[i], again[i]))
            __builtin_trap();
    }
    return 0;
}
