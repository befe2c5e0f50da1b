#include "safetext.h"

#include <QCoreApplication>

namespace
{
// The explicit direction marks, embeddings, overrides and isolates.
bool Reorders_Text(QChar character)
{
    const ushort code = character.unicode();
    return code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}
} // namespace

QString Unsafe_Text_Reason(const QString &text)
{
    for (const QChar character : text)
    {
        const QString code =
            QString::number(character.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
        if (character.category() == QChar::Other_Control)
            return QCoreApplication::translate("Safe_Text",
                                               "holds a control character (U+%1), which a "
                                               "certificate cannot show")
                .arg(code);
        if (Reorders_Text(character))
            return QCoreApplication::translate("Safe_Text",
                                               "holds a character that reorders the text on "
                                               "screen (U+%1)")
                .arg(code);
    }
    return QString();
}

QString File_Name_Part(const QString &text)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString part = text;
    for (QChar &character : part)
        if (forbidden.contains(character) || character.category() == QChar::Other_Control ||
            Reorders_Text(character))
            character = QLatin1Char('-');
    // A name that begins with a dot is hidden on Linux.
    for (int index = 0; index < part.size() && part.at(index) == QLatin1Char('.'); ++index)
        part[index] = QLatin1Char('-');
    return part;
}
