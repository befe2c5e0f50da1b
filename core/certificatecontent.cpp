#include "certificatecontent.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace
{
QString Tr(const char *text)
{
    return QCoreApplication::translate("Certificate", text);
}

QJsonArray Rows_Json(const QList<QStringList> &rows)
{
    QJsonArray array;
    for (const QStringList &row : rows)
        array.append(QJsonArray::fromStringList(row));
    return array;
}

QStringList Texts(const QJsonValue &value)
{
    QStringList texts;
    for (const QJsonValue &item : value.toArray())
        texts << item.toString();
    return texts;
}

QList<QStringList> Rows(const QJsonValue &value)
{
    QList<QStringList> rows;
    for (const QJsonValue &row : value.toArray())
        rows << Texts(row);
    return rows;
}

QJsonArray Points_Json(const QVector<QPointF> &points)
{
    QJsonArray array;
    for (const QPointF &point : points)
        array.append(QJsonArray{point.x(), point.y()});
    return array;
}

QVector<QPointF> Points(const QJsonValue &value)
{
    QVector<QPointF> points;
    for (const QJsonValue &point : value.toArray())
        points << QPointF(point.toArray().at(0).toDouble(), point.toArray().at(1).toDouble());
    return points;
}

// A content stored before the certificate was made of sections: its fields
// become the sections it was printed with.
void Read_Earlier_Content(const QJsonObject &object, Certificate_Content *content)
{
    const auto text = [&](const char *key) { return object.value(QLatin1String(key)).toString(); };
    const auto paragraph = [](const QString &words)
    { return words.isEmpty() ? QStringList() : QStringList{words}; };
    content->title = Tr("Calibration Certificate");

    Certificate_Section item;
    item.heading = Tr("Item calibrated");
    item.table.header = QStringList{Tr("Field"), Tr("Value"), Tr("Field"), Tr("Value")};
    const QJsonArray identification = object.value(QStringLiteral("identification")).toArray();
    for (int index = 0; index < identification.size(); index += 2)
    {
        QStringList row = Texts(identification.at(index));
        if (index + 1 < identification.size())
            row << Texts(identification.at(index + 1));
        item.table.rows << row;
    }
    content->sections << item;

    // A section of paragraphs, and one of a table kept under two keys.
    const auto paragraphs = [&](const QString &heading, const QStringList &before)
    {
        Certificate_Section section;
        section.heading = heading;
        section.before = before;
        return section;
    };
    const auto table = [&](const QString &heading, const char *header, const char *rows)
    {
        Certificate_Section section;
        section.heading = heading;
        section.table.header = Texts(object.value(QLatin1String(header)));
        section.table.rows = Rows(object.value(QLatin1String(rows)));
        return section;
    };
    content->sections << paragraphs(Tr("Method"), paragraph(text("method")));

    Certificate_Section codes;
    codes.heading = Tr("Calibration codes");
    codes.table.header = QStringList{Tr("Code"), Tr("As found (existing)"), Tr("As left (new)")};
    codes.table.rows << QStringList{Tr("Code 1 (slope)"), text("existing_code1"), text("new_code1")}
                     << QStringList{Tr("Code 2 (offset)"), text("existing_code2"),
                                    text("new_code2")};
    content->sections << codes;
    content->sections << table(Tr("Results as found, before adjustment"), "as_found_header",
                               "as_found_rows");
    Certificate_Section left = table(text("as_left_title"), "as_left_header", "as_left_rows");
    // Its plot was a picture, which the history keeps apart.
    left.plot = true;
    content->sections << left;
    content->sections << paragraphs(Tr("Measurement uncertainty"), paragraph(text("uncertainty")));

    Certificate_Section verdict;
    verdict.heading = Tr("Decision rule and verdict");
    verdict.before = paragraph(text("decision_rule")) + paragraph(text("verdict")) +
                     QStringList{Tr("The results relate only to the item calibrated."),
                                 Tr("Calibrated by: %1").arg(text("technician"))};
    content->sections << verdict;
    content->closing = Tr("End of certificate");
}
} // namespace

QByteArray Certificate_Json(const Certificate_Content &content)
{
    QJsonArray sections;
    for (const Certificate_Section &section : content.sections)
        sections.append(QJsonObject{
            {QStringLiteral("heading"), section.heading},
            {QStringLiteral("before"), QJsonArray::fromStringList(section.before)},
            {QStringLiteral("header"), QJsonArray::fromStringList(section.table.header)},
            {QStringLiteral("rows"), Rows_Json(section.table.rows)},
            {QStringLiteral("plot"), section.plot},
            {QStringLiteral("after"), QJsonArray::fromStringList(section.after)}});
    const Plot_Data &plot = content.plot;
    const QJsonObject plot_object{{QStringLiteral("found"), Points_Json(plot.found)},
                                  {QStringLiteral("fit"), Points_Json(plot.fit)},
                                  {QStringLiteral("predicted"), Points_Json(plot.predicted)},
                                  {QStringLiteral("left"), Points_Json(plot.left)},
                                  {QStringLiteral("has_tolerance"), plot.has_tolerance},
                                  {QStringLiteral("tolerance"), plot.tolerance}};
    const QJsonObject object{{QStringLiteral("format"), 2},
                             {QStringLiteral("title"), content.title},
                             {QStringLiteral("number"), content.number},
                             {QStringLiteral("draft"), content.draft},
                             {QStringLiteral("laboratory"), content.laboratory},
                             {QStringLiteral("sections"), sections},
                             {QStringLiteral("plot"), plot_object},
                             {QStringLiteral("closing"), content.closing}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool Certificate_From_Json(const QByteArray &json, Certificate_Content *content)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return false;
    const QJsonObject object = document.object();
    *content = Certificate_Content();
    content->number = object.value(QStringLiteral("number")).toString();
    if (object.value(QStringLiteral("format")).toInt() < 2)
    {
        Read_Earlier_Content(object, content);
        return true;
    }
    content->title = object.value(QStringLiteral("title")).toString();
    content->draft = object.value(QStringLiteral("draft")).toBool();
    content->laboratory = object.value(QStringLiteral("laboratory")).toString();
    for (const QJsonValue &value : object.value(QStringLiteral("sections")).toArray())
    {
        const QJsonObject part = value.toObject();
        Certificate_Section section;
        section.heading = part.value(QStringLiteral("heading")).toString();
        section.before = Texts(part.value(QStringLiteral("before")));
        section.table.header = Texts(part.value(QStringLiteral("header")));
        section.table.rows = Rows(part.value(QStringLiteral("rows")));
        section.plot = part.value(QStringLiteral("plot")).toBool();
        section.after = Texts(part.value(QStringLiteral("after")));
        content->sections << section;
    }
    const QJsonObject plot = object.value(QStringLiteral("plot")).toObject();
    content->plot.found = Points(plot.value(QStringLiteral("found")));
    content->plot.fit = Points(plot.value(QStringLiteral("fit")));
    content->plot.predicted = Points(plot.value(QStringLiteral("predicted")));
    content->plot.left = Points(plot.value(QStringLiteral("left")));
    content->plot.has_tolerance = plot.value(QStringLiteral("has_tolerance")).toBool();
    content->plot.tolerance = plot.value(QStringLiteral("tolerance")).toDouble();
    content->closing = object.value(QStringLiteral("closing")).toString();
    return true;
}
