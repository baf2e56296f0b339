#include "scripteddialogs.h"

#include "platform/wait.h"

#include <QPrinter>

void ScriptedDialogs::message(QWidget *, Icon icon, const QString &title, const QString &text)
{
    messages.append({icon, title, text});
    if (duringMessage)
        duringMessage();
}

bool ScriptedDialogs::question(QWidget *, const QString &title, const QString &text)
{
    messages.append({Icon::Question, title, text});
    return answers.isEmpty() ? false : answers.takeFirst();
}

QString ScriptedDialogs::saveFile(QWidget *, const QString &, const QString &filter,
                                  const QString &suggestedName, const QString &folder, int *filterIndex)
{
    suggestedNames.append(suggestedName);
    folders.append(folder);
    filters.append(filter);
    const int choice = filterChoices.isEmpty() ? 0 : filterChoices.takeFirst();
    if (filterIndex)
        *filterIndex = choice;
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString ScriptedDialogs::openFile(QWidget *, const QString &title, const QString &filter, const QString &)
{
    titles.append(title);
    filters.append(filter);
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString ScriptedDialogs::input(QWidget *, const QString &, const QString &, const QString &, bool *ok)
{
    const bool answered = !inputs.isEmpty();
    if (ok)
        *ok = answered;
    return answered ? inputs.takeFirst() : QString();
}

Dialogs::PageDialogAnswer ScriptedDialogs::pageDialog(QWidget *, PageDialog kind, const PageDialogTexts &texts,
                                                      const QString &, const QString &text, const QString &value,
                                                      bool offerStop, const std::function<bool()> &abandoned)
{
    PageDialogOpen open;
    pageDialogs.append({kind, texts.title, text, offerStop});
    if (duringPageDialog) {
        duringPageDialog();
        Wait::until([&] { return abandoned && abandoned(); }, 10000, 20);
        return {};
    }
    if (pageAnswerDelayMs > 0)
        Wait::sleep(pageAnswerDelayMs);
    PageDialogAnswer answer = pageAnswers.isEmpty() ? PageDialogAnswer{true, value, false} : pageAnswers.takeFirst();
    if (!offerStop)
        answer.stopFurther = false;
    return answer;
}

bool ScriptedDialogs::print(QWidget *, QPrinter *printer)
{
    printerDialogs.append(QStringLiteral("print"));
    if (printTo.isEmpty())
        return false;
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(printTo);
    return true;
}

bool ScriptedDialogs::pageSetup(QWidget *, QPrinter *)
{
    printerDialogs.append(QStringLiteral("pagesetup"));
    return !printTo.isEmpty();
}

void ScriptedDialogs::printPreview(QWidget *, QPrinter *printer, const std::function<void(QPrinter *)> &paint)
{
    printerDialogs.append(QStringLiteral("preview"));
    if (printTo.isEmpty())
        return;
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(printTo);
    paint(printer);
}

void ScriptedDialogs::properties(QWidget *, const QString &title, const QList<QPair<QString, QString>> &rows)
{
    messages.append({Icon::Information, title, QString()});
    shownProperties = rows;
}
