#pragma once

#include <QString>

class QObject;
class QWebEngineProfile;

// Process-wide set-up of the web engine: the program's own "quorl:" scheme (the
// built-in start page) and the profile every tab shares, stored below the program
// folder.
namespace WebEngine {

// Must run before the QApplication is created.
void registerSchemes();

// The address of the built-in start page.
QString startPageAddress();
// The address of the program's help page.
QString helpPageAddress();


// The profile the tabs of one main window share, with its storage in dataFolder.
// The owner must delete its pages before the profile.
QWebEngineProfile *createProfile(const QString &dataFolder, QObject *parent);

} // namespace WebEngine
