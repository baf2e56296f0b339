#pragma once

#include <QString>

class MainWindow;

// The steps every export shares: the window's opacity, the copy of the page, the
// proposed file name and the save dialog, the screen picture; and the two commands
// that take the page without an office application.
class PageCapture
{
public:
    explicit PageCapture(MainWindow *window);

    // Set_Opacity: 0 transparent to 255 opaque.
    void setOpacity(int alpha);

    // Copy_Page: the page's body onto the clipboard. True when the clipboard then holds
    // text or a picture. clearFirst is false for the spreadsheet export.
    bool copyPage(bool clearFirst);
    // The last copy ended because the user stopped the wait for the page.
    bool cancelled() const { return m_cancelled; }
    static bool clipboardHasContent();

    // Suggest_Name for the current page; fixedName for an empty title when given.
    QString suggestName(const QString &extension, const QString &fixedName = QString()) const;
    static QString suggestName(const QString &title, const QString &extension, const QString &fixedName);

    // The save dialog: the export's filter, the proposed name, no overwrite prompt.
    // Empty when cancelled. The chosen path stays, like the dialog's own FileName.
    QString saveDialog(const QString &filter, const QString &suggestedName, int *filterIndex = nullptr);
    QString lastPath() const { return m_lastPath; }
    void setLastPath(const QString &path) { m_lastPath = path; }

    // Load_ClipBoard: the bars hidden, a picture of the whole screen on the clipboard,
    // the bars shown again. waitMs is each of its three waits.
    void loadClipboard(int waitMs = 1000);

    // "EDIT:VIEW": the page source in Doc.Txt, opened in the text viewer.
    void viewSource();
    // "SAVE:HTML": the page saved as a web archive, a complete page or its HTML.
    void saveMht();

private:
    MainWindow *m_window;
    QString m_lastPath;
    bool m_cancelled = false;
};
