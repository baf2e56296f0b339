#pragma once

#include <QByteArray>

// A long documentation page made the way documentation generators make them: the
// main column a floated box beside a floated sidebar, headings with permalinks that
// show only on hover, definition lists, notes, code, and a long reference table whose
// cells hold footnote markers such as "(1)". The same page every time.
QByteArray longDocumentationPage(int sections, int tableRows);
