#pragma once

#include "platform/dialogs.h"

#include <functional>

// The dialogs of a run with no one at a window (the exports of the command line):
// nothing is ever shown, as nothing could be answered. A page's own dialogs are
// dismissed at once and its further ones stopped, questions are answered no, file and
// printer dialogs cancelled, and messages are handed to say(), one line each.
class HeadlessDialogs : public Dialogs
{
public:
    explicit HeadlessDialogs(std::function<void(const QString &line)> say);

    void message(QWidget *parent, Icon icon, const QString &title, const QString &text) override;
    bool question(QWidget *parent, const QString &title, const QString &text) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &filter, const QString &suggestedName,
                     const QString &folder, int *filterIndex = nullptr) override;
    QString openFile(QWidget *parent, const QString &title, const QString &filter, const QString &fileName) override;
    QString input(QWidget *parent, const QString &title, const QString &prompt, const QString &text,
                  bool *ok) override;
    bool print(QWidget *parent, QPrinter *printer) override;
    bool pageSetup(QWidget *parent, QPrinter *printer) override;
    void printPreview(QWidget *parent, QPrinter *printer, const std::function<void(QPrinter *)> &paint) override;
    void properties(QWidget *parent, const QString &title, const QList<QPair<QString, QString>> &rows) override;
    PageDialogAnswer pageDialog(QWidget *parent, PageDialog kind, const PageDialogTexts &texts, const QString &origin,
                                const QString &text, const QString &value, bool offerStop,
                                const std::function<bool()> &abandoned) override;

    // A text of several lines as one line.
    static QString oneLine(const QString &text);

private:
    std::function<void(const QString &)> m_say;
};
