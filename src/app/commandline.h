#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks of the program. Started by hand, a program folder runs with
// no arguments and keeps its data beside its executables; the installed program's
// launcher names the user's own folder for the data. With --export the program opens
// no window: it exports the pages it is given to files and ends.
namespace CommandLine {

// The pages to export and where their files go.
struct ExportRequest
{
    // The export's name: one of formats().
    QString format;
    // Where the files go, absolute: a folder (files named from the page titles) or, for
    // one page, the file itself. Empty: the folder the program was started in.
    QString output;
    bool outputIsFolder = true;
    // No line for a page that was exported.
    bool quiet = false;
    // The longest wait for each page to complete.
    int waitSeconds = 60;
    // A file of addresses, one a line; "-" is standard input. Empty: none.
    QString urlsFile;
    // The addresses and files named on the command line, as given.
    QStringList addresses;
};

// The export names --export takes.
const QStringList &formats();

struct Request
{
    // The program folder for the data, absolute; empty: the folder of the executables.
    QString programFolder;
    // The addresses to open in the window, as Address::fromArgument gives them.
    QStringList addresses;
    // Why the launcher could not set up the program folder. The program shows it in a
    // window of its own, where it can be read whole, and ends.
    QString cannotStart;
    // Set when the program is to end at once (help, version, a call it does not know):
    // what to print, and the exit status.
    std::optional<int> exitStatus;
    QString output;
    // Set when the pages are to be exported with no window.
    std::optional<ExportRequest> exports;
};

// Whether the command line asks for exports with no window: known before Qt is set up,
// whose own options the full parse does not know yet.
bool asksForExport(const QStringList &arguments);

// arguments as QCoreApplication::arguments() gives them: the program first, without the
// options Qt itself takes. workingFolder: where relative file paths are found.
Request parse(const QStringList &arguments, const QString &workingFolder = QString());

} // namespace CommandLine
