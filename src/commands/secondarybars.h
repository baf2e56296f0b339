#pragma once

#include <QStringList>

#include <initializer_list>

class CommandBar;
class CommandBarBar;
class CommandCatalogue;

// The bars of the secondary windows are built once per run from the shared catalogue:
// each window keeps a flag so a second opening does not create its keys again.
namespace SecondaryBars {

enum class Window { About, Input, LanguageEditor, LinkEditor, LinkTable, Count };

// True the first time it is asked for a window (and marks the window as built).
bool firstLoad(Window window);
// Forgets every flag (a new catalogue was made).
void reset();

// The button builder of the windows that make their own buttons: each a normal button
// with that key and image (of the window's own image list), its caption shown beside
// the image.
struct OwnButton
{
    const char *key;
    int image;
};
void addButtons(CommandCatalogue &catalogue, std::initializer_list<OwnButton> buttons);

// The shared bar builder: a bar with that key on the instance's collection, holding
// the buttons of the keys looked up in the catalogue, in order.
CommandBarBar *build(CommandCatalogue &catalogue, const QString &barKey, const QStringList &keys);

// Mounting on each load: images, toolbar and style.
void mount(CommandBar *instance, CommandCatalogue &catalogue, const QString &barKey, int style);

// The link table window's bars "TAB0" (instance 0) and "TAB1" (instance 1).
void makeTabBars(CommandCatalogue &catalogue);
// The link record editor's bar "EDIT9".
void makeEditBars(CommandCatalogue &catalogue);

} // namespace SecondaryBars
