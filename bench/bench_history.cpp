#include "history.h"
#include "historydialog.h"

#include <QCompleter>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <vector>

// The history with 10 000 stored calibrations (2000 instruments, five each):
// what the record window asks of it while the user types a serial number,
// the history window shown, and one calibration stored. Run it on a real X
// server (scripts/bench.sh starts Xvfb). Prints medians.
class BenchHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void open();
    void complete_serial_and_find_last();
    void history_window_shown();
    void store_one();

private:
    static void Report_Median(const char *what, const std::function<void()> &action,
                              int rounds = 15);
    static History_Record Calibration(const QString &serial, const QString &number);

    QTemporaryDir d_folder;
    QString d_path;
};

History_Record BenchHistory::Calibration(const QString &serial, const QString &number)
{
    History_Record record;
    record.serial = serial;
    record.model = "KX310";
    record.certificate_number = number;
    record.calibration_date = "2026-12-07";
    record.new_code1 = "27A8";
    record.new_code2 = "FE59";
    for (const char *kind : {"found", "predicted", "left"})
        for (int index = 0; index < 3; ++index)
            record.points << History_Point{
                kind, 15.0 + 5 * index, 15.0 + 5 * index, 15.1 + 5 * index, 0.1, "Pass"};
    record.content = QByteArray(3000, 'x');
    record.plot_png = QByteArray(20000, 'p');
    return record;
}

void BenchHistory::initTestCase()
{
    d_path = d_folder.path() + "/History.sqlite";
    {
        THistory history(d_path);
        QCOMPARE(history.Store(Calibration("KX-00000", "KX-00000-20261207-0")), QString());
    }
    // The other 9 999 in one transaction of a connection of the benchmark's
    // own, with the very rows Store writes: making them one by one, each
    // synced to the disk, would take minutes.
    QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "fill");
    raw.setDatabaseName(d_path);
    QVERIFY(raw.open());
    QSqlQuery query(raw);
    QVERIFY(query.exec("BEGIN"));
    for (int number = 1; number < 10000; ++number)
    {
        const QString serial = QString("KX-%1").arg(number % 2000, 5, 10, QLatin1Char('0'));
        query.prepare("INSERT OR IGNORE INTO instruments (serial, model) VALUES (?, 'KX310')");
        query.addBindValue(serial);
        QVERIFY(query.exec());
        query.prepare("INSERT INTO calibrations (instrument_id, certificate_number, "
                      "calibration_date, new_code1, new_code2, content, plot) SELECT id, ?, ?, "
                      "'27A8', 'FE59', ?, ? FROM instruments WHERE serial = ?");
        query.addBindValue(serial + "-" + QString::number(number));
        query.addBindValue(QDate(2020, 1, 1).addDays(number / 2000 * 300).toString(Qt::ISODate));
        query.addBindValue(QByteArray(3000, 'x'));
        query.addBindValue(QByteArray(20000, 'p'));
        query.addBindValue(serial);
        QVERIFY(query.exec());
        const qint64 id = query.lastInsertId().toLongLong();
        for (const char *kind : {"found", "predicted", "left"})
            for (int index = 0; index < 3; ++index)
            {
                query.prepare("INSERT INTO points VALUES (?, ?, ?, ?, ?, ?, 0.1, 'Pass')");
                for (const QVariant &value :
                     {QVariant(id), QVariant(kind), QVariant(index), QVariant(15.0 + 5 * index),
                      QVariant(15.0 + 5 * index), QVariant(15.1 + 5 * index)})
                    query.addBindValue(value);
                QVERIFY(query.exec());
            }
    }
    QVERIFY(query.exec("COMMIT"));
    raw.close();
    raw = QSqlDatabase();
    QSqlDatabase::removeDatabase("fill");
    qInfo("history of 10000 calibrations: %.1f MB", QFileInfo(d_path).size() / 1e6);
}

void BenchHistory::Report_Median(const char *what, const std::function<void()> &action, int rounds)
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
    qInfo("%s: median %.2f ms (fastest %.2f, slowest %.2f, %d runs)", what, times[times.size() / 2],
          times.front(), times.back(), rounds);
}

void BenchHistory::open()
{
    // Once per record window: the integrity check reads the whole file.
    Report_Median(
        "history opened and checked",
        [this]
        {
            THistory history(d_path);
            QCOMPARE(history.Open(), QString());
        },
        5);
}

void BenchHistory::complete_serial_and_find_last()
{
    THistory history(d_path);
    QCOMPARE(history.Open(), QString());
    QCompleter completer(history.Serial_Numbers());
    int round = 0;
    Report_Median("serial number completed and its last calibration found",
                  [&]
                  {
                      const QString prefix = QString("KX-0%1").arg(++round % 20, 2, 10, QChar('0'));
                      completer.setCompletionPrefix(prefix);
                      QVERIFY(completer.completionCount() > 0);
                      const QString serial = completer.currentCompletion();
                      QVERIFY(history.Last_For(serial).found);
                  });
}

void BenchHistory::history_window_shown()
{
    THistory history(d_path);
    QCOMPARE(history.Open(), QString());
    Report_Median(
        "history window built, filled and painted",
        [&]
        {
            THistoryDialog view(&history, nullptr);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            QCoreApplication::processEvents();
        },
        5);
}

void BenchHistory::store_one()
{
    THistory history(d_path);
    QCOMPARE(history.Open(), QString());
    int number = 0;
    Report_Median("one calibration stored (synced to the disk)",
                  [&]
                  {
                      QCOMPARE(history.Store(Calibration(
                                   "KX-00001", QString("KX-00001-20261207-S%1").arg(++number))),
                               QString());
                  });
}

QTEST_MAIN(BenchHistory)
#include "bench_history.moc"
