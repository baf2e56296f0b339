#include "secondarybars.h"

#include "platform/commandbar.h"

#include <array>

namespace SecondaryBars {
namespace {
std::array<bool, static_cast<size_t>(Window::Count)> g_built{};
} // namespace

bool firstLoad(Window window)
{
    bool &built = g_built[static_cast<size_t>(window)];
    if (built)
        return false;
    built = true;
    return true;
}

void reset()
{
    g_built.fill(false);
}

void addButtons(CommandCatalogue &catalogue, std::initializer_list<OwnButton> buttons)
{
    for (const OwnButton &b : buttons) {
        if (CommandButton *button = catalogue.addButton(QString::fromLatin1(b.key), b.image, QString(),
                                                        CommandButton::Normal, QString()))
            button->setCaptionShown(true);
    }
}

CommandBarBar *build(CommandCatalogue &catalogue, const QString &barKey, const QStringList &keys)
{
    CommandBarBar *bar = catalogue.addBar(barKey);
    if (!bar)
        return catalogue.bar(barKey);
    for (const QString &key : keys)
        bar->addButton(catalogue.button(key));
    return bar;
}

void mount(CommandBar *instance, CommandCatalogue &catalogue, const QString &barKey, int style)
{
    // The look goes on before the buttons: a look replaced on a bar that already holds
    // its buttons is not drawn until it is set again once the window shows.
    instance->setBarStyle(style);
    instance->setToolbar(catalogue.bar(barKey));
}

void makeTabBars(CommandCatalogue &catalogue)
{
    build(catalogue, QStringLiteral("TAB0"),
          {QStringLiteral("EXIT5"), QStringLiteral("SEP1"), QStringLiteral("ADDURL"), QStringLiteral("SEP5"),
           QStringLiteral("EDITURL"), QStringLiteral("GOURL"), QStringLiteral("SEP4"), QStringLiteral("SORT"),
           QStringLiteral("SAVE2"), QStringLiteral("HELP2"), QStringLiteral("SEP7"), QStringLiteral("TITLE")});
    build(catalogue, QStringLiteral("TAB1"), {QStringLiteral("SEP10"), QStringLiteral("EXIT6")});
}

void makeEditBars(CommandCatalogue &catalogue)
{
    build(catalogue, QStringLiteral("EDIT9"), {QStringLiteral("CANCEL"), QStringLiteral("SAVE3")});
}

} // namespace SecondaryBars
