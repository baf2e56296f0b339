#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

// The service as tests use it: answers from queues, everything shown recorded.
class ScriptedDialogs : public Dialogs
{
public:
    struct Shown
    {
        Icon icon;
        QString title;
        QString text;
    };

    void message(QWidget *parent, Icon icon, const QString &title, const QString &text) override;
    bool question(QWidget *parent, const QString &title, const QString &text) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &filter,
                     const QString &suggestedName, const QString &folder, int *filterIndex = nullptr) override;
    QString openFile(QWidget *parent, const QString &title, const QString &filter,
                     const QString &fileName) override;
    QString input(QWidget *parent, const QString &title, const QString &prompt, const QString &text,
                  bool *ok) override;
    bool print(QWidget *parent, QPrinter *printer) override;
    bool pageSetup(QWidget *parent, QPrinter *printer) override;
    void printPreview(QWidget *parent, QPrinter *printer, const std::function<void(QPrinter *)> &paint) override;
    void properties(QWidget *parent, const QString &title, const QList<QPair<QString, QString>> &rows) override;
    PageDialogAnswer pageDialog(QWidget *parent, PageDialog kind, const PageDialogTexts &texts, const QString &origin,
                                const QString &text, const QString &value, bool offerStop,
                                const std::function<bool()> &abandoned) override;

    struct ShownPageDialog
    {
        PageDialog kind;
        QString title;
        QString text;
        bool offeredStop;
    };
    QList<ShownPageDialog> pageDialogs;
    QList<PageDialogAnswer> pageAnswers; // front first; an accepted one when empty
    int pageAnswerDelayMs = 0;           // how long the user takes to answer
    // Called while a page dialog is open (a test closes the window there); the dialog then
    // waits until it is abandoned.
    std::function<void()> duringPageDialog;

    QList<Shown> messages;
    // Called while a message is shown, as the user reads it.
    std::function<void()> duringMessage;
    QList<bool> answers;        // question answers, front first; No when empty
    QStringList files;          // save/open answers, front first; cancel when empty
    QList<int> filterChoices;   // the filter chosen in each save dialog (0 when empty)
    QStringList inputs;         // input answers; cancel when empty
    QStringList suggestedNames; // what each save dialog proposed
    QStringList filters;        // the filter of each file dialog
    QStringList titles;         // the title of each open dialog
    QStringList folders;        // the folder each save dialog started in
    QString printTo;            // print and preview go to this PDF file; empty: cancel
    QStringList printerDialogs; // "print", "pagesetup", "preview" as they were shown
    QList<QPair<QString, QString>> shownProperties;
};

// Installs a scripted service for the lifetime of the object.
class ScopedDialogs
{
public:
    ScopedDialogs() { Dialogs::setInstance(&dialogs); }
    ~ScopedDialogs() { Dialogs::setInstance(nullptr); }
    ScopedDialogs(const ScopedDialogs &) = delete;
    ScopedDialogs &operator=(const ScopedDialogs &) = delete;

    ScriptedDialogs dialogs;
};
