#include "dialogs.h"

#include "platform/privacy.h"
#include "platform/wait.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QInputDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPointer>
#include <QPrinter>
#include <QSettings>

#include <fcntl.h>
#include <unistd.h>

namespace {

Dialogs *g_override = nullptr;

// Qt's file dialog keeps its last folder, its view and the folders visited in Qt's
// settings file, which names the user's folders: it is made the user's alone before the
// dialog writes it, as Qt keeps the permissions of the file it replaces.
void keepDialogStatePrivate()
{
    const QByteArray path = QFile::encodeName(QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName());
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    else
        Privacy::closeFile(QFile::decodeName(path));
}

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

void Dialogs::messageWhenIdle(QWidget *parent, Icon icon, const QString &title, const QString &text)
{
    if (!Wait::active()) {
        instance().message(parent, icon, title, text);
        return;
    }
    const QPointer<QWidget> guard(parent);
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = QObject::connect(Wait::notifier(), &Wait::idle, Wait::notifier(), [=] {
        QObject::disconnect(*once);
        if (guard || !parent)
            instance().message(guard, icon, title, text);
    });
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
    keepDialogStatePrivate();
    const QString path = QFileDialog::getSaveFileName(parent, title, start, filters, &selected,
                                                      QFileDialog::DontConfirmOverwrite);
    if (filterIndex)
        *filterIndex = std::max(0, static_cast<int>(filters.split(QStringLiteral(";;")).indexOf(selected)));
    return path;
}

QString Dialogs::openFile(QWidget *parent, const QString &title, const QString &filter,
                          const QString &fileName)
{
    keepDialogStatePrivate();
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

namespace {
int g_pageDialogs = 0;
} // namespace

Dialogs::PageDialogOpen::PageDialogOpen()
{
    ++g_pageDialogs;
}

Dialogs::PageDialogOpen::~PageDialogOpen()
{
    --g_pageDialogs;
}

int Dialogs::pageDialogsOpen()
{
    return g_pageDialogs;
}

Dialogs::PageDialogAnswer Dialogs::pageDialog(QWidget *parent, PageDialog kind, const PageDialogTexts &texts,
                                              const QString &origin, const QString &text, const QString &value,
                                              bool offerStop, const std::function<bool()> &abandoned)
{
    PageDialogOpen open;
    // Not modal: a modal dialog would keep the window manager's close from the main
    // window, and a page that shows one dialog after another would hold the user for
    // good. The main window takes no other input meanwhile (it watches the count).
    QDialog dialog(parent ? parent->window() : nullptr, Qt::Dialog);
    dialog.setWindowModality(Qt::NonModal);
    dialog.setWindowTitle(texts.title + QStringLiteral(" — ") + origin);
    // Wide enough for its title (what it is and which site asks) to be read.
    dialog.setMinimumWidth(420);
    auto *layout = new QVBoxLayout(&dialog);
    auto *label = new QLabel(&dialog);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A page can say a great deal; the dialog stays on the screen.
    label->setText(text.size() > 4000 ? text.left(4000) + QStringLiteral("…") : text);
    label->setMaximumWidth(600);
    layout->addWidget(label);
    QLineEdit *edit = nullptr;
    if (kind == PageDialog::Prompt) {
        edit = new QLineEdit(value, &dialog);
        layout->addWidget(edit);
    }
    QCheckBox *stop = nullptr;
    if (offerStop) {
        stop = new QCheckBox(texts.stopLabel, &dialog);
        stop->setObjectName(QStringLiteral("stopDialogs"));
        layout->addWidget(stop);
    }
    auto *buttons = new QDialogButtonBox(kind == PageDialog::Alert ? QDialogButtonBox::Ok
                                                                    : QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                         &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    bool finished = false;
    QObject::connect(&dialog, &QDialog::finished, &dialog, [&finished] { finished = true; });
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    Wait::until([&] { return finished || (abandoned && abandoned()); }, -1, 20);
    PageDialogAnswer answer;
    answer.accepted = finished && dialog.result() == QDialog::Accepted;
    answer.value = edit ? edit->text() : value;
    answer.stopFurther = stop && stop->isChecked();
    return answer;
}
