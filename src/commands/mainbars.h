#pragma once

#include <QString>
#include <QStringList>

class CommandCatalogue;
class ImageList;
class QWidget;

// The command catalogue of the main window and its bars: the buttons every window's
// bars are made of, the three toolbars and the drop-down bars.
namespace MainBars {

// The whole catalogue of buttons. Returns the language list (names in the order
// the Languages folder lists its files). tabStrip is hosted by the panel "NIL4".
QStringList makeButtons(CommandCatalogue &catalogue, const QString &appPath, int tabWidth, QWidget *tabStrip,
                        const ImageList &images);

// The bars: "STANDARD0", "STANDARD1", "STANDARD2" and the drop-down bars.
void makeBars(CommandCatalogue &catalogue, const QStringList &languages);

// The language item of a language file: key "LANG:" + name in upper case, the flag of
// its code, the name in proper case as caption and the file name as tooltip. Returns
// the language name; empty when the file gives no name or its key exists already.
QString addLanguageButton(CommandCatalogue &catalogue, const QString &fileName, const ImageList &images);

// A language file written during the run: its item goes into the "LANG" bar before
// "LANG:NEW", as the next start would place it. Returns the name; empty when the
// language is offered already.
QString offerLanguage(CommandCatalogue &catalogue, const QString &fileName, const ImageList &images);

// Mounting steps 1 and 2: the check marks of "FILE:FLOATING" and of the style item.
void setCheckMarks(CommandCatalogue &catalogue, int floatBars, int barStyle);

// The language name of a language file name: between the first "_" and the first "."
// (all of the rest when there is no "."). Empty when the name has no "_".
QString languageName(const QString &fileName);

// The style item of a bar style: 0 "FILE:SYSTEM", 1 "FILE:OFFICE", 2 "FILE:MONEY", 3 "FILE:XP".
QString styleKey(int barStyle);

} // namespace MainBars
