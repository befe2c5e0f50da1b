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
