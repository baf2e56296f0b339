#include "mainbars.h"

#include "browser/address.h"
#include "platform/commandbar.h"
#include "platform/imagelist.h"
#include "platform/paths.h"

#include <algorithm>

namespace MainBars {
namespace {

struct Item
{
    const char *key;
    int image; // -1 for separators
    int style = CommandButton::Normal;
};

constexpr int kSep = CommandButton::Separator;

const Item kStandard0[] = {{"EXIT", 0}, {"SEP13", -1, kSep}, {"BACK", 1}, {"NEXT", 2}, {"SEP10", -1, kSep},
                           {"PRINT", 5}, {"FAVORITE", 8}, {"SEP11", -1, kSep}, {"EDIT", 7}, {"SAVE", 6},
                           {"FILE", 81}, {"LANG", 105}, {"NAVIGATE", 73}};

const Item kSaveBar[] = {{"SAVE:HTML", 26}, {"SAVE:WORDH", 27}, {"SAVE:WORDV", 28}, {"SAVE:EXCEL", 29},
                         {"SAVE:PPT", 30}, {"SAVE:PDF", 32}, {"SAVE:TABS", 33}, {"SAVE:OUTLOOK", 31},
                         {"SAVE:LINKS:SEPARATOR", -1, kSep}, {"SAVE:GETLINKS", 84}};

const Item kEditBar[] = {{"EDIT:STOP", 3}, {"EDIT:TXT", 66}, {"EDIT:TXT:SEPARATOR", -1, kSep}, {"EDIT:CUT", 61},
                         {"EDIT:COPY", 62}, {"EDIT:PASTE", 63}, {"EDIT:DELETE", 68}, {"EDIT:SELECT", 67},
                         {"EDIT:SELECT:SEPARATOR", -1, kSep}, {"EDIT:PAGESET", 58}, {"EDIT:PREVIEW", 59},
                         {"EDIT:PRINT", 60}, {"EDIT:PROPERTIES", 79}, {"EDIT:FINDDOC", 64},
                         {"EDIT:VIEW:SEPARATOR", -1, kSep}, {"EDIT:VIEW", 69}, {"EDIT:PICTURE", 78},
                         {"EDIT:TRANS", 80}, {"EDIT:EXIT:SEPARATOR", -1, kSep}, {"EDIT:EXIT", 0}};

const Item kFileBar[] = {{"FILE:STYLE:SEPARATOR", -1, kSep},
                         {"FILE:SYSTEM", 58, CommandButton::OptionItem},
                         {"FILE:OFFICE", 9, CommandButton::OptionItem},
                         {"FILE:XP", 75, CommandButton::OptionItem},
                         {"FILE:MONEY", 76, CommandButton::OptionItem},
                         {"FILE:FLOATING:SEPARATOR", -1, kSep},
                         {"FILE:FLOATING", 72, CommandButton::CheckItem},
                         {"FILE:FISH:SEPARATOR", -1, kSep},
                         {"FILE:EXPLORER", 46},
                         {"FILE:SECURITY", 48},
                         {"FILE:VOLUME", 37},
                         {"FILE:INTERNET", 47},
                         {"FILE:INTERNET:SEPARATOR", -1, kSep},
                         {"FILE:TAMBERLO", 19},
                         {"FILE:HELP", 77}};

const Item kNavigateBar[] = {{"NAVIGATE:PICK", 15}, {"NAVIGATE:GO", 71}, {"NAVIGATE:GO:SEPARATOR", -1, kSep},
                             {"NAVIGATE:BACK", 1}, {"NAVIGATE:REFRESH", 4}, {"NAVIGATE:NEXT", 2},
                             {"NAVIGATE:HOME:SEPARATOR", -1, kSep}, {"NAVIGATE:PICKHOME", 83},
                             {"NAVIGATE:HOME", 16}};

const Item kStandard2[] = {{"GO", 17}, {"SEP6", -1, kSep}, {"GOOGLE", 13}, {"WIKI", 122}, {"MAP", 123},
                           {"SOCIAL", 124}, {"SEP15", -1, kSep}, {"TAMBERLO", 19}, {"SEP14", -1, kSep},
                           {"MIN", 22}, {"EXIT2", 0}};

// Buttons on no main bar: the link table's and record editor's (their images index
// those windows' own image lists) and a few kept for their captions.
const Item kOffBar[] = {{"ADDURL", 1}, {"EDITURL", 2}, {"GOURL", 3}, {"SORT", 6}, {"SAVE2", 7}, {"HELP2", 8},
                        {"TITLE", 9}, {"CANCEL", 1}, {"SAVE3", 2}, {"PICTURE", 78},
                        {"NAVIGATE:EXIT:SEPARATOR", -1, kSep}, {"EDIT:FIND:SEPARATOR", -1, kSep},
                        {"FILE:HELP:SEPARATOR", -1, kSep}, {"FILE:EARTH:SEPARATOR", -1, kSep}};

QString key(const char *k)
{
    return QString::fromLatin1(k);
}

template<size_t N>
void addButtons(CommandCatalogue &catalogue, const Item (&items)[N])
{
    for (const Item &item : items)
        catalogue.addButton(key(item.key), item.image, QString(), item.style, QString());
}

template<size_t N>
void fill(CommandCatalogue &catalogue, CommandBarBar *bar, const Item (&items)[N])
{
    for (const Item &item : items)
        bar->addButton(catalogue.button(key(item.key)));
}

} // namespace

QString languageName(const QString &fileName)
{
    const qsizetype underscore = fileName.indexOf(u'_');
    if (underscore < 0)
        return {};
    const qsizetype dot = fileName.indexOf(u'.', underscore + 1);
    return dot < 0 ? fileName.mid(underscore + 1) : fileName.mid(underscore + 1, dot - underscore - 1);
}

QString styleKey(int barStyle)
{
    switch (barStyle) {
    case 0: return QStringLiteral("FILE:SYSTEM");
    case 1: return QStringLiteral("FILE:OFFICE");
    case 2: return QStringLiteral("FILE:MONEY");
    case 3: return QStringLiteral("FILE:XP");
    default: return {};
    }
}

QString addLanguageButton(CommandCatalogue &catalogue, const QString &fileName, const ImageList &images)
{
    const QString name = languageName(fileName);
    if (name.isEmpty())
        return {};
    const int image = images.flagFor(name.left(2).toLower());
    CommandButton *b = catalogue.addButton(QStringLiteral("LANG:") + name.toUpper(), image, QString(),
                                           CommandButton::OptionItem, fileName);
    if (!b)
        return {};
    b->setCaption(Address::properCase(name));
    return name;
}

QString offerLanguage(CommandCatalogue &catalogue, const QString &fileName, const ImageList &images)
{
    CommandBarBar *bar = catalogue.bar(QStringLiteral("LANG"));
    const QString name = addLanguageButton(catalogue, fileName, images);
    if (name.isEmpty() || !bar)
        return name;
    CommandButton *item = catalogue.button(QStringLiteral("LANG:") + name.toUpper());
    // In name order among the languages, which all come before "LANG:NEW".
    CommandButton *newItem = catalogue.button(QStringLiteral("LANG:NEW"));
    const QList<CommandButton *> &items = bar->buttons();
    qsizetype position = items.indexOf(newItem);
    if (position < 0)
        position = items.size();
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i] != newItem && items[i]->caption().compare(item->caption(), Qt::CaseInsensitive) > 0) {
            position = std::min(position, i);
            break;
        }
    }
    bar->insertButton(position, item);
    return name;
}

QStringList makeButtons(CommandCatalogue &catalogue, const QString &appPath, int tabWidth, QWidget *tabStrip,
                        const ImageList &images)
{
    for (const char *exit : {"EXIT", "EXIT2", "EXIT5", "EXIT6"})
        catalogue.addButton(key(exit), 0, QString(), CommandButton::Normal, QString());

    const Item titles[] = {{"FILE", 81}, {"BACK", 1},  {"NEXT", 2},  {"PRINT", 5},     {"GOOGLE", 13}, {"SAVE", 6},
                           {"TOOLS", 9}, {"EDIT", 7}, {"FAVORITE", 8}, {"SEARCH", 10}, {"NAVIGATE", 73}, {"LANG", 105}};
    for (const Item &t : titles) {
        CommandButton *b = catalogue.addButton(key(t.key), t.image, QString(), CommandButton::Normal, QString());
        const QString k = key(t.key);
        if (k == QLatin1String("FILE") || k == QLatin1String("SAVE") || k == QLatin1String("TOOLS")
            || k == QLatin1String("EDIT") || k == QLatin1String("SEARCH") || k == QLatin1String("NAVIGATE")
            || k == QLatin1String("LANG"))
            b->setDropDownArrow(true);
    }

    // One option item per language file. Two files giving the same name, or a file
    // giving no name at all, add nothing: a key exists once.
    QStringList languages;
    const QString folder = Paths::resolve(appPath, QStringLiteral("languages"));
    // Listed by name, whatever order the file system keeps them in.
    QStringList files = Paths::matchFiles(folder, QStringLiteral("Lang_*"));
    std::sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        const int byName = QString::compare(languageName(a), languageName(b), Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    for (const QString &file : std::as_const(files)) {
        const QString name = addLanguageButton(catalogue, file, images);
        if (!name.isEmpty())
            languages.append(name);
    }

    addButtons(catalogue, kSaveBar);
    addButtons(catalogue, kEditBar);
    addButtons(catalogue, kFileBar);
    addButtons(catalogue, kNavigateBar);
    catalogue.addButton(QStringLiteral("LANG:NEW"), 119, QString(), CommandButton::Normal, QString());
    addButtons(catalogue, kStandard2);
    addButtons(catalogue, kOffBar);
    for (int i = 1; i <= 16; ++i)
        catalogue.addButton(QStringLiteral("SEP%1").arg(i), -1, QString(), kSep, QString());

    catalogue.button(QStringLiteral("GO"))->setToolTip(QStringLiteral("go"));
    for (const char *k : {"TAMBERLO", "WIKI", "MAP", "SOCIAL"})
        catalogue.button(key(k))->setToolTip(QStringLiteral("\""));

    catalogue.addButton(QStringLiteral("NIL2"), -1, QString(), CommandButton::Panel, QString())->setPanelWidth(0);
    catalogue.addButton(QStringLiteral("MOVE2"), -1, QString(), CommandButton::Panel, QString())->setPanelWidth(12);
    CommandButton *tabs = catalogue.addButton(QStringLiteral("NIL4"), -1, QString(), CommandButton::Panel, QString());
    tabs->setPanelWidth(tabWidth);
    tabs->setPanelControl(tabStrip);
    return languages;
}

void makeBars(CommandCatalogue &catalogue, const QStringList &languages)
{
    CommandBarBar *standard0 = catalogue.addBar(QStringLiteral("STANDARD0"));
    CommandBarBar *save = catalogue.addBar(QStringLiteral("SAVE"));
    CommandBarBar *file = catalogue.addBar(QStringLiteral("FILE"));
    catalogue.addBar(QStringLiteral("TOOLS")); // stays empty, attached to nothing
    CommandBarBar *edit = catalogue.addBar(QStringLiteral("EDIT"));
    CommandBarBar *lang = catalogue.addBar(QStringLiteral("LANG"));
    CommandBarBar *navigate = catalogue.addBar(QStringLiteral("NAVIGATE"));

    fill(catalogue, standard0, kStandard0);
    fill(catalogue, save, kSaveBar);
    catalogue.button(QStringLiteral("SAVE"))->setBar(save);
    fill(catalogue, edit, kEditBar);
    catalogue.button(QStringLiteral("EDIT"))->setBar(edit);
    fill(catalogue, file, kFileBar);
    catalogue.button(QStringLiteral("FILE"))->setBar(file);
    fill(catalogue, navigate, kNavigateBar);
    catalogue.button(QStringLiteral("NAVIGATE"))->setBar(navigate);
    for (const QString &name : languages)
        lang->addButton(catalogue.button(QStringLiteral("LANG:") + name.toUpper()));
    lang->addButton(catalogue.button(QStringLiteral("LANG:NEW")));
    catalogue.button(QStringLiteral("LANG"))->setBar(lang);

    catalogue.addBar(QStringLiteral("STANDARD1"))->addButton(catalogue.button(QStringLiteral("NIL4")));
    fill(catalogue, catalogue.addBar(QStringLiteral("STANDARD2")), kStandard2);
}

void setCheckMarks(CommandCatalogue &catalogue, int floatBars, int barStyle)
{
    catalogue.button(QStringLiteral("FILE:FLOATING"))->setChecked(floatBars == 1);
    const QString style = styleKey(barStyle);
    if (!style.isEmpty())
        catalogue.button(style)->setChecked(true);
}

} // namespace MainBars
