#ifndef ZENTROVA_SAFETEXT_H
#define ZENTROVA_SAFETEXT_H

#include <QString>

// Typed or loaded text that goes onto a certificate, into its number, a file
// name or the history: control characters (a NUL from a damaged file, a tab)
// and the characters that reorder text on screen (a right-to-left override
// prints a number backwards) have no place there.

// Why the text cannot stand on a certificate, or nothing.
QString Unsafe_Text_Reason(const QString &text);

// The text as part of a file name that Linux and Windows can both hold and
// that stays in the folder it is put in, and is not hidden: / \ : * ? " < >
// |, control characters and leading dots become "-".
QString File_Name_Part(const QString &text);

#endif
