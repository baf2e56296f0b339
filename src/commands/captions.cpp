#include "captions.h"

#include "settings/appstate.h"
#include "dialogs/inputdialog.h"
#include "langeditor/languageeditor.h"
#include "linktable/linkfiles.h"
#include "platform/commandbar.h"

#include <QWidget>

namespace Captions {
namespace {

struct Text
{
    const char *key;
    int entry;
};

const Text kToolbarTips[] = {{"EXIT", 32},    {"FILE", 131},    {"BACK", 123},  {"NEXT", 124}, {"PRINT", 43},
                             {"SAVE", 128},   {"EDIT", 129},    {"FAVORITE", 130}, {"SEARCH", 132},
                             {"NAVIGATE", 134}, {"LANG", 194},  {"EXIT2", 32},  {"MIN", 60}};

const Text kDropDownCaptions[] = {
    {"NAVIGATE:PICK", 170},  {"NAVIGATE:GO", 169},    {"NAVIGATE:NEXT", 3},   {"NAVIGATE:BACK", 2},
    {"NAVIGATE:REFRESH", 126}, {"NAVIGATE:HOME", 63}, {"NAVIGATE:PICKHOME", 135}, {"FILE:SYSTEM", 180},
    {"FILE:OFFICE", 172},    {"FILE:XP", 173},        {"FILE:MONEY", 174},    {"FILE:FLOATING", 38},
    {"FILE:TAMBERLO", 138},  {"FILE:HELP", 175},      {"EDIT:STOP", 125},     {"EDIT:CUT", 157},
    {"EDIT:COPY", 158},      {"SAVE:WORDH", 146},     {"SAVE:WORDV", 147},    {"SAVE:EXCEL", 148},
    {"LANG:NEW", 209},       {"EDIT:PASTE", 159},     {"EDIT:DELETE", 18},    {"EDIT:PAGESET", 41},
    {"EDIT:PREVIEW", 42},    {"EDIT:PRINT", 43},      {"EDIT:PROPERTIES", 177}, {"EDIT:FINDDOC", 166},
    {"EDIT:SELECT", 23},     {"EDIT:VIEW", 35},       {"EDIT:PICTURE", 176},  {"EDIT:TRANS", 189},
    {"EDIT:EXIT", 1},        {"FILE:INTERNET", 161},  {"FILE:EXPLORER", 160}, {"FILE:SECURITY", 162},
    {"FILE:VOLUME", 97},     {"SAVE:GETLINKS", 185},  {"SAVE:HTML", 145},     {"SAVE:PPT", 149},
    {"SAVE:OUTLOOK", 150},   {"SAVE:PDF", 206},       {"SAVE:TABS", 340}};

// Drop-down items whose caption alone does not say enough.
const Text kDropDownTips[] = {{"SAVE:TABS", 341}};

const Text kRightTips[] = {{"GO", 136}, {"PICTURE", 176}, {"TAMBERLO", 196}};

// The language editor's and the yes/no dialog's buttons (the dialog's question is
// set by the dialog itself each time it opens).
const Text kSecondaryCaptions[] = {{"EXIT3", 210}, {"SAVE5", 128}, {"OKYES", 212}, {"OKNO", 214}};

CommandButton *button(CommandCatalogue &catalogue, const char *key)
{
    return catalogue.button(QString::fromLatin1(key));
}

} // namespace

void apply(CommandCatalogue &catalogue, const AppState &state, LinkFiles::GroupList &groups, QWidget *moveButton,
           QWidget *moveButtonLeft)
{
    const LangTable &lang = state.lang;
    const LangSettings &s = state.langSettings;
    auto tip = [&](const char *key, const QString &text) {
        if (CommandButton *b = button(catalogue, key))
            b->setToolTip(text);
    };

    for (const Text &t : kToolbarTips)
        tip(t.key, lang.entry(t.entry));
    tip("GOOGLE", s.searchDescr);

    for (const Text &t : kDropDownCaptions) {
        if (CommandButton *b = button(catalogue, t.key))
            b->setCaption(lang.entry(t.entry));
    }
    for (const Text &t : kDropDownTips)
        tip(t.key, lang.entry(t.entry));
    if (CommandButton *b = button(catalogue, "EDIT:TXT"))
        b->setCaption(QStringLiteral("Lang_") + state.options.langName + QStringLiteral(".txt"));

    for (const Text &t : kRightTips)
        tip(t.key, lang.entry(t.entry));
    tip("WIKI", s.dictionaryDescr);
    tip("MAP", s.mapDescr);
    tip("SOCIAL", s.socialDescr);

    for (QWidget *w : {moveButton, moveButtonLeft}) {
        if (w)
            w->setToolTip(lang.entry(215));
    }

    groups.applyDefaultTitles(lang.entry(34), state.linkRows * state.linkColumns);

    // Those two windows open on demand; their buttons and bars exist from here on.
    LanguageEditor::makeBars(catalogue);
    InputDialog::makeBars(catalogue);
    for (const Text &t : kSecondaryCaptions) {
        if (CommandButton *b = button(catalogue, t.key))
            b->setCaption(lang.entry(t.entry));
    }
}

} // namespace Captions
