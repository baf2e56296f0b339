#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks of the program. Started by hand, a program folder runs with
// no arguments and keeps its data beside its executables; the installed program's
// launcher names the user's own folder for the data.
namespace CommandLine {

struct Request
{
    // The program folder for the data, absolute; empty: the folder of the executables.
    QString programFolder;
    // The addresses to open, as the window opens them: local files as file: addresses,
    // the rest completed as a typed address is.
    QStringList addresses;
    // Why the launcher could not set up the program folder. The program shows it in a
    // window of its own, where it can be read whole, and ends.
    QString cannotStart;
    // Set when the program is to end at once (help, version, a call it does not know):
    // what to print, and the exit status.
    std::optional<int> exitStatus;
    QString output;
};

// arguments as QCoreApplication::arguments() gives them: the program first, without the
// options Qt itself takes. workingFolder: where relative file paths are found.
Request parse(const QStringList &arguments, const QString &workingFolder = QString());

// An address given on the command line as the window opens it: a path of a local file
// (absolute, or relative to workingFolder) or a file: address opens as a file: address;
// anything else follows the rule of a typed address.
QString addressOf(const QString &argument, const QString &workingFolder);

} // namespace CommandLine
