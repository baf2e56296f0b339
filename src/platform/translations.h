#pragma once

#include <QLocale>
#include <QString>

// Qt's own texts (its dialogs: print, page setup, files) and the web engine's pages in
// the language of the language file, when Debian ships them, so that the whole program
// speaks one language.
namespace Translations {

// The language file's LANG value ("ENG", "ITA", ...) to a locale, and Qt's translations
// for it installed in place of the previous ones. The engine takes the locale when it
// starts, so its own pages follow a change at the next start.
void apply(const QString &langCode);

// The locale a LANG value names; the C locale when it names none.
QLocale localeFor(const QString &langCode);

} // namespace Translations
