#ifndef ZENTROVA_ERRORPLOT_H
#define ZENTROVA_ERRORPLOT_H

#include "certificatecontent.h"

#include <qwt_interval.h>
#include <qwt_plot.h>

class QwtPlotCurve;
class QwtPlotGrid;
class QwtPlotMarker;
class QwtPlotZoneItem;

// The errors of one calibration against the actual temperature: the
// as-found points with their fitted line, the predicted and the measured
// as-left points, and the tolerance band around zero. The record window
// shows it; the certificate renders one onto its page as vectors.
class TErrorPlot : public QwtPlot
{
    Q_OBJECT

public:
    explicit TErrorPlot(QWidget *parent = nullptr);
    ~TErrorPlot() override;

    // Shows these points, and only these: a series without a point, and the
    // band without a tolerance, are neither drawn nor named in the legend.
    // The axes take in the whole band and every point, with room to spare,
    // so that nothing is cut off at the frame.
    void Set_Data(const Plot_Data &data);
    const Plot_Data &Data() const { return d_data; }

    // The size of the tick labels and the legend; the axis titles are a
    // point larger. On paper it is the printed size.
    void Set_Text_Point_Size(qreal point_size);

    // The ranges that the axes show for a plot's data, before the ticks
    // round them outwards.
    static QwtInterval Actual_Range(const Plot_Data &data);
    static QwtInterval Error_Range(const Plot_Data &data);

    // The ranges in words, for whoever cannot see the plot.
    static QString Description(const Plot_Data &data);

private:
    void Set_Axis(int axis, const QwtInterval &range);

    Plot_Data d_data;
    QwtPlotGrid *d_grid;
    QwtPlotZoneItem *d_band;
    QwtPlotMarker *d_zero;
    QwtPlotCurve *d_found;
    QwtPlotCurve *d_fit;
    QwtPlotCurve *d_predicted;
    QwtPlotCurve *d_left;
};

#endif
