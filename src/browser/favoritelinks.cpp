#include "favoritelinks.h"

#include "app/mainwindow.h"
#include "browser/tabbrowsing.h"
#include "linktable/linktablewindow.h"
#include "platform/commandbar.h"
#include "platform/dialogs.h"

#include <QComboBox>

FavoriteLinks::FavoriteLinks(MainWindow *window)
    : m_window(window)
{
}

void FavoriteLinks::goLinkTable()
{
    if (m_linkTable)
        return;
    m_window->state().chosenLink.clear();
    m_linkTable = new LinkTableWindow(m_window->state(), CommandCatalogue::instance(), Dialogs::instance(), *this,
                                      m_window);
    connect(m_linkTable, &QDialog::finished, this, &FavoriteLinks::returned);
    m_linkTable->show();
}

void FavoriteLinks::returned()
{
    // The window and its record editor go; the next opening builds them anew.
    if (m_linkTable)
        m_linkTable->deleteLater();
    m_linkTable = nullptr;
    const QString chosen = m_window->state().chosenLink;
    if (!chosen.isEmpty() && !m_window->closeRequested()) {
        m_window->addressBox()->setEditText(chosen);
        m_window->tabs()->goAddress(0);
    }
    emit linkTableClosed();
}

QString FavoriteLinks::pageTitle() const
{
    return m_window->state().pageTitle;
}

QString FavoriteLinks::pageAddress() const
{
    return m_window->state().currentURL;
}

QString FavoriteLinks::addressBoxText() const
{
    return m_window->addressBox()->currentText();
}

void FavoriteLinks::chooseLink(const QString &address)
{
    m_window->state().chosenLink = address;
}
