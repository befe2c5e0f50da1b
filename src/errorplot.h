#ifndef ZENTROVA_ERRORPLOT_H
#define ZENTROVA_ERRORPLOT_H

#include "certificatecontent.h"

#include <qwt_plot.h>

class QwtPlotCurve;
class QwtPlotMarker;
class QwtPlotZoneItem;

// The errors against the actual temperature: as found with its fitted line,
// predicted as left, measured as left, and the tolerance band. It owns its
// curves; the record window and the certificate both draw it.
class TErrorPlot : public QwtPlot
{
    Q_OBJECT

public:
    explicit TErrorPlot(QWidget *parent = nullptr);

    void Set_Data(const Plot_Data &data);

private:
    QwtPlotCurve *d_found_curve;
    QwtPlotCurve *d_fit_curve;
    QwtPlotCurve *d_predicted_curve;
    QwtPlotCurve *d_left_curve;
    QwtPlotZoneItem *d_tolerance_zone;
    QwtPlotMarker *d_zero_marker;
};

#endif
