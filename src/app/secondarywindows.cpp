#include "secondarywindows.h"

#include "commands/mainbars.h"
#include "platform/commandbar.h"
#include "platform/imagelist.h"
#include "settings/appstate.h"

SecondaryWindows::SecondaryWindows(AppState &state, QWidget *parent)
    : QObject(parent)
    , m_state(state)
    , m_parent(parent)
{
}

void SecondaryWindows::showLanguageEditor()
{
    LanguageEditor editor(m_state, CommandCatalogue::instance(), *this, m_parent);
    editor.run();
}

void SecondaryWindows::showAbout()
{
    AboutWindow about(m_state, CommandCatalogue::instance(), *this, m_parent);
    about.exec();
}

void SecondaryWindows::languageSaved(const QString &fileName)
{
    const QString name = MainBars::offerLanguage(CommandCatalogue::instance(), fileName, ImageList::main());
    if (!name.isEmpty())
        m_state.languages.append(name);
}

void SecondaryWindows::showHelp()
{
    emit helpRequested();
}
