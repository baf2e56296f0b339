#include "headlessdialogs.h"

#include <QRegularExpression>

HeadlessDialogs::HeadlessDialogs(std::function<void(const QString &line)> say)
    : m_say(std::move(say))
{
}

QString HeadlessDialogs::oneLine(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    return text.trimmed().replace(breaks, QStringLiteral(" "));
}

void HeadlessDialogs::message(QWidget *, Icon, const QString &, const QString &text)
{
    if (m_say)
        m_say(oneLine(text));
}

bool HeadlessDialogs::question(QWidget *, const QString &, const QString &)
{
    return false;
}

QString HeadlessDialogs::saveFile(QWidget *, const QString &, const QString &, const QString &, const QString &, int *)
{
    return {};
}

QString HeadlessDialogs::openFile(QWidget *, const QString &, const QString &, const QString &)
{
    return {};
}

QString HeadlessDialogs::input(QWidget *, const QString &, const QString &, const QString &, bool *ok)
{
    if (ok)
        *ok = false;
    return {};
}

bool HeadlessDialogs::print(QWidget *, QPrinter *)
{
    return false;
}

bool HeadlessDialogs::pageSetup(QWidget *, QPrinter *)
{
    return false;
}

void HeadlessDialogs::printPreview(QWidget *, QPrinter *, const std::function<void(QPrinter *)> &)
{
}

void HeadlessDialogs::properties(QWidget *, const QString &, const QList<QPair<QString, QString>> &)
{
}

Dialogs::PageDialogAnswer HeadlessDialogs::pageDialog(QWidget *, PageDialog, const PageDialogTexts &, const QString &,
                                                      const QString &, const QString &, bool,
                                                      const std::function<bool()> &)
{
    // Dismissed, as a dialog nobody answers would hold the page for good.
    PageDialogAnswer answer;
    answer.stopFurther = true;
    return answer;
}
