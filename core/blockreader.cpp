#include "blockreader.h"

bool Holds_A_Block(const QString &text)
{
    return text.contains(QLatin1Char('\t')) || text.contains(QLatin1Char('\n')) ||
           text.contains(QLatin1Char('\r'));
}

QList<QStringList> Read_Block(QString text, const QStringList &column_names)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    QList<QStringList> rows;
    for (const QString &line : lines)
        rows << line.split(QLatin1Char('\t'));
    if (rows.isEmpty())
        return rows;
    bool header = false;
    for (const QString &cell : rows.first())
    {
        const QString name = cell.simplified().toLower();
        if (name.isEmpty())
            continue;
        bool known = false;
        for (const QString &column : column_names)
            known = known || name == column.simplified().toLower();
        if (!known)
            return rows;
        header = true;
    }
    if (header)
        rows.removeFirst();
    return rows;
}
