#include "secondarywindows.h"

#include "app/mainwindow.h"
#include "commands/dispatch.h"
#include "commands/mainbars.h"
#include "platform/commandbar.h"
#include "platform/imagelist.h"
#include "platform/webbrowser.h"

SecondaryWindows::SecondaryWindows(MainWindow *window)
    : m_window(window)
{
}

void SecondaryWindows::showLanguageEditor()
{
    LanguageEditor editor(m_window->state(), CommandCatalogue::instance(), *this, m_window);
    editor.run();
}

void SecondaryWindows::showAbout()
{
    AboutWindow about(m_window->state(), CommandCatalogue::instance(), *this, m_window);
    about.exec();
}

void SecondaryWindows::languageSaved(const QString &fileName)
{
    const QString name = MainBars::offerLanguage(CommandCatalogue::instance(), fileName, ImageList::main());
    if (!name.isEmpty())
        m_window->state().languages.append(name);
}

void SecondaryWindows::showHelp()
{
    if (WebBrowser *web = m_window->currentBrowser())
        web->navigate(Dispatch::helpPage());
}
