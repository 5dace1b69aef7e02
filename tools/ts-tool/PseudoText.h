#pragma once

#include <QString>

// The pseudo-translation of a source text: letters accented, the text wrapped
// in brackets and padded with dots to be at least 35 % longer (the brackets
// aside), so that a tester sees which texts are not translatable (no
// brackets) and which are cut off (no closing bracket). Placeholders (%1,
// %n, %L1), accelerators (&File keeps its F), entities (&amp;) and HTML tags
// are kept as they are; the brackets go inside leading and trailing tags so
// that rich text stays rich text.
QString PseudoText(const QString& source);
