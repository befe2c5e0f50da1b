#include "calibrationrecord.h"

namespace
{
// The record's cells, row by row; an empty row separates its sections.
QList<QStringList> Record_Rows(const Calibration_Record &record)
{
    QDateTime when = record.when;
    // ISO 8601 with the offset from UTC written out.
    when.setOffsetFromUtc(when.offsetFromUtc());
    QList<QStringList> rows{{QStringLiteral("Calibration record"), QString()},
                            {QStringLiteral("Date"), when.toString(Qt::ISODate)},
                            {QStringLiteral("Program"), record.program},
                            {QStringLiteral("Existing Code 1"), record.existing_code1},
                            {QStringLiteral("Existing Code 2"), record.existing_code2},
                            {},
                            {QStringLiteral("Nominal"), QStringLiteral("Actual"),
                             QStringLiteral("Reading"), QStringLiteral("Correction")}};
    rows << record.samples;
    rows << QStringList() << QStringList{QStringLiteral("New Code 1"), record.new_code1}
         << QStringList{QStringLiteral("New Code 2"), record.new_code2}
         << QStringList{QStringLiteral("Data Range"), record.data_range};
    return rows;
}

// A typed cell may hold a tab, which would split it in two.
QString Plain_Cell(QString cell)
{
    return cell.replace(QLatin1Char('\t'), QLatin1Char(' '));
}
} // namespace

QString Record_Text(const Calibration_Record &record)
{
    QStringList lines;
    for (const QStringList &row : Record_Rows(record))
    {
        QStringList cells;
        for (const QString &cell : row)
            cells << Plain_Cell(cell);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString Record_Html(const Calibration_Record &record)
{
    QString html = QStringLiteral("<table>\n");
    for (const QStringList &row : Record_Rows(record))
    {
        html += QStringLiteral("<tr>");
        for (const QString &cell : row)
            html += QStringLiteral("<td>") + cell.toHtmlEscaped() + QStringLiteral("</td>");
        html += QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</table>\n");
}
