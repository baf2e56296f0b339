#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

// A long documentation page made the way documentation generators make them: the
// main column a floated box beside a floated sidebar, headings with permalinks that
// show only on hover, definition lists, notes, code, and a long reference table whose
// cells hold footnote markers such as "(1)". The same page every time.
QByteArray longDocumentationPage(int sections, int tableRows);

// A ledger as shops and offices publish them: order numbers too long for a
// spreadsheet's numbers, zip codes (some with leading zeros), amounts with thousands
// separators, prices with trailing zeros, shares, codes that look like numbers, notes,
// and an item number that is a link to itemBase + the number. The same page every time.
QByteArray ledgerPage(int rows, const QString &itemBase);

// A PNG picture of one colour.
QByteArray png(const QColor &colour, int width = 60, int height = 40);
