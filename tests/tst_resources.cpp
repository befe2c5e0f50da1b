#include <QtTest>

#include <QImage>
#include <QImageReader>
#include <QResource>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void images_data();
    void images();
};

void TestResources::images_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("window icon") << ":/icons/zentrova.png" << QSize(64, 64);
    QTest::newRow("meter") << ":/images/meter.png" << QSize(196, 196);
    QTest::newRow("settings") << ":/gui/settings_22x22.png" << QSize(22, 22);
    QTest::newRow("add") << ":/gui/add_22x22.png" << QSize(22, 22);
    QTest::newRow("remove") << ":/gui/remove_22x22.png" << QSize(22, 22);
    // Twice the size, for screens at 2x.
    QTest::newRow("window icon at 2x") << ":/icons/zentrova@2x.png" << QSize(128, 128);
    QTest::newRow("meter at 2x") << ":/images/meter@2x.png" << QSize(392, 392);
    QTest::newRow("settings at 2x") << ":/gui/settings_22x22@2x.png" << QSize(44, 44);
    QTest::newRow("add at 2x") << ":/gui/add_22x22@2x.png" << QSize(44, 44);
    QTest::newRow("remove at 2x") << ":/gui/remove_22x22@2x.png" << QSize(44, 44);
}

void TestResources::images()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

    // Linked in, not loaded: the images must be there before main() runs.
    const QResource resource(path);
    QVERIFY(resource.isValid());
    QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);

    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("png"));
    QCOMPARE(reader.size(), size);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QVERIFY(image.hasAlphaChannel());
    QCOMPARE(image.format(), QImage::Format_ARGB32);
    // A transparent ground: the corners are see-through.
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(size.width() - 1, size.height() - 1)), 0);
}

QTEST_APPLESS_MAIN(TestResources)
#include "tst_resources.moc"
