#include "pagewords.h"

#include <QRegularExpression>

namespace PageWords {

QStringList words(const QString &text)
{
    static const QRegularExpression word(QStringLiteral("[\\p{L}\\p{N}]+"));
    QStringList result;
    for (auto it = word.globalMatch(text); it.hasNext();)
        result.append(it.next().captured(0));
    return result;
}

double inOrder(const QStringList &page, const QStringList &document)
{
    if (page.isEmpty())
        return 1.0;
    qsizetype at = 0;
    int found = 0;
    for (const QString &w : page) {
        for (qsizetype i = at; i < document.size() && i < at + 60; ++i) {
            if (document.at(i) == w) {
                at = i + 1;
                ++found;
                break;
            }
        }
    }
    return static_cast<double>(found) / page.size();
}

} // namespace PageWords
