#ifndef ZENTROVA_FIELDMARK_H
#define ZENTROVA_FIELDMARK_H

#include <QString>

class QLineEdit;

// Marks a field whose text gives no result: a tinted ground that keeps the
// text legible in every style, and the reason as its tool tip and as what a
// screen reader says of it. An empty reason takes the mark away.
void Show_Field_Mark(QLineEdit *field, const QString &reason);

bool Is_Field_Marked(const QLineEdit *field);

#endif
