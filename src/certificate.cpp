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

QString Certificate_Html(const Certificate_Content &content, int plot_width)
{
    QString html = QStringLiteral("<html><body style=\"font-size:8pt\">");
    for (const Certificate_Section &section : content.sections)
    {
        if (!section.heading.isEmpty())
            html += Heading(section.heading);
        for (const QString &text : section.before)
            html += Paragraph(text);
        if (!section.table.header.isEmpty())
            html += Table_Html(section.table.header, section.table.rows);
        if (section.plot && plot_width > 0)
            html += QStringLiteral("<p align=\"center\"><img src=\"%1\" width=\"%2\"></p>")
                        .arg(plot_url.toString())
                        .arg(plot_width);
        for (const QString &text : section.after)
            html += Paragraph(text);
    }
    html += QStringLiteral("<p align=\"center\">") + content.closing.toHtmlEscaped() +
            QStringLiteral("</p>");
    return html + QStringLiteral("</body></html>");
}

void Fill_Certificate_Document(QTextDocument *document, const Certificate_Content &content,
                               int plot_width, const QImage &plot_picture)
{
    document->addResource(QTextDocument::ImageResource, plot_url, plot_picture);
    document->setHtml(
        Certificate_Html(content, plot_picture.isNull() ? 0 : std::max(1, plot_width)));
}

bool Paint_Certificate(QPagedPaintDevice *device, const Certificate_Content &content,
                       const QImage &plot_picture)
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
    Fill_Certificate_Document(&document, content,
                              qRound(page.width() * 0.55 * 96.0 / device->logicalDpiX()),
                              plot_picture);
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
        painter.drawText(header, Qt::AlignLeft | Qt::AlignTop, content.title);
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

QString Write_Certificate_Pdf(const QString &path, const Certificate_Content &content,
                              const QImage &plot_picture)
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
        if (!Paint_Certificate(&writer, content, plot_picture))
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
