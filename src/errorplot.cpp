#include "errorplot.h"

#include "sample.h"

#include <qwt_legend.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_zoneitem.h>
#include <qwt_symbol.h>

namespace
{
QwtPlotCurve *New_Points_Curve(const QString &title, QwtSymbol::Style style, const QColor &colour,
                               QwtPlot *plot)
{
    auto *curve = new QwtPlotCurve(title);
    curve->setStyle(QwtPlotCurve::NoCurve);
    curve->setSymbol(new QwtSymbol(style, QBrush(colour), QPen(colour.darker()), QSize(8, 8)));
    curve->setLegendAttribute(QwtPlotCurve::LegendShowSymbol);
    curve->attach(plot);
    return curve;
}
} // namespace

TErrorPlot::TErrorPlot(QWidget *parent) : QwtPlot(parent)
{
    setCanvasBackground(Qt::white);
    setAxisTitle(QwtPlot::xBottom, tr("Actual temperature (%1)").arg(Degrees_Celsius()));
    setAxisTitle(QwtPlot::yLeft, tr("Error (%1)").arg(Degrees_Celsius()));
    insertLegend(new QwtLegend(), QwtPlot::BottomLegend);
    d_tolerance_zone = new QwtPlotZoneItem();
    d_tolerance_zone->setTitle(tr("Tolerance band"));
    d_tolerance_zone->setOrientation(Qt::Horizontal);
    d_tolerance_zone->setBrush(QColor(120, 200, 120, 60));
    d_tolerance_zone->setItemAttribute(QwtPlotItem::Legend, true);
    d_tolerance_zone->attach(this);
    d_zero_marker = new QwtPlotMarker(tr("Zero"));
    d_zero_marker->setLineStyle(QwtPlotMarker::HLine);
    d_zero_marker->setLinePen(QPen(Qt::gray, 0, Qt::DashLine));
    d_zero_marker->setYValue(0.0);
    d_zero_marker->attach(this);
    d_found_curve = New_Points_Curve(tr("As found"), QwtSymbol::Ellipse, QColor(200, 60, 40), this);
    d_fit_curve = new QwtPlotCurve(tr("Fitted error"));
    d_fit_curve->setPen(QPen(QColor(200, 60, 40), 1));
    d_fit_curve->attach(this);
    d_predicted_curve = New_Points_Curve(tr("Predicted as left, not measured"), QwtSymbol::Triangle,
                                         QColor(40, 90, 200), this);
    d_left_curve =
        New_Points_Curve(tr("Measured as left"), QwtSymbol::Rect, QColor(30, 140, 60), this);
}

void TErrorPlot::Set_Data(const Plot_Data &data)
{
    d_found_curve->setSamples(data.found);
    d_fit_curve->setSamples(data.fit);
    d_predicted_curve->setSamples(data.predicted);
    d_left_curve->setSamples(data.left);
    d_tolerance_zone->setVisible(data.has_tolerance);
    if (data.has_tolerance)
        d_tolerance_zone->setInterval(-data.tolerance, data.tolerance);
    replot();
}
