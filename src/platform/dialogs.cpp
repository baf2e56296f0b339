#include "dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

Dialogs *g_override = nullptr;

QMessageBox::Icon toQt(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Information: return QMessageBox::Information;
    case Dialogs::Icon::Warning: return QMessageBox::Warning;
    case Dialogs::Icon::Critical: return QMessageBox::Critical;
    case Dialogs::Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Dialogs &Dialogs::instance()
{
    static Dialogs real;
    return g_override ? *g_override : real;
}

void Dialogs::setInstance(Dialogs *dialogs)
{
    g_override = dialogs;
}

QString Dialogs::toQtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts.at(i).trimmed();
        const QString pattern = parts.at(i + 1).trimmed().replace(u';', u' ');
        if (!name.contains(u'('))
            name += QStringLiteral(" (") + pattern + u')';
        result.append(name);
    }
    if (result.isEmpty() && !filter.isEmpty())
        result.append(filter);
    return result.join(QStringLiteral(";;"));
}

void Dialogs::message(QWidget *parent, Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool Dialogs::question(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

QString Dialogs::saveFile(QWidget *parent, const QString &title, const QString &filter,
                          const QString &suggestedName, const QString &folder, int *filterIndex)
{
    const QString start = folder.isEmpty() ? suggestedName : folder + u'/' + suggestedName;
    const QString filters = toQtFilter(filter);
    QString selected;
    const QString path = QFileDialog::getSaveFileName(parent, title, start, filters, &selected,
                                                      QFileDialog::DontConfirmOverwrite);
    if (filterIndex)
        *filterIndex = std::max(0, static_cast<int>(filters.split(QStringLiteral(";;")).indexOf(selected)));
    return path;
}

QString Dialogs::openFile(QWidget *parent, const QString &title, const QString &filter,
                          const QString &fileName)
{
    return QFileDialog::getOpenFileName(parent, title, fileName, toQtFilter(filter));
}

QString Dialogs::input(QWidget *parent, const QString &title, const QString &prompt,
                       const QString &text, bool *ok)
{
    return QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, text, ok);
}

void ScriptedDialogs::message(QWidget *, Icon icon, const QString &title, const QString &text)
{
    messages.append({icon, title, text});
}

bool ScriptedDialogs::question(QWidget *, const QString &title, const QString &text)
{
    messages.append({Icon::Question, title, text});
    return answers.isEmpty() ? false : answers.takeFirst();
}

QString ScriptedDialogs::saveFile(QWidget *, const QString &, const QString &filter,
                                  const QString &suggestedName, const QString &, int *filterIndex)
{
    suggestedNames.append(suggestedName);
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

bool Dialogs::print(QWidget *parent, QPrinter *printer)
{
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool Dialogs::pageSetup(QWidget *parent, QPrinter *printer)
{
    QPageSetupDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void Dialogs::printPreview(QWidget *parent, QPrinter *printer, const std::function<void(QPrinter *)> &paint)
{
    QPrintPreviewDialog dialog(printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter *p) { paint(p); });
    dialog.exec();
}

void Dialogs::properties(QWidget *parent, const QString &title, const QList<QPair<QString, QString>> &rows)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto *form = new QFormLayout(&dialog);
    for (const auto &row : rows) {
        auto *value = new QLabel(row.second, &dialog);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        value->setMinimumWidth(320);
        form->addRow(row.first, value);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    dialog.exec();
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
