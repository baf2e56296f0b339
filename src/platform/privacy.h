#pragma once

#include <QString>

// The program's own files are the user's alone: its folders are 0700 and its files 0600
// (their group's and others' permissions removed), whatever the home folder's mode and
// the umask. They hold the typed addresses, the history of pages and the link files
// with their concealed values.
namespace Privacy {

// Makes the folder the user's alone, creating it when it is missing (its missing parents
// get the usual permissions), and its files too. A folder inside that was open to others,
// as earlier versions left them, is closed with everything below it; one that is closed
// already is not walked. Links are neither followed nor changed. False, with the reason
// in error, when the folder cannot be made or closed.
bool closeFolder(const QString &folder, QString *error = nullptr);

// A new folder of the program's own, made the user's alone; an existing one is left as
// it is. False when there is no folder afterwards.
bool makeFolder(const QString &folder);

// The file made the user's alone: its group's and others' permissions removed.
bool closeFile(const QString &file);

} // namespace Privacy
