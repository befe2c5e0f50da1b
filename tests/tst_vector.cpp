#include "childprocess.h"
#include "vector2.h"
#include "vector3.h"

#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(Vector2)
Q_DECLARE_METATYPE(Vector3)

class TestVector : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void arithmetic2();
    void arithmetic3();
    void index();
    void normalize();
    void cross_data();
    void cross();
    void point_in_triangle_data();
    void point_in_triangle();
    void failed_checks_end_the_process_data();
    void failed_checks_end_the_process();
};

void TestVector::defaults()
{
    const Vector2 v2;
    QCOMPARE(v2.x, 0.0);
    QCOMPARE(v2.y, 0.0);
    const Vector3 v3;
    QCOMPARE(v3.x, 0.0);
    QCOMPARE(v3.y, 0.0);
    QCOMPARE(v3.z, 0.0);
    const Vector3 copy(Vector3(1, 2, 3));
    QCOMPARE(copy.z, 3.0);
}

void TestVector::arithmetic2()
{
    const Vector2 a(1, 2);
    const Vector2 b(3, -5);
    auto same = [](const Vector2 &v, double x, double y) { return v.x == x && v.y == y; };
    QVERIFY(same(a + b, 4, -3));
    QVERIFY(same(a - b, -2, 7));
    QVERIFY(same(a * 3.0, 3, 6));
    QVERIFY(same(3.0 * a, 3, 6));
    QVERIFY(same(a + 0.5, 1.5, 2.5));
    QVERIFY(same(0.5 + a, 1.5, 2.5));
    QVERIFY(same(a - 0.5, 0.5, 1.5));
    QVERIFY(same(a / 2.0, 0.5, 1));
    QCOMPARE(Dot(a, b), -7.0);
}

void TestVector::arithmetic3()
{
    const Vector3 a(1, 2, 3);
    const Vector3 b(-1, 4, 0.5);
    auto same = [](const Vector3 &v, double x, double y, double z)
    { return v.x == x && v.y == y && v.z == z; };
    QVERIFY(same(a + b, 0, 6, 3.5));
    QVERIFY(same(a - b, 2, -2, 2.5));
    QVERIFY(same(a * 2.0, 2, 4, 6));
    QVERIFY(same(2.0 * a, 2, 4, 6));
    QVERIFY(same(a + 1.0, 2, 3, 4));
    QVERIFY(same(1.0 + a, 2, 3, 4));
    QVERIFY(same(a - 1.0, 0, 1, 2));
    QVERIFY(same(a / 4.0, 0.25, 0.5, 0.75));
    QCOMPARE(Dot(a, b), 8.5);
}

void TestVector::index()
{
    Vector2 v2(7, 8);
    QCOMPARE(v2[0], 7.0);
    QCOMPARE(v2[1], 8.0);
    v2[1] = 9;
    QCOMPARE(v2.y, 9.0);

    Vector3 v3(1, 2, 3);
    QCOMPARE(static_cast<const Vector3 &>(v3)[2], 3.0);
    v3[2] = -4;
    QCOMPARE(v3.z, -4.0);
    v3[0] = 5;
    QCOMPARE(v3.x, 5.0);
}

void TestVector::normalize()
{
    Vector2 v(3, 4);
    QCOMPARE(std::sqrt(Dot(v, v)), 5.0);
    Vector2 &same = v.Normalize();
    QCOMPARE(&same, &v);
    QCOMPARE(v.x, 0.6);
    QCOMPARE(v.y, 0.8);

    Vector3 w(0, 0, -2);
    w.Normalize();
    QCOMPARE(w.z, -1.0);
    QCOMPARE(w.x, 0.0);
}

void TestVector::cross_data()
{
    QTest::addColumn<Vector3>("a");
    QTest::addColumn<Vector3>("b");
    QTest::addColumn<Vector3>("expected");
    QTest::newRow("x cross y is z") << Vector3(1, 0, 0) << Vector3(0, 1, 0) << Vector3(0, 0, 1);
    QTest::newRow("y cross x is minus z")
        << Vector3(0, 1, 0) << Vector3(1, 0, 0) << Vector3(0, 0, -1);
    QTest::newRow("general") << Vector3(2, 3, 4) << Vector3(5, 6, 7) << Vector3(-3, 6, -3);
    QTest::newRow("parallel") << Vector3(1, 2, 3) << Vector3(2, 4, 6) << Vector3(0, 0, 0);
}

void TestVector::cross()
{
    QFETCH(Vector3, a);
    QFETCH(Vector3, b);
    QFETCH(Vector3, expected);
    const Vector3 free_result = Cross(a, b);
    QCOMPARE(free_result.x, expected.x);
    QCOMPARE(free_result.y, expected.y);
    QCOMPARE(free_result.z, expected.z);

    Vector3 member(a);
    QCOMPARE(&member.Cross(b), &member);
    QCOMPARE(member.x, expected.x);
    QCOMPARE(member.y, expected.y);
    QCOMPARE(member.z, expected.z);

    // Crossing with itself leaves the vector as it was.
    Vector3 self(a);
    self.Cross(self);
    QCOMPARE(self.x, a.x);
    QCOMPARE(self.y, a.y);
    QCOMPARE(self.z, a.z);
}

void TestVector::point_in_triangle_data()
{
    QTest::addColumn<Vector2>("p");
    QTest::addColumn<bool>("inside");
    QTest::newRow("interior") << Vector2(0.25, 0.25) << true;
    QTest::newRow("on closed edge b-c") << Vector2(0.5, 0.5) << true;
    QTest::newRow("on open edge a-b") << Vector2(0.5, 0) << false;
    QTest::newRow("on open edge a-c") << Vector2(0, 0.5) << false;
    QTest::newRow("corner a") << Vector2(0, 0) << false;
    QTest::newRow("corner b") << Vector2(1, 0) << false;
    QTest::newRow("corner c") << Vector2(0, 1) << false;
    QTest::newRow("beyond b-c") << Vector2(0.6, 0.6) << false;
    QTest::newRow("outside, negative side") << Vector2(-0.1, 0.2) << false;
    QTest::newRow("far away") << Vector2(5, 5) << false;
}

void TestVector::point_in_triangle()
{
    QFETCH(Vector2, p);
    QFETCH(bool, inside);
    const Vector2 a(0, 0);
    const Vector2 b(1, 0);
    const Vector2 c(0, 1);
    QCOMPARE(Point_In_Triangle(p, a, b, c), inside);
    QCOMPARE(Point_In_Triangle(p, a, c, b), inside);
    // A triangle squashed onto a line holds nothing.
    QVERIFY(!Point_In_Triangle(p, a, b, Vector2(2, 0)));
}

void TestVector::failed_checks_end_the_process_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<QByteArray>("report");
    const QByteArray length = "Length > std::numeric_limits<double>::epsilon()";
    const QByteArray divisor = "d > std::numeric_limits<double>::epsilon()";
    QTest::newRow("normalize zero vector2")
        << 0 << (QByteArray("core/vector2.cpp:") + "|" + length);
    QTest::newRow("normalize zero vector3")
        << 1 << (QByteArray("core/vector3.cpp:") + "|" + length);
    QTest::newRow("normalize NaN vector2") << 2 << (QByteArray("core/vector2.cpp:") + "|" + length);
    QTest::newRow("divide vector2 by -2") << 3 << (QByteArray("core/vector2.h:") + "|" + divisor);
    QTest::newRow("divide vector3 by 0") << 4 << (QByteArray("core/vector3.h:") + "|" + divisor);
    QTest::newRow("read vector2 index 2") << 5 << QByteArray("core/vector2.cpp:|false");
    QTest::newRow("write vector2 index -1") << 6 << QByteArray("core/vector2.cpp:|false");
    QTest::newRow("read vector3 index 3") << 7 << QByteArray("core/vector3.cpp:|false");
    QTest::newRow("write vector3 index 3") << 8 << QByteArray("core/vector3.cpp:|false");
}

void TestVector::failed_checks_end_the_process()
{
    QFETCH(int, action);
    QFETCH(QByteArray, report);
    volatile double sink = 0;
    const Child_Outcome outcome = Run_In_Child(
        [action, &sink]
        {
            const double nan = std::numeric_limits<double>::quiet_NaN();
            Vector2 v2(1, 2);
            Vector3 v3(1, 2, 3);
            switch (action)
            {
            case 0:
                Vector2().Normalize();
                break;
            case 1:
                Vector3().Normalize();
                break;
            case 2:
                Vector2(nan, 1).Normalize();
                break;
            case 3:
                sink = (v2 / -2.0).x;
                break;
            case 4:
                sink = (v3 / 0.0).x;
                break;
            case 5:
                sink = static_cast<const Vector2 &>(v2)[2];
                break;
            case 6:
                v2[-1] = 1;
                break;
            case 7:
                sink = static_cast<const Vector3 &>(v3)[3];
                break;
            case 8:
                v3[3] = 1;
                break;
            }
        });
    QVERIFY2(outcome.aborted, outcome.error_output.constData());
    const QList<QByteArray> parts = report.split('|');
    QVERIFY2(outcome.error_output.contains(parts[0]), outcome.error_output.constData());
    QVERIFY2(outcome.error_output.contains("`" + parts[1] + "' failed"),
             outcome.error_output.constData());
}

QTEST_APPLESS_MAIN(TestVector)
#include "tst_vector.moc"
