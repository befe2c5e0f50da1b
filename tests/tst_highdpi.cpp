#include "dialoghelpers.h"
#include "highdpi.h"

#include <QApplication>
#include <QStyle>
#include <QStyleOptionFrame>

// The window on a high-DPI screen (the suite runs with QT_FONT_DPI at 192
// and at 144, as a desktop at 200 % and at 150 % sets it): drawn larger as a
// whole, with no text cut and the images from their @2x files.
class TestHighDpi : public QObject
{
    Q_OBJECT

private slots:
    void window_is_scaled();
    void no_text_is_cut();
    void images_are_sharp();
};

namespace
{
qreal Expected_Ratio()
{
    return qEnvironmentVariableIntValue("QT_FONT_DPI") / 96.0;
}

// The width a line edit gives its text: its contents less frame and margins.
int Text_Room(const QLineEdit *field)
{
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
    const QRect contents =
        field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
    const QMargins margins = field->textMargins();
    return contents.width() - margins.left() - margins.right() - 2 * 2; // Qt's own margin
}
} // namespace

void TestHighDpi::window_is_scaled()
{
    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    QVERIFY(Expected_Ratio() > 1.0);
    QCOMPARE(dialog.devicePixelRatioF(), Expected_Ratio());
}

void TestHighDpi::no_text_is_cut()
{
    Home_Folder home;
    home.Write_Settings("Row_Count=2\nNominal_Value_1=-125.5\nActual_Value_1=-125.1234\n"
                        "Reading_Value_1=-124.8765\nMeasured_Precision=4\nNominal_Precision=2\n"
                        "Existing_Code1=-3.27685\n");
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    for (QLineEdit *field : dialog.findChildren<QLineEdit *>())
    {
        if (!field->isVisible())
            continue;
        const int width = field->fontMetrics().horizontalAdvance(field->text());
        QVERIFY2(width <= Text_Room(field),
                 qPrintable(QStringLiteral("%1 \"%2\": %3 > %4")
                                .arg(field->accessibleName(), field->text())
                                .arg(width)
                                .arg(Text_Room(field))));
    }
    for (QLabel *label : dialog.findChildren<QLabel *>())
    {
        if (!label->isVisible() || label->text().isEmpty() || label->text().contains('<'))
            continue;
        for (const QString &line : label->text().split('\n'))
        {
            const int width = label->fontMetrics().horizontalAdvance(line);
            const int room = label->contentsRect().width() - 2 * label->margin();
            QVERIFY2(width <= room,
                     qPrintable(QStringLiteral("\"%1\": %2 > %3").arg(line).arg(width).arg(room)));
        }
    }
}

void TestHighDpi::images_are_sharp()
{
    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    for (QToolButton *button : dialog.findChildren<QToolButton *>())
    {
        if (button->icon().isNull())
            continue;
        // The icon holds the picture at twice its size, drawn from its source.
        QVERIFY(button->icon().availableSizes().contains(QSize(44, 44)));
        const QPixmap pixmap = button->icon().pixmap(QSize(22, 22));
        QCOMPARE(pixmap.devicePixelRatio(), Expected_Ratio());
    }
    for (QLabel *label : dialog.findChildren<QLabel *>())
    {
        const QPixmap meter = label->pixmap(Qt::ReturnByValue);
        if (meter.isNull())
            continue;
        QCOMPARE(meter.size() / meter.devicePixelRatio(), QSize(196, 196));
        QVERIFY(meter.devicePixelRatio() > 1.0);
    }
    QVERIFY(QIcon(":/icons/zentrova.png").availableSizes().contains(QSize(128, 128)));
}

int main(int argc, char *argv[])
{
    Enable_High_Dpi();
    QApplication application(argc, argv);
    TestHighDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highdpi.moc"
