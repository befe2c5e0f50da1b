#include "errorplot.h"

#include "numbertext.h"
#include "sample.h"

#include <QPainter>
#include <QPen>

#include <qwt_graphic.h>
#include <qwt_legend.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_zoneitem.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_engine.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>

#include <algorithm>
#include <cmath>

namespace
{
// Room left between the outermost point (or the band's edge) and the frame,
// as a share of what the axis spans: a symbol is never cut in half.
constexpr double margin_share = 0.08;
// The narrowest spans shown, so that one point, or errors that are all
// equal, still get a readable scale around them.
constexpr double narrowest_actual_span = 2.0;
constexpr double narrowest_error_span = 0.02;
constexpr int tick_count = 8;
constexpr int symbol_size = 7;

const QColor found_colour(192, 57, 43);
const QColor predicted_colour(41, 98, 180);
const QColor left_colour(20, 40, 110);
// Opaque colours only: PDF/A-1 has no transparency, and a band that hid
// the grid behind it would look different on paper and on screen.
const QColor band_fill(221, 238, 221);
const QColor band_edge(110, 170, 110);
const QColor grid_colour(214, 214, 214);

// The band with a swatch of its own in the legend; Qwt's zone item has none.
class Tolerance_Band : public QwtPlotZoneItem
{
public:
    Tolerance_Band() { setLegendIconSize(QSize(14, 10)); }

    QwtGraphic legendIcon(int index, const QSizeF &size) const override
    {
        Q_UNUSED(index)
        QwtGraphic icon;
        if (size.isEmpty())
            return icon;
        icon.setDefaultSize(size);
        icon.setRenderHint(QwtGraphic::RenderPensUnscaled, true);
        QPainter painter(&icon);
        painter.setPen(pen());
        painter.setBrush(brush());
        painter.drawRect(QRectF(QPointF(0, 0), size).adjusted(0.5, 0.5, -0.5, -0.5));
        return icon;
    }
};

QwtPlotCurve *New_Points(const QString &title, QwtSymbol::Style style, const QBrush &fill,
                         const QColor &edge)
{
    auto *curve = new QwtPlotCurve(title);
    curve->setStyle(QwtPlotCurve::NoCurve);
    curve->setSymbol(new QwtSymbol(style, fill, QPen(edge, 1.2), QSize(symbol_size, symbol_size)));
    curve->setLegendAttribute(QwtPlotCurve::LegendShowSymbol);
    curve->setRenderHint(QwtPlotItem::RenderAntialiased);
    return curve;
}

// Only points that can be drawn: a value that is not a number has no place
// on an axis.
QVector<QPointF> Drawable(const QVector<QPointF> &points)
{
    QVector<QPointF> drawable;
    for (const QPointF &point : points)
        if (std::isfinite(point.x()) && std::isfinite(point.y()))
            drawable << point;
    return drawable;
}

// The interval from low to high, widened to the narrowest span around its
// middle and then by the margin on either side.
QwtInterval Padded(double low, double high, double narrowest)
{
    if (high - low < narrowest)
    {
        const double middle = (low + high) / 2.0;
        low = middle - narrowest / 2.0;
        high = middle + narrowest / 2.0;
    }
    const double margin = (high - low) * margin_share;
    return QwtInterval(low - margin, high + margin);
}

template <typename Value> void Each_Point(const Plot_Data &data, Value value)
{
    for (const QVector<QPointF> *points : {&data.found, &data.fit, &data.predicted, &data.left})
        for (const QPointF &point : Drawable(*points))
            value(point);
}
} // namespace

TErrorPlot::TErrorPlot(QWidget *parent) : QwtPlot(parent)
{
    setAccessibleName(tr("Error against actual temperature"));
    setCanvasBackground(Qt::white);
    if (auto *frame = qobject_cast<QwtPlotCanvas *>(canvas()))
    {
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        frame->setLineWidth(1);
    }
    setAxisTitle(xBottom, tr("Actual temperature (%1)").arg(Degrees_Celsius()));
    setAxisTitle(yLeft, tr("Error (%1)").arg(Degrees_Celsius()));
    // The canvas's frame is the axes' line: the ticks stand on it.
    plotLayout()->setAlignCanvasToScales(true);
    for (int axis : {xBottom, yLeft})
    {
        axisWidget(axis)->setMargin(0);
        axisScaleDraw(axis)->enableComponent(QwtAbstractScaleDraw::Backbone, false);
    }
    insertLegend(new QwtLegend(), BottomLegend);
    setMinimumSize(360, 260);

    // Drawn from the back: grid, band, zero line, the fitted line, points.
    d_grid = new QwtPlotGrid();
    d_grid->setMajorPen(QPen(grid_colour, 0, Qt::SolidLine));
    d_grid->setZ(1);
    d_grid->attach(this);

    d_band = new Tolerance_Band();
    d_band->setTitle(tr("Tolerance band"));
    d_band->setOrientation(Qt::Horizontal);
    d_band->setBrush(band_fill);
    d_band->setPen(QPen(band_edge, 0, Qt::SolidLine));
    d_band->setZ(0);
    d_band->attach(this);

    d_zero = new QwtPlotMarker();
    d_zero->setLineStyle(QwtPlotMarker::HLine);
    d_zero->setLinePen(QPen(Qt::darkGray, 0, Qt::DashLine));
    d_zero->setYValue(0.0);
    d_zero->setZ(2);
    d_zero->attach(this);

    d_fit = new QwtPlotCurve(tr("As-found fitted line"));
    d_fit->setPen(QPen(found_colour, 1.0, Qt::DashLine));
    d_fit->setLegendAttribute(QwtPlotCurve::LegendShowLine);
    d_fit->setRenderHint(QwtPlotItem::RenderAntialiased);
    d_fit->setZ(3);
    d_fit->attach(this);

    d_found = New_Points(tr("As found"), QwtSymbol::Ellipse, found_colour, found_colour.darker());
    d_predicted = New_Points(tr("Predicted as left (not measured)"), QwtSymbol::Triangle, Qt::white,
                             predicted_colour);
    d_left = New_Points(tr("Measured as left"), QwtSymbol::Rect, left_colour, left_colour);
    for (QwtPlotCurve *curve : {d_found, d_predicted, d_left})
    {
        curve->setZ(4);
        curve->attach(this);
    }
    Set_Data(Plot_Data());
}

TErrorPlot::~TErrorPlot() = default;

void TErrorPlot::Set_Text_Point_Size(qreal point_size)
{
    QFont text = font();
    text.setPointSizeF(point_size);
    // Letters as written, so that a PDF gives them back as they were written.
    text.setStyleStrategy(QFont::PreferNoShaping);
    QFont title = text;
    title.setPointSizeF(point_size + 1.0);
    for (int axis : {xBottom, yLeft})
    {
        setAxisFont(axis, text);
        QwtText axis_title = axisTitle(axis);
        axis_title.setFont(title);
        setAxisTitle(axis, axis_title);
    }
    if (QwtAbstractLegend *legend_widget = legend())
        legend_widget->setFont(text);
    updateLayout();
}

void TErrorPlot::Set_Data(const Plot_Data &data)
{
    d_data = data;
    const bool band = data.has_tolerance && std::isfinite(data.tolerance);
    const std::pair<QwtPlotCurve *, QVector<QPointF>> series[] = {
        {d_found, Drawable(data.found)},
        {d_fit, Drawable(data.fit)},
        {d_predicted, Drawable(data.predicted)},
        {d_left, Drawable(data.left)}};
    // The legend lists its entries in the order they are switched on: all
    // off first (Qwt drops an entry only when asked), then on again in the
    // order of the series above, the band last.
    for (QwtPlotItem *item :
         std::initializer_list<QwtPlotItem *>{d_found, d_fit, d_predicted, d_left, d_band})
    {
        item->setItemAttribute(QwtPlotItem::Legend, false);
        updateLegend(item);
    }
    for (const auto &[curve, points] : series)
    {
        curve->setSamples(points);
        const bool drawn = curve == d_fit ? points.size() >= 2 : !points.isEmpty();
        curve->setVisible(drawn);
        curve->setItemAttribute(QwtPlotItem::Legend, drawn);
    }
    if (band)
        d_band->setInterval(-std::fabs(data.tolerance), std::fabs(data.tolerance));
    d_band->setVisible(band);
    d_band->setItemAttribute(QwtPlotItem::Legend, band);

    Set_Axis(xBottom, Actual_Range(data));
    Set_Axis(yLeft, Error_Range(data));
    setAccessibleDescription(Description(data));
    replot();
}

void TErrorPlot::Set_Axis(int axis, const QwtInterval &range)
{
    // The range is widened to whole half steps of the ticks: never
    // narrowed, and never by a whole step of empty room at either end.
    double low = range.minValue();
    double high = range.maxValue();
    double step = 0.0;
    QwtScaleEngine *engine = axisScaleEngine(axis);
    engine->autoScale(tick_count, low, high, step);
    if (step > 0.0)
    {
        const double half = step / 2.0;
        low = std::floor(range.minValue() / half + 1e-9) * half;
        high = std::ceil(range.maxValue() / half - 1e-9) * half;
    }
    setAxisScaleDiv(axis, engine->divideScale(low, high, tick_count, 5, step));
}

QwtInterval TErrorPlot::Actual_Range(const Plot_Data &data)
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    Each_Point(data,
               [&](const QPointF &point)
               {
                   low = std::min(low, point.x());
                   high = std::max(high, point.x());
               });
    // Nothing to show yet: the temperatures a bench usually sees.
    if (low > high)
        return QwtInterval(0.0, 40.0);
    return Padded(low, high, narrowest_actual_span);
}

QwtInterval TErrorPlot::Error_Range(const Plot_Data &data)
{
    // Zero is always in view, and with a tolerance the whole band.
    double low = 0.0;
    double high = 0.0;
    if (data.has_tolerance && std::isfinite(data.tolerance))
    {
        low = -std::fabs(data.tolerance);
        high = std::fabs(data.tolerance);
    }
    Each_Point(data,
               [&](const QPointF &point)
               {
                   low = std::min(low, point.y());
                   high = std::max(high, point.y());
               });
    return Padded(low, high, narrowest_error_span);
}

QString TErrorPlot::Description(const Plot_Data &data)
{
    const auto degrees = [](double value)
    { return Number_Text(value, 3) + QLatin1Char(' ') + Degrees_Celsius(); };
    double low_error = std::numeric_limits<double>::infinity();
    double high_error = -low_error;
    double low_actual = low_error;
    double high_actual = high_error;
    for (const QVector<QPointF> *points : {&data.found, &data.predicted, &data.left})
        for (const QPointF &point : Drawable(*points))
        {
            low_error = std::min(low_error, point.y());
            high_error = std::max(high_error, point.y());
            low_actual = std::min(low_actual, point.x());
            high_actual = std::max(high_actual, point.x());
        }
    QString description = low_error > high_error
                              ? tr("No points.")
                              : tr("Errors from %1 to %2 over actual temperatures from %3 to %4.")
                                    .arg(degrees(low_error), degrees(high_error),
                                         degrees(low_actual), degrees(high_actual));
    if (data.has_tolerance && std::isfinite(data.tolerance))
        description +=
            QLatin1Char(' ') + tr("Tolerance plus or minus %1.").arg(degrees(data.tolerance));
    return description;
}
