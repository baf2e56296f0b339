#pragma once

#include <QString>

class QWebEngineDownloadRequest;
class WebBrowser;

// Files a page offers for download. The page only proposes a name; where the file goes
// is the user's choice, made in the save dialog, which starts in the user's downloads
// folder. The file is written beside its place under a name of its own and takes its
// place only once it is complete, so a download that fails replaces nothing.
namespace Downloads {

// The page's proposed name as a plain file name: no folder parts, no leading dots, no
// control or direction characters, not longer than a file name can be. A name that is
// nothing after that becomes "download".
QString safeFileName(const QString &proposed);

// The folder the save dialog starts in: the user's downloads folder, the home folder
// when there is none, never a folder inside the program's own.
QString folder(const QString &programFolder);

// A download the user asked for in tab: the save dialog, the question before a file is
// replaced, and the file moved into place once complete (tab says when it was not).
void offer(QWebEngineDownloadRequest *item, WebBrowser *tab, const QString &folder);

} // namespace Downloads
