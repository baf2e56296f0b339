#pragma once

#include "platform/ziplibrary.h"

#include <QStringList>

class cZip;

// mZip: the call into the zip library and the four callbacks through which the library
// reports progress and asks for a comment, a password or leave to go on. The callbacks
// raise the events of the cZip whose call is running.
namespace mZip {

// The module's state during a call: one call at a time.
struct State
{
    cZip *owner = nullptr;
    bool cancelled = false; // a cancel holds for the rest of the call
    bool confirm = false;   // the next password request asks for the confirmation
};
State &state();

// Makes the archive: the library's result code (0 success).
int32_t runZip(cZip &owner, ZipLibrary::Options &options, const QString &zipFile, const QString &basePath,
               const QStringList &patterns);

// The print callback: texts of 2 to 1023 bytes become Progress events ("/" shown as the
// platform's separator). Always 0.
int zipPrint(const char *text, unsigned long length);
// The service callback: texts of 2 to 1023 bytes (cut at their first zero byte) become
// Cancel events; 1 when the handler cancelled.
int zipService(const char *text, unsigned long length);
// The comment callback: the comment into a buffer of 256 bytes; 1 when cancelled or empty.
int zipComment(char *buffer);
// The password callback: the password into the first size bytes of the buffer; 1 when
// cancelled or empty.
int zipPassword(char *buffer, int size, const char *prompt, const char *name);

} // namespace mZip
