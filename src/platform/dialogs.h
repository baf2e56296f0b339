#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

#include <functional>

// Every message box, question and file dialog of the program goes through this
// service, so a test can answer them and read what was shown.
class Dialogs
{
public:
    enum class Icon { Information, Warning, Critical, Question };

    virtual ~Dialogs() = default;

    virtual void message(QWidget *parent, Icon icon, const QString &title, const QString &text);
    // A message about something that ended in its own time (a program a command
    // started): shown now, or once the wait that runs has ended, so that it never comes
    // between the steps of an export. Nothing is shown when the parent is gone by then.
    static void messageWhenIdle(QWidget *parent, Icon icon, const QString &title, const QString &text);
    // Yes/No question; true for Yes.
    virtual bool question(QWidget *parent, const QString &title, const QString &text);
    // Save dialog without an overwrite prompt. filter uses the "Name (*.ext)|*.ext"
    // form of the exports. Empty when cancelled.
    // filterIndex, when given, receives the 0-based filter the user chose.
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &filter,
                             const QString &suggestedName, const QString &folder, int *filterIndex = nullptr);
    virtual QString openFile(QWidget *parent, const QString &title, const QString &filter,
                             const QString &fileName);
    // Text input; ok is false when cancelled.
    virtual QString input(QWidget *parent, const QString &title, const QString &prompt,
                          const QString &text, bool *ok);

    // The printer dialogs; false when the user cancelled.
    virtual bool print(QWidget *parent, QPrinter *printer);
    virtual bool pageSetup(QWidget *parent, QPrinter *printer);
    // Shows the preview; paint draws the document onto the printer it is given.
    virtual void printPreview(QWidget *parent, QPrinter *printer, const std::function<void(QPrinter *)> &paint);
    // A table of names and values (the page's properties).
    virtual void properties(QWidget *parent, const QString &title, const QList<QPair<QString, QString>> &rows);

    // A page's own dialog (alert, confirm, prompt). The page's text is shown as plain
    // text; offerStop adds the choice to stop that page's dialogs. The dialog leaves the
    // window usable for a close request: abandoned() becoming true ends it unanswered.
    enum class PageDialog { Alert, Confirm, Prompt };
    struct PageDialogTexts
    {
        QString title;       // what the dialog is (in the user's language)
        QString stopLabel;   // the choice to stop the page's dialogs
        QString replaceFile; // the question before a download replaces a file
        QString pageDied;    // what the page area says of a page whose renderer ended
        QString reload;      // the button that loads such a page again
    };
    struct PageDialogAnswer
    {
        bool accepted = false;
        QString value;
        bool stopFurther = false;
    };
    virtual PageDialogAnswer pageDialog(QWidget *parent, PageDialog kind, const PageDialogTexts &texts,
                                        const QString &origin, const QString &text, const QString &value,
                                        bool offerStop, const std::function<bool()> &abandoned);
    // How many page dialogs are open right now.
    static int pageDialogsOpen();

    // "Word (*.doc)|*.doc|All (*.*)|*.*" to Qt's "Word (*.doc);;All (*.*)".
    static QString toQtFilter(const QString &filter);
    // A tooltip that shows the text as it is, whatever markup it holds (a page's
    // address, a title).
    static QString plainToolTip(const QString &text);

    static Dialogs &instance();
    // Replaces the service (tests); nullptr restores the real one. Not owned.
    static void setInstance(Dialogs *dialogs);

protected:
    // Held while a page dialog is open, whichever service shows it: the main window
    // takes no other input meanwhile.
    class PageDialogOpen
    {
    public:
        PageDialogOpen();
        ~PageDialogOpen();
        PageDialogOpen(const PageDialogOpen &) = delete;
        PageDialogOpen &operator=(const PageDialogOpen &) = delete;
    };
};
