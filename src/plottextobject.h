#ifndef ZENTROVA_PLOTTEXTOBJECT_H
#define ZENTROVA_PLOTTEXTOBJECT_H

#include "certificatecontent.h"

#include <QObject>
#include <QTextObjectInterface>

#include <memory>

class QTextDocument;
class TErrorPlot;

// The error plot as an object in a text document, drawn when the document
// is painted: onto a PDF's page it goes as lines, shapes and text, never as
// a picture, and at the page's own resolution.
class TPlotTextObject : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    // The object type that a document's plot characters carry.
    static constexpr int Object_Type = QTextFormat::UserObject + 1;

    // The handler of the document's plot characters, made on first use;
    // owned by the document.
    static TPlotTextObject *Of(QTextDocument *document);

    // The character that stands for the plot: width by height in the
    // document's units, its text point_size points on the page.
    static QTextCharFormat Format(const QSizeF &size, qreal point_size);

    void Set_Data(const Plot_Data &data);

    QSizeF intrinsicSize(QTextDocument *document, int position, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int position,
                    const QTextFormat &format) override;

private:
    explicit TPlotTextObject(QTextDocument *document);
    ~TPlotTextObject() override;

    Plot_Data d_data;
    // Made when the plot is first painted: a document that is never painted
    // needs no widget.
    std::unique_ptr<TErrorPlot> d_plot;
};

#endif
