#include "plottextobject.h"

#include "errorplot.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>

#include <qwt_plot_renderer.h>

namespace
{
enum Property
{
    Width = QTextFormat::UserProperty + 1,
    Height,
    Point_Size
};
} // namespace

TPlotTextObject::TPlotTextObject(QTextDocument *document) : QObject(document) {}

TPlotTextObject::~TPlotTextObject() = default;

TPlotTextObject *TPlotTextObject::Of(QTextDocument *document)
{
    auto *handler = document->findChild<TPlotTextObject *>(QString(), Qt::FindDirectChildrenOnly);
    if (!handler)
    {
        handler = new TPlotTextObject(document);
        document->documentLayout()->registerHandler(Object_Type, handler);
    }
    return handler;
}

QTextCharFormat TPlotTextObject::Format(const QSizeF &size, qreal point_size)
{
    QTextCharFormat format;
    format.setObjectType(Object_Type);
    format.setProperty(Width, size.width());
    format.setProperty(Height, size.height());
    format.setProperty(Point_Size, point_size);
    return format;
}

void TPlotTextObject::Set_Data(const Plot_Data &data)
{
    d_data = data;
    if (d_plot)
        d_plot->Set_Data(data);
}

QSizeF TPlotTextObject::intrinsicSize(QTextDocument *document, int position,
                                      const QTextFormat &format)
{
    Q_UNUSED(document)
    Q_UNUSED(position)
    return QSizeF(format.doubleProperty(Width), format.doubleProperty(Height));
}

void TPlotTextObject::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document,
                                 int position, const QTextFormat &format)
{
    Q_UNUSED(document)
    Q_UNUSED(position)
    if (!d_plot)
    {
        d_plot = std::make_unique<TErrorPlot>();
        d_plot->Set_Data(d_data);
    }
    d_plot->Set_Text_Point_Size(format.doubleProperty(Point_Size));
    QwtPlotRenderer renderer;
    // The page shows through: a draft's mark stays visible behind the plot.
    renderer.setDiscardFlags(QwtPlotRenderer::DiscardBackground |
                             QwtPlotRenderer::DiscardCanvasBackground);
    painter->save();
    renderer.render(d_plot.get(), painter, rect);
    painter->restore();
}
