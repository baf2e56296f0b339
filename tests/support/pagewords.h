#pragma once

#include <QString>
#include <QStringList>

// How much of a page a document keeps: its words, and the share of the page's words
// found in the document in the page's order.
namespace PageWords {

// The runs of letters and digits of a text, in any script.
QStringList words(const QString &text);
// Each page word is looked for a little ahead of the last one found.
double inOrder(const QStringList &page, const QStringList &document);

} // namespace PageWords
