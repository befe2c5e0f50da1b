#include "errorplot.h"

#include <QLayout>
#include <QtTest>

#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_plot_canvas.h>
#include <qwt_scale_div.h>
#include <qwt_scale_map.h>

#include <cmath>

Q_DECLARE_METATYPE(Plot_Data)

// The plot of the errors against the actual temperature, as the record
// window shows it and the certificate prints it.
class TestErrorPlot : public QObject
{
    Q_OBJECT

private slots:
    void axes_show_the_band_and_every_point_data();
    void axes_show_the_band_and_every_point();
    void legend_lists_only_what_is_drawn_data();
    void legend_lists_only_what_is_drawn();
    void description_data();
    void description();
};

namespace
{
using Points = QVector<QPointF>;

Plot_Data Data(const Points &found, const Points &fit, const Points &predicted, const Points &left,
               double tolerance)
{
    Plot_Data data;
    data.found = found;
    data.fit = fit;
    data.predicted = predicted;
    data.left = left;
    data.has_tolerance = tolerance > 0;
    data.tolerance = tolerance;
    return data;
}

// The texts of the legend's entries, in the order shown.
QStringList Legend_Titles(const TErrorPlot &plot, bool *every_entry_has_a_swatch)
{
    *every_entry_has_a_swatch = true;
    QStringList titles;
    const auto *legend = qobject_cast<const QwtLegend *>(plot.legend());
    if (!legend)
        return titles;
    const QLayout *layout = legend->contentsWidget()->layout();
    for (int index = 0; index < layout->count(); ++index)
    {
        const auto *label = qobject_cast<const QwtLegendLabel *>(layout->itemAt(index)->widget());
        if (!label)
            continue;
        titles << label->text().text();
        // A swatch that draws something: not a null or a fully transparent picture.
        const QImage swatch = label->icon().toImage();
        bool drawn = false;
        for (int y = 0; y < swatch.height() && !drawn; ++y)
            for (int x = 0; x < swatch.width() && !drawn; ++x)
                drawn = qAlpha(swatch.pixel(x, y)) > 0;
        *every_entry_has_a_swatch = *every_entry_has_a_swatch && drawn;
    }
    return titles;
}
} // namespace

void TestErrorPlot::axes_show_the_band_and_every_point_data()
{
    QTest::addColumn<Plot_Data>("data");
    const Points three{{15.0, 0.2}, {20.0, 0.1}, {25.0, 0.05}};
    const Points line{{15.0, 0.1917}, {25.0, 0.0417}};
    const Points small{{15.0, 0.008}, {20.0, -0.017}, {25.0, 0.008}};
    QTest::newRow("errors above a narrow band (the band's lower edge was cut off)")
        << Data(three, line, small, {}, 0.05);
    QTest::newRow("band wider than every error") << Data(small, {}, {}, {}, 0.1);
    QTest::newRow("errors far outside the band")
        << Data({{-20.0, -1.5}, {0.0, -0.4}, {50.0, 2.25}}, {}, {}, {}, 0.1);
    QTest::newRow("no tolerance: the points and zero")
        << Data({{100.0, 0.31}, {150.0, 0.42}}, {}, {}, {}, 0.0);
    QTest::newRow("one point") << Data({{37.0, -0.004}}, {}, {}, {}, 0.0);
    QTest::newRow("measured as left only") << Data({}, {}, {}, {{18.5, 0.03}, {18.5, 0.03}}, 0.2);
    QTest::newRow("a point that is not a number is left out")
        << Data({{15.0, 0.02}, {20.0, std::nan("")}, {qInf(), 0.5}}, {}, {}, {}, 0.05);
    QTest::newRow("nothing yet") << Data({}, {}, {}, {}, 0.0);
}

void TestErrorPlot::axes_show_the_band_and_every_point()
{
    QFETCH(Plot_Data, data);
    TErrorPlot plot;
    plot.Set_Data(data);
    plot.resize(plot.minimumSize());
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.replot();

    const QwtScaleDiv x_scale = plot.axisScaleDiv(QwtPlot::xBottom);
    const QwtScaleDiv y_scale = plot.axisScaleDiv(QwtPlot::yLeft);
    QVERIFY(std::isfinite(x_scale.lowerBound()) && std::isfinite(x_scale.upperBound()));
    QVERIFY(std::isfinite(y_scale.lowerBound()) && std::isfinite(y_scale.upperBound()));
    QVERIFY(x_scale.upperBound() - x_scale.lowerBound() >= 1.0);
    QVERIFY(y_scale.upperBound() - y_scale.lowerBound() > 0.0);

    // Zero, and the whole band, in view.
    QVERIFY(y_scale.lowerBound() < 0.0 && y_scale.upperBound() > 0.0);
    if (data.has_tolerance)
    {
        QVERIFY2(y_scale.lowerBound() <= -data.tolerance,
                 qPrintable(QString::number(y_scale.lowerBound())));
        QVERIFY2(y_scale.upperBound() >= data.tolerance,
                 qPrintable(QString::number(y_scale.upperBound())));
    }

    // Every point's symbol whole inside the frame, with room to spare.
    const QwtScaleMap x_map = plot.canvasMap(QwtPlot::xBottom);
    const QwtScaleMap y_map = plot.canvasMap(QwtPlot::yLeft);
    const QRectF canvas = plot.canvas()->contentsRect();
    QVERIFY(canvas.width() > 100 && canvas.height() > 100);
    constexpr double room = 6.0; // half a symbol and its pen, and a little more
    for (const Points *points : {&data.found, &data.fit, &data.predicted, &data.left})
        for (const QPointF &point : *points)
        {
            if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
                continue;
            const QPointF pixel(x_map.transform(point.x()), y_map.transform(point.y()));
            QVERIFY2(canvas.adjusted(room, room, -room, -room).contains(pixel),
                     qPrintable(QStringLiteral("(%1, %2) at (%3, %4) in %5 x %6")
                                    .arg(point.x())
                                    .arg(point.y())
                                    .arg(pixel.x())
                                    .arg(pixel.y())
                                    .arg(canvas.width())
                                    .arg(canvas.height())));
        }
}

void TestErrorPlot::legend_lists_only_what_is_drawn_data()
{
    QTest::addColumn<Plot_Data>("data");
    QTest::addColumn<QStringList>("titles");
    const Points found{{15.0, 0.2}, {25.0, 0.05}};
    const Points fit{{15.0, 0.2}, {25.0, 0.05}};
    const Points predicted{{15.0, 0.01}, {25.0, -0.01}};
    const Points left{{20.0, 0.02}};
    const QString found_title = QStringLiteral("As found");
    const QString fit_title = QStringLiteral("As-found fitted line");
    const QString predicted_title = QStringLiteral("Predicted as left (not measured)");
    const QString left_title = QStringLiteral("Measured as left");
    const QString band_title = QStringLiteral("Tolerance band");
    QTest::newRow("everything") << Data(found, fit, predicted, left, 0.1)
                                << QStringList{found_title, fit_title, predicted_title, left_title,
                                               band_title};
    QTest::newRow("as found only, no tolerance")
        << Data(found, {}, {}, {}, 0.0) << QStringList{found_title};
    QTest::newRow("a fitted line needs two points")
        << Data(found, {{15.0, 0.2}}, {}, {}, 0.0) << QStringList{found_title};
    QTest::newRow("predicted, not measured")
        << Data(found, fit, predicted, {}, 0.05)
        << QStringList{found_title, fit_title, predicted_title, band_title};
    QTest::newRow("measured, nothing predicted")
        << Data(found, fit, {}, left, 0.05)
        << QStringList{found_title, fit_title, left_title, band_title};
    QTest::newRow("points that are not numbers draw nothing")
        << Data(found, {}, {{std::nan(""), 0.1}}, {}, 0.0) << QStringList{found_title};
    QTest::newRow("nothing at all") << Data({}, {}, {}, {}, 0.0) << QStringList();
}

void TestErrorPlot::legend_lists_only_what_is_drawn()
{
    QFETCH(Plot_Data, data);
    QFETCH(QStringList, titles);
    TErrorPlot plot;
    // Shown with everything first: entries that go away must leave the legend.
    plot.Set_Data(Data({{15.0, 0.2}, {25.0, 0.05}}, {{15.0, 0.2}, {25.0, 0.05}}, {{15.0, 0.01}},
                       {{20.0, 0.02}}, 0.1));
    plot.Set_Data(data);
    bool swatches = false;
    QCOMPARE(Legend_Titles(plot, &swatches), titles);
    QVERIFY(swatches);
}

void TestErrorPlot::description_data()
{
    QTest::addColumn<Plot_Data>("data");
    QTest::addColumn<QString>("description");
    QTest::newRow("points and a band")
        << Data({{15.0, 0.2}, {25.0, 0.05}}, {{15.0, 0.2}, {25.0, 0.05}}, {{15.0, -0.013}}, {}, 0.1)
        << QStringLiteral("Errors from -0.013 \u00B0C to 0.200 \u00B0C over actual temperatures "
                          "from 15.000 \u00B0C to 25.000 \u00B0C. Tolerance plus or minus "
                          "0.100 \u00B0C.");
    QTest::newRow("nothing") << Data({}, {}, {}, {}, 0.0) << QStringLiteral("No points.");
}

void TestErrorPlot::description()
{
    QFETCH(Plot_Data, data);
    QFETCH(QString, description);
    TErrorPlot plot;
    plot.Set_Data(data);
    QCOMPARE(plot.accessibleDescription(), description);
}

QTEST_MAIN(TestErrorPlot)
#include "tst_errorplot.moc"
