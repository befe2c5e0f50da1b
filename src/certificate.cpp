#include "certificate.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

QByteArray Certificate_Json(const Certificate_Content &content)
{
    const auto rows = [](const QList<QStringList> &table)
    {
        QJsonArray array;
        for (const QStringList &row : table)
            array.append(QJsonArray::fromStringList(row));
        return array;
    };
    QJsonArray identification;
    for (const auto &[label, value] : content.identification)
        identification.append(QJsonArray{label, value});
    const QJsonObject object{
        {QStringLiteral("number"), content.number},
        {QStringLiteral("identification"), identification},
        {QStringLiteral("method"), content.method},
        {QStringLiteral("existing_code1"), content.existing_code1},
        {QStringLiteral("existing_code2"), content.existing_code2},
        {QStringLiteral("new_code1"), content.new_code1},
        {QStringLiteral("new_code2"), content.new_code2},
        {QStringLiteral("as_found_header"), QJsonArray::fromStringList(content.as_found_header)},
        {QStringLiteral("as_found_rows"), rows(content.as_found_rows)},
        {QStringLiteral("as_left_title"), content.as_left_title},
        {QStringLiteral("as_left_header"), QJsonArray::fromStringList(content.as_left_header)},
        {QStringLiteral("as_left_rows"), rows(content.as_left_rows)},
        {QStringLiteral("uncertainty"), content.uncertainty},
        {QStringLiteral("decision_rule"), content.decision_rule},
        {QStringLiteral("verdict"), content.verdict},
        {QStringLiteral("technician"), content.technician}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool Certificate_From_Json(const QByteArray &json, Certificate_Content *content)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return false;
    const QJsonObject object = document.object();
    const auto text = [&](const char *key) { return object.value(QLatin1String(key)).toString(); };
    const auto list = [](const QJsonValue &value)
    {
        QStringList strings;
        for (const QJsonValue &item : value.toArray())
            strings << item.toString();
        return strings;
    };
    const auto rows = [&](const char *key)
    {
        QList<QStringList> table;
        for (const QJsonValue &row : object.value(QLatin1String(key)).toArray())
            table << list(row);
        return table;
    };
    content->number = text("number");
    content->identification.clear();
    for (const QJsonValue &pair : object.value(QStringLiteral("identification")).toArray())
        content->identification << qMakePair(pair.toArray().at(0).toString(),
                                             pair.toArray().at(1).toString());
    content->method = text("method");
    content->existing_code1 = text("existing_code1");
    content->existing_code2 = text("existing_code2");
    content->new_code1 = text("new_code1");
    content->new_code2 = text("new_code2");
    content->as_found_header = list(object.value(QStringLiteral("as_found_header")));
    content->as_found_rows = rows("as_found_rows");
    content->as_left_title = text("as_left_title");
    content->as_left_header = list(object.value(QStringLiteral("as_left_header")));
    content->as_left_rows = rows("as_left_rows");
    content->uncertainty = text("uncertainty");
    content->decision_rule = text("decision_rule");
    content->verdict = text("verdict");
    content->technician = text("technician");
    return true;
}

QString Certificate_Html(const Certificate_Content &content, int plot_width)
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
                    .arg(plot_width > 0 ? plot_width : content.plot.width());
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

void Fill_Certificate_Document(QTextDocument *document, const Certificate_Content &content,
                               int plot_width)
{
    document->addResource(QTextDocument::ImageResource, plot_url, content.plot);
    document->setHtml(Certificate_Html(content, std::max(1, plot_width)));
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
    Fill_Certificate_Document(&document, content,
                              qRound(page.width() * 0.55 * 96.0 / device->logicalDpiX()));
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
