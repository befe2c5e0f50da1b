#include "history.h"
#include "historyclient.h"
#include "historydialog.h"
#include "historylistmodel.h"
#include "pgcluster.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <QUuid>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <vector>

// The history with 100 000 stored calibrations (20 000 instruments, five
// each: a laboratory's ten years), on SQLite and on a PostgreSQL server on
// this machine (a cluster of the benchmark's own, fsync on): what the
// record window asks while the user types a serial number, the history
// window shown, and one calibration stored. Run it on a real X server
// (scripts/bench.sh starts Xvfb). Prints medians.
class BenchHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void open_data();
    void open();
    void complete_serial_and_find_last_data();
    void complete_serial_and_find_last();
    void history_window_shown_data();
    void history_window_shown();
    void store_one_data();
    void store_one();

private:
    static void Report_Median(const QString &what, const std::function<void()> &action,
                              int rounds = 15);
    static History_Record Calibration(const QString &serial);
    void Engines();
    History_Connection Connection_Of(const QString &engine) const;

    QTemporaryDir d_folder;
    std::unique_ptr<TPg_Cluster> d_cluster;
    History_Connection d_sqlite;
    History_Connection d_server;
};

namespace
{
constexpr int instruments = 20000;
constexpr int per_instrument = 5;

// The calibrations made by the database itself, with the very rows Issue
// writes (each certificate's texts 3 kB that do not compress): issuing them
// one by one, each synced to the disk, would take hours.
const char *const sqlite_fill[] = {
    "WITH RECURSIVE g(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM g WHERE x < 19999) "
    "INSERT INTO instruments (serial) SELECT printf('KX-%05d', x) FROM g",
    "WITH RECURSIVE k(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM k WHERE x < 4), "
    "d AS (SELECT i.id, i.serial, k.x, date('2016-01-01', '+' || (k.x * 700 + i.id % 600) || "
    "' days') AS day FROM instruments i, k) "
    "INSERT INTO calibrations (instrument_id, certificate_number, calibration_date, technician, "
    "reference, existing_code1, existing_code2, new_code1, new_code2, uncertainty, tolerance, "
    "verdict_as_found, verdict_as_left, as_left_measured, saved_at, calibration_uuid, "
    "model, owner, issue_date) SELECT id, serial || '-' || replace(day, '-', '') || '-1', day, "
    "'A. Tester', 'PRT 100', '2710', '0000', '27A8', 'FE59', 0.087, 0.1, 'Fail', 'Pass', 1, day, "
    "serial || '/' || x, 'KX310', 'Lab ' || (id % 50), day FROM d",
    "INSERT INTO certificates (calibration_id, content) SELECT id, CAST('{\"title\":\"' || "
    "hex(randomblob(1500)) || '\",\"number\":\"' || certificate_number || '\"}' AS BLOB) "
    "FROM calibrations",
    "WITH RECURSIVE p(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM p WHERE x < 2) "
    "INSERT INTO points SELECT c.id, k.kind, p.x, 15 + 5 * p.x, 15 + 5 * p.x, 15.1 + 5 * p.x, "
    "0.1, 'Pass' FROM calibrations c, (SELECT 'found' AS kind UNION ALL SELECT 'predicted' "
    "UNION ALL SELECT 'left') k, p",
    "ANALYZE"};

const char *const server_fill[] = {
    "INSERT INTO instruments (serial) SELECT 'KX-' || lpad(g::text, 5, '0') "
    "FROM generate_series(0, 19999) g",
    "INSERT INTO calibrations (instrument_id, certificate_number, calibration_date, technician, "
    "reference, existing_code1, existing_code2, new_code1, new_code2, uncertainty, tolerance, "
    "verdict_as_found, verdict_as_left, as_left_measured, saved_at, calibration_uuid, "
    "model, owner, issue_date) SELECT id, serial || '-' || to_char(day, 'YYYYMMDD') || '-1', "
    "to_char(day, 'YYYY-MM-DD'), 'A. Tester', 'PRT 100', '2710', '0000', '27A8', 'FE59', 0.087, "
    "0.1, 'Fail', 'Pass', 1, to_char(day, 'YYYY-MM-DD'), serial || '/' || k, 'KX310', "
    "'Lab ' || (id % 50), to_char(day, 'YYYY-MM-DD') FROM (SELECT i.id, i.serial, k, date "
    "'2016-01-01' + (k * 700 + (i.id % 600))::int AS day FROM instruments i CROSS JOIN "
    "generate_series(0, 4) k) d",
    "INSERT INTO certificates (calibration_id, content) SELECT id, convert_to('{\"title\":\"' "
    "|| (SELECT string_agg(md5(c.id::text || g::text), '') FROM generate_series(1, 94) g) "
    "|| '\",\"number\":\"' || certificate_number || '\"}', 'UTF8') FROM calibrations c",
    "INSERT INTO points SELECT c.id, k.kind, p, 15 + 5 * p, 15 + 5 * p, 15.1 + 5 * p, 0.1, "
    "'Pass' FROM calibrations c CROSS JOIN (VALUES ('found'), ('predicted'), ('left')) "
    "k(kind) CROSS JOIN generate_series(0, 2) p",
    "ANALYZE"};

// Runs the event loop until the condition holds: QTRY and qWaitFor sleep
// 10 to 50 ms between looks, more than some of what is timed here.
bool Wait_Until(const std::function<bool()> &condition, int timeout_ms = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition())
    {
        if (timer.elapsed() > timeout_ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::usleep(100);
    }
    return true;
}

bool Exposed(const QWidget &window)
{
    return window.windowHandle() && window.windowHandle()->isExposed();
}

bool Fill(const History_Connection &connection, const char *const *statements, std::size_t count)
{
    {
        THistory history(connection); // the schema, as the program makes it
        if (!history.Open().isEmpty())
            return false;
    }
    bool good = true;
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(
            connection.engine == History_Connection::Engine::SQLite ? "QSQLITE" : "QPSQL", "fill");
        if (connection.engine == History_Connection::Engine::SQLite)
            raw.setDatabaseName(connection.sqlite_path);
        else
        {
            raw.setHostName(connection.host);
            raw.setDatabaseName(connection.database);
            raw.setUserName(connection.user);
        }
        good = raw.open();
        QSqlQuery query(raw);
        for (std::size_t index = 0; good && index < count; ++index)
            if (!query.exec(QString::fromLatin1(statements[index])))
            {
                qWarning("%s", qPrintable(query.lastError().text()));
                good = false;
            }
        query.finish();
        raw.close();
    }
    QSqlDatabase::removeDatabase("fill");
    return good;
}
} // namespace

History_Record BenchHistory::Calibration(const QString &serial)
{
    History_Record record;
    record.calibration_id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    record.serial = serial;
    record.model = "KX310";
    record.owner = "Lab 1";
    record.calibration_date = "2026-12-07";
    record.new_code1 = "27A8";
    record.new_code2 = "FE59";
    for (const char *kind : {"found", "predicted", "left"})
        for (int index = 0; index < 3; ++index)
            record.points << History_Point{
                kind, 15.0 + 5 * index, 15.0 + 5 * index, 15.1 + 5 * index, 0.1, "Pass"};
    record.content = "{\"title\":\"" + QByteArray(3000, 'x') + "\",\"number\":\"\"}";
    return record;
}

void BenchHistory::initTestCase()
{
    QElapsedTimer timer;
    timer.start();
    d_sqlite.sqlite_path = d_folder.path() + "/History.sqlite";
    QVERIFY(Fill(d_sqlite, sqlite_fill, std::size(sqlite_fill)));
    qInfo("SQLite history of %d calibrations: %.0f MB, made in %.1f s",
          instruments * per_instrument, QFileInfo(d_sqlite.sqlite_path).size() / 1e6,
          timer.elapsed() / 1e3);
    if (qEnvironmentVariableIsSet("ZENTROVA_NO_POSTGRESQL"))
        return;
    timer.restart();
    d_cluster = std::make_unique<TPg_Cluster>(true);
    QVERIFY2(d_cluster->Failure().isEmpty(), qPrintable(d_cluster->Failure()));
    QVERIFY(d_cluster->Sql("postgres", "CREATE DATABASE history"));
    d_server = d_cluster->Connection("history");
    QVERIFY(Fill(d_server, server_fill, std::size(server_fill)));
    qInfo("server history of %d calibrations made in %.1f s", instruments * per_instrument,
          timer.elapsed() / 1e3);
}

void BenchHistory::Engines()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("SQLite") << QString("sqlite");
    if (d_cluster)
        QTest::newRow("PostgreSQL") << QString("postgresql");
}

History_Connection BenchHistory::Connection_Of(const QString &engine) const
{
    return engine == "sqlite" ? d_sqlite : d_server;
}

void BenchHistory::Report_Median(const QString &what, const std::function<void()> &action,
                                 int rounds)
{
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round)
    {
        QElapsedTimer timer;
        timer.start();
        action();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    qInfo("%s: median %.2f ms (fastest %.2f, slowest %.2f, %d runs)", qPrintable(what),
          times[times.size() / 2], times.front(), times.back(), rounds);
}

void BenchHistory::open_data()
{
    Engines();
}

void BenchHistory::open()
{
    QFETCH(QString, engine);
    // Once per record window, off the GUI thread: SQLite's check reads the
    // whole file.
    Report_Median(
        engine + ": history opened (and checked)",
        [&]
        {
            THistory history(Connection_Of(engine));
            QCOMPARE(history.Open(), QString());
        },
        5);
}

void BenchHistory::complete_serial_and_find_last_data()
{
    Engines();
}

void BenchHistory::complete_serial_and_find_last()
{
    QFETCH(QString, engine);
    THistory history(Connection_Of(engine));
    QCOMPARE(history.Open(), QString());
    int round = 0;
    Report_Median(
        engine + ": serial number completed and its last calibration found",
        [&]
        {
            const QString prefix = QString("KX-1%1").arg(++round * 37 % 1000, 3, 10, QChar('0'));
            const QStringList serials = history.Complete(prefix);
            QVERIFY(!serials.isEmpty());
            QVERIFY(history.Last_For(serials.first(), QString()).found);
        },
        25);
}

void BenchHistory::history_window_shown_data()
{
    Engines();
}

void BenchHistory::history_window_shown()
{
    QFETCH(QString, engine);
    THistoryClient client(Connection_Of(engine), nullptr);
    QSignalSpy opened(&client, &THistoryClient::Opened);
    client.Open();
    QVERIFY(opened.wait(30000));
    QCOMPARE(opened.first().at(0).toString(), QString());
    Report_Median(
        engine + ": history window shown with its first rows painted",
        [&]
        {
            THistoryDialog view(&client, nullptr, nullptr);
            view.show();
            QVERIFY(Wait_Until([&] { return Exposed(view) && view.Model()->rowCount() > 0; }));
            // The rows painted and flushed.
            view.repaint();
            QCoreApplication::processEvents();
        },
        9);
    // The filter typed: any part of the serial number or the owner; first
    // the history's own part of it, on this thread.
    {
        THistory history(Connection_Of(engine));
        QCOMPARE(history.Open(), QString());
        int round = 0;
        Report_Median(
            engine + ": filter's first page found (the history alone)",
            [&]
            {
                const History_Page page =
                    history.List(History_Filter{QString::number(++round * 37 % 1000 + 1000)},
                                 History_Row(), THistoryListModel::page_size);
                QVERIFY(!page.rows.isEmpty());
            },
            9);
    }
    THistoryDialog view(&client, nullptr, nullptr);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    int round = 0;
    Report_Median(
        engine + ": filter typed, matching rows painted",
        [&]
        {
            view.Set_Filter(QString("%1").arg(++round * 37 % 1000 + 1000));
            QTRY_VERIFY_WITH_TIMEOUT(view.Model()->rowCount() > 0 && !view.Model()->Loading(),
                                     5000);
            QCoreApplication::processEvents();
        },
        9);
}

void BenchHistory::store_one_data()
{
    Engines();
}

void BenchHistory::store_one()
{
    QFETCH(QString, engine);
    THistory history(Connection_Of(engine));
    QCOMPARE(history.Open(), QString());
    int number = 0;
    Report_Median(engine + ": one calibration issued and stored (synced to the disk)",
                  [&]
                  {
                      const Issue_Result result = history.Issue(Calibration(
                          QString("KX-%1").arg(++number * 7 % 20000, 5, 10, QChar('0'))));
                      QCOMPARE(result.failure, QString());
                  });
}

QTEST_MAIN(BenchHistory)
#include "bench_history.moc"
