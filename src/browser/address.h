#pragma once

#include <QString>

// Two text rules for addresses, pure functions.
namespace Address {

// A typed address without "https://", "ftp://" or "http://" at its start (in any case)
// gets "http://" before it; otherwise it stays as typed. Only for non-empty text.
QString complete(const QString &typed);

// A page named on the command line or in a list of addresses: an absolute path, or a
// path of a file or folder that is there (from workingFolder), opens as "file:"; a
// "file:" address stays as it is; anything else follows complete().
QString fromArgument(const QString &argument, const QString &workingFolder);

// The short caption of a tab for an address ("http://www.example.com/index.html" gives
// "Example").
QString makeTabCaption(const QString &address);

// First letter of every blank-separated word upper case, the other letters lower case.
QString properCase(const QString &text);

} // namespace Address
