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

// Messages often carry a page's title or address: they are always shown as plain
// text, never as markup a page could put there.
void Dialogs::message(QWidget *parent, Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool Dialogs::question(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

QString Dialogs::plainToolTip(const QString &text)
{
    // A tooltip that looks like markup is drawn as markup: this one is the text itself.
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap);
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
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(text);
    // With an empty prompt the title is the whole question: wide enough to be read.
    const QSize hint = dialog.sizeHint();
    dialog.resize(std::max(hint.width(), dialog.fontMetrics().horizontalAdvance(title) + 160), hint.height());
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (ok)
        *ok = accepted;
    return accepted ? dialog.textValue() : QString();
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
    dialog.setWindowTitle(QString(title).replace(u'\n', u' '));
    auto *form = new QFormLayout(&dialog);
    for (const auto &row : rows) {
        auto *value = new QLabel(&dialog);
        value->setTextFormat(Qt::PlainText);
        value->setText(row.second);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        value->setMinimumWidth(320);
        auto *name = new QLabel(&dialog);
        name->setTextFormat(Qt::PlainText);
        name->setText(row.first);
        form->addRow(name, value);
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
