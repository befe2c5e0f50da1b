#include "certificate.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

namespace
{
const char title[] = "Calibration Certificate";
const QUrl plot_url(QStringLiteral("certificate://plot"));

QString Tr(const char *text)
{
    return QCoreApplication::translate("Certificate", text);
}

QString Table_Html(const QStringList &header, const QList<QStringList> &rows)
{
    QString html = QStringLiteral(
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\"><tr>");
    for (const QString &cell : header)
        html += QStringLiteral("<th>") + cell.toHtmlEscaped() + QStringLiteral("</th>");
    html += QStringLiteral("</tr>");
    for (const QStringList &row : rows)
    {
        html += QStringLiteral("<tr>");
        for (const QString &cell : row)
            html += QStringLiteral("<td align=\"center\">") + cell.toHtmlEscaped() +
                    QStringLiteral("</td>");
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString Paragraph(const QString &text)
{
    return QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

QString Heading(const QString &text)
{
    return QStringLiteral("<p style=\"margin-top:8px; font-weight:bold; font-size:10pt\">") +
           text.toHtmlEscaped() + QStringLiteral("</p>");
}
} // namespace

QString Certificate_Html(const Certificate_Content &content)
{
    QString html = QStringLiteral("<html><body style=\"font-size:8pt\">");
    html += Heading(Tr("Item calibrated"));
    // Two fields a line keep the page short.
    QList<QStringList> identification;
    for (int index = 0; index < content.identification.size(); index += 2)
    {
        QStringList row{content.identification.at(index).first,
                        content.identification.at(index).second};
        if (index + 1 < content.identification.size())
            row << content.identification.at(index + 1).first
                << content.identification.at(index + 1).second;
        identification << row;
    }
    html += Table_Html({Tr("Field"), Tr("Value"), Tr("Field"), Tr("Value")}, identification);
    html += Heading(Tr("Method"));
    html += Paragraph(content.method);
    html += Heading(Tr("Calibration codes"));
    html += Table_Html({Tr("Code"), Tr("As found (existing)"), Tr("As left (new)")},
                       {{Tr("Code 1 (slope)"), content.existing_code1, content.new_code1},
                        {Tr("Code 2 (offset)"), content.existing_code2, content.new_code2}});
    html += Heading(Tr("Results as found, before adjustment"));
    html += Table_Html(content.as_found_header, content.as_found_rows);
    html += Heading(content.as_left_title);
    html += Table_Html(content.as_left_header, content.as_left_rows);
    if (!content.plot.isNull())
    {
        html += Heading(Tr("Error against actual temperature"));
        html += QStringLiteral("<p align=\"center\"><img src=\"%1\" width=\"%2\"></p>")
                    .arg(plot_url.toString())
                    .arg(content.plot.width());
    }
    html += Heading(Tr("Measurement uncertainty"));
    html += Paragraph(content.uncertainty);
    html += Heading(Tr("Decision rule and verdict"));
    html += Paragraph(content.decision_rule);
    html += Paragraph(content.verdict);
    html += Paragraph(Tr("The results relate only to the item calibrated."));
    html += Paragraph(Tr("Calibrated by: %1").arg(content.technician));
    html += QStringLiteral("<p align=\"center\">") +
            Tr("End of certificate %1").arg(content.number).toHtmlEscaped() +
            QStringLiteral("</p>");
    return html + QStringLiteral("</body></html>");
}

bool Paint_Certificate(QPagedPaintDevice *device, const Certificate_Content &content)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const QRectF page(0, 0, device->width(), device->height());
    QFont header_font(QStringLiteral("DejaVu Sans"));
    header_font.setPointSizeF(10);
    const qreal header_height = QFontMetricsF(header_font, device).height() * 3;

    QTextDocument document;
    document.documentLayout()->setPaintDevice(device);
    QFont body_font(QStringLiteral("DejaVu Sans"));
    body_font.setPointSizeF(8);
    // Plain letters, no ligatures: the text is selected, searched and read
    // back as it was written.
    body_font.setStyleStrategy(QFont::PreferNoShaping);
    header_font.setStyleStrategy(QFont::PreferNoShaping);
    document.setDefaultFont(body_font);
    // The plot takes 55 % of the text's width; the document sizes images in
    // pixels of 96 to the inch, whatever the device's resolution.
    document.addResource(QTextDocument::ImageResource, plot_url, content.plot);
    Certificate_Content sized = content;
    if (!content.plot.isNull())
        sized.plot = content.plot.scaledToWidth(
            std::max(1, qRound(page.width() * 0.55 * 96.0 / device->logicalDpiX())));
    document.setHtml(Certificate_Html(sized));
    const QSizeF body(page.width(), page.height() - header_height);
    document.setPageSize(body);
    const int pages = document.pageCount();

    for (int index = 0; index < pages; ++index)
    {
        if (index > 0)
            device->newPage();
        // Every page carries the title, the number and "Page x of y".
        painter.setFont(header_font);
        const QRectF header(0, 0, page.width(), header_height * 0.8);
        painter.drawText(header, Qt::AlignLeft | Qt::AlignTop, QString::fromLatin1(title));
        painter.drawText(header, Qt::AlignRight | Qt::AlignTop,
                         Tr("Certificate %1").arg(content.number));
        painter.drawText(header, Qt::AlignRight | Qt::AlignBottom,
                         Tr("Page %1 of %2").arg(index + 1).arg(pages));
        painter.drawLine(QPointF(0, header_height * 0.85),
                         QPointF(page.width(), header_height * 0.85));

        painter.save();
        painter.translate(0, header_height - index * body.height());
        document.drawContents(&painter, QRectF(QPointF(0, index * body.height()), body));
        painter.restore();
    }
    return painter.end();
}

QString Write_Certificate_Pdf(const QString &path, const Certificate_Content &content)
{
    // Written beside the file and put in its place only when whole: a
    // failed save never leaves half a certificate, nor spoils an old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Tr("%1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(20, 15, 20, 15), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(Tr("Calibration Certificate %1").arg(content.number));
        writer.setCreator(QStringLiteral("Zentrova Calibrator"));
        if (!Paint_Certificate(&writer, content))
        {
            file.cancelWriting();
            return Tr("%1 cannot be written: the page could not be drawn")
                .arg(QDir::toNativeSeparators(path));
        }
    }
    if (!file.commit())
        return Tr("%1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    return QString();
}
