#include "dialoghelpers.h"
#include "history.h"
#include "historyclient.h"
#include "historysettingsdialog.h"
#include "pgcluster.h"
#include "settingsstore.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <memory>

// Every instrument's calibrations, kept by either engine: one number for
// one certificate, nothing half-stored, nothing taken that a field should
// not hold, and a history that cannot be used says why.
class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void settings_give_the_connection_data();
    void settings_give_the_connection();
    void unsafe_text_is_refused_data();
    void unsafe_text_is_refused();
    void csv_cells_stay_text_data();
    void csv_cells_stay_text();

    void numbers_count_per_serial_and_day_data();
    void numbers_count_per_serial_and_day();
    void a_calibration_is_issued_once_data();
    void a_calibration_is_issued_once();
    void last_is_before_the_calibration_in_progress_data();
    void last_is_before_the_calibration_in_progress();
    void model_and_owner_stay_as_certified_data();
    void model_and_owner_stay_as_certified();
    void completion_and_filter_data();
    void completion_and_filter();
    void export_keeps_codes_as_text_data();
    void export_keeps_codes_as_text();
    void newer_schema_is_refused_and_left_alone_data();
    void newer_schema_is_refused_and_left_alone();
    void older_schema_is_upgraded_data();
    void older_schema_is_upgraded();
    void two_processes_issue_for_one_serial_data();
    void two_processes_issue_for_one_serial();

    void damaged_file_is_kept_aside_data();
    void damaged_file_is_kept_aside();
    void full_disk_is_named();
    void kill_during_a_save_leaves_it_whole();
    void busy_file_does_not_freeze_the_client();
    void client_says_when_the_history_comes_back();

    void server_failures_are_said_in_words_data();
    void server_failures_are_said_in_words();
    void server_stopped_while_storing();
    void program_role_reads_and_inserts_only();
    void copy_of_a_bench_skips_duplicates();
    void test_connection_in_the_settings_window();

private:
    History_Connection Fresh(const QString &engine);
    bool Skip_Server(const QString &engine);

    std::unique_ptr<TPg_Cluster> d_cluster;
    QTemporaryDir d_folder;
    int d_count = 0;
};

namespace
{
History_Record Record(const QString &serial, const QString &date = "2026-03-04",
                      const QString &owner = "Lab A", const QString &model = "KX310")
{
    History_Record record;
    record.calibration_id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    record.serial = serial;
    record.model = model;
    record.owner = owner;
    record.calibration_date = date;
    record.issue_date = date;
    record.technician = "A. Tester";
    record.existing_code1 = "2710";
    record.existing_code2 = "0000";
    record.new_code1 = "27A8";
    record.new_code2 = "FE59";
    record.verdict_as_found = "Fail";
    record.verdict_as_left = "Pass";
    record.uncertainty = 0.087;
    record.tolerance = 0.1;
    for (int index = 0; index < 3; ++index)
    {
        record.points << History_Point{
            "found", 15.0 + 5 * index, 15.0 + 5 * index, 15.2 + 5 * index, 0.2, "Fail"};
        record.points << History_Point{
            "predicted", 15.0 + 5 * index, 15.0 + 5 * index, 15.01 + 5 * index, 0.01, "Pass"};
    }
    record.content = R"({"title":"Calibration Certificate","number":""})";
    return record;
}

QString Issued(THistory &history, const History_Record &record)
{
    const Issue_Result result = history.Issue(record);
    return result.failure.isEmpty() ? result.number : "failure: " + result.failure;
}

QByteArray File_Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A connection of the test's own, beside the program's, on either engine.
class Raw_Connection
{
public:
    explicit Raw_Connection(const History_Connection &connection)
    {
        static int count = 0;
        d_name = QStringLiteral("raw-%1").arg(++count);
        QSqlDatabase database = QSqlDatabase::addDatabase(
            connection.engine == History_Connection::Engine::SQLite ? "QSQLITE" : "QPSQL", d_name);
        if (connection.engine == History_Connection::Engine::SQLite)
            database.setDatabaseName(connection.sqlite_path);
        else
        {
            database.setHostName(connection.host);
            database.setDatabaseName(connection.database);
            database.setUserName(connection.user);
        }
        database.open();
    }
    ~Raw_Connection()
    {
        QSqlDatabase::database(d_name, false).close();
        QSqlDatabase::removeDatabase(d_name);
    }
    Raw_Connection(const Raw_Connection &) = delete;
    Raw_Connection &operator=(const Raw_Connection &) = delete;
    QVariant Value(const QString &statement) const
    {
        QSqlQuery query(QSqlDatabase::database(d_name));
        return query.exec(statement) && query.next() ? query.value(0) : QVariant();
    }
    bool Exec(const QString &statement) const
    {
        QSqlQuery query(QSqlDatabase::database(d_name));
        return query.exec(statement);
    }
    QStringList Column(const QString &statement) const
    {
        QStringList values;
        QSqlQuery query(QSqlDatabase::database(d_name));
        if (query.exec(statement))
            while (query.next())
                values << query.value(0).toString();
        return values;
    }

private:
    QString d_name;
};

// Schema version 2 as the program of that version made it.
const char *const version_2_schema[] = {
    "CREATE TABLE instruments (id INTEGER PRIMARY KEY, serial TEXT NOT NULL UNIQUE, "
    "model TEXT, owner TEXT)",
    "CREATE TABLE calibrations (id INTEGER PRIMARY KEY, instrument_id INTEGER NOT NULL "
    "REFERENCES instruments(id), certificate_number TEXT NOT NULL UNIQUE, "
    "calibration_date TEXT NOT NULL, technician TEXT, reference TEXT, "
    "reference_uncertainty REAL, resolution REAL, tolerance REAL, existing_code1 TEXT, "
    "existing_code2 TEXT, new_code1 TEXT, new_code2 TEXT, uncertainty REAL, "
    "verdict_as_found TEXT, verdict_as_left TEXT, as_left_measured INTEGER NOT NULL "
    "DEFAULT 0, content BLOB, plot BLOB, saved_at TEXT)",
    "CREATE TABLE points (calibration_id INTEGER NOT NULL REFERENCES calibrations(id) "
    "ON DELETE CASCADE, kind TEXT NOT NULL CHECK (kind IN ('found', 'predicted', "
    "'left')), position INTEGER NOT NULL, nominal REAL, actual REAL, reading REAL, "
    "error REAL, verdict TEXT)",
    // KX-OLD: certified for Lab A in 2025, then for Lab B (a new model) in
    // 2026; the instrument's row holds only the latest.
    "INSERT INTO instruments VALUES (1, 'KX-OLD', 'KX310-B', 'Lab B')",
    "INSERT INTO calibrations (id, instrument_id, certificate_number, calibration_date, "
    "new_code1, new_code2, content, plot) VALUES (1, 1, 'KX-OLD-20250101-1', '2025-01-01', "
    "'2755', 'FF00', '{\"title\":\"old\",\"number\":\"KX-OLD-20250101-1\"}', 'png')",
    "INSERT INTO calibrations (id, instrument_id, certificate_number, calibration_date, "
    "new_code1, new_code2) VALUES (2, 1, 'KX-OLD-20260101-1', '2026-01-01', '2760', 'FF10')",
    "INSERT INTO points VALUES (2, 'predicted', 0, 15, 15, 15.01, 0.01, 'Pass')"};
} // namespace

void TestHistory::initTestCase()
{
    QVERIFY(d_folder.isValid());
    if (qEnvironmentVariableIsSet("ZENTROVA_NO_POSTGRESQL"))
        return;
    d_cluster = std::make_unique<TPg_Cluster>();
    QVERIFY2(d_cluster->Failure().isEmpty(), qPrintable(d_cluster->Failure()));
    // The schema's owner and the program's own role, as docs/history.md has them.
    QVERIFY(d_cluster->Sql("postgres", "CREATE ROLE zentrova_owner LOGIN"));
    QVERIFY(d_cluster->Sql("postgres", "CREATE ROLE zentrova_bench LOGIN"));
}

void TestHistory::cleanupTestCase()
{
    if (!d_cluster)
        return;
    const qint64 pid = d_cluster->Pid();
    QVERIFY(d_cluster->Stop());
    QVERIFY(::kill(static_cast<pid_t>(pid), 0) != 0); // gone
}

bool TestHistory::Skip_Server(const QString &engine)
{
    return engine == "postgresql" && !d_cluster;
}

History_Connection TestHistory::Fresh(const QString &engine)
{
    ++d_count;
    if (engine == "sqlite")
    {
        History_Connection connection;
        connection.sqlite_path = d_folder.path() + QString("/h%1/History.sqlite").arg(d_count);
        return connection;
    }
    const QString database = QString("h%1").arg(d_count);
    if (!d_cluster->Sql("postgres", "CREATE DATABASE " + database + " OWNER zentrova_owner"))
        qWarning("CREATE DATABASE %s failed", qPrintable(database));
    return d_cluster->Connection(database, "zentrova_owner");
}

#define ENGINE_ROWS(name)                                                                          \
    QTest::newRow("sqlite: " name) << QString("sqlite");                                           \
    QTest::newRow("postgresql: " name) << QString("postgresql")
#define FETCH_ENGINE()                                                                             \
    QFETCH(QString, engine);                                                                       \
    if (Skip_Server(engine))                                                                       \
        QSKIP("ZENTROVA_NO_POSTGRESQL is set");

// --- Pure logic -------------------------------------------------------------

void TestHistory::settings_give_the_connection_data()
{
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<bool>("server");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("ssl_mode");
    QTest::newRow("no group: this bench's file") << QByteArray() << false << "" << 5432 << "prefer";
    QTest::newRow("sqlite named") << QByteArray("Engine=sqlite\nHost=db.lab\n") << false << "db.lab"
                                  << 5432 << "require";
    QTest::newRow("a server elsewhere requires SSL")
        << QByteArray("Engine=postgresql\nHost=db.lab\nPort=5433\nDatabase=h\nUser=u\n") << true
        << "db.lab" << 5433 << "require";
    QTest::newRow("a socket folder here prefers it")
        << QByteArray("Engine=PostgreSQL\nHost=/run/postgresql\n") << true << "/run/postgresql"
        << 5432 << "prefer";
    QTest::newRow("localhost") << QByteArray("Engine=postgresql\nHost=localhost\n") << true
                               << "localhost" << 5432 << "prefer";
    QTest::newRow("a mode chosen")
        << QByteArray("Engine=postgresql\nHost=db\nSSL_Mode=verify-full\n") << true << "db" << 5432
        << "verify-full";
    QTest::newRow("a port out of range") << QByteArray("Engine=postgresql\nHost=db\nPort=70000\n")
                                         << true << "db" << 5432 << "require";
}

void TestHistory::settings_give_the_connection()
{
    QFETCH(QByteArray, group);
    QFETCH(bool, server);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, ssl_mode);
    Home_Folder home;
    home.Write_Settings("Row_Count=3\n[History]\n" + group);
    TSettingsStore store;
    const History_Connection connection = History_Connection::From_Settings(store);
    QCOMPARE(connection.engine == History_Connection::Engine::PostgreSQL, server);
    QCOMPARE(connection.host, host);
    QCOMPARE(connection.port, port);
    QCOMPARE(connection.ssl_mode, ssl_mode);
    QCOMPARE(connection.sqlite_path, home.Path() + "/.zentrova/History.sqlite");
}

void TestHistory::unsafe_text_is_refused_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("said"); // empty: taken
    QTest::newRow("plain serial") << "serial"
                                  << "KX-0042"
                                  << "";
    QTest::newRow("accents and markup stay text") << "owner"
                                                  << "Laboratoire <i>Éric</i> &amp;"
                                                  << "";
    QTest::newRow("NUL in the serial") << "serial" << QString("KX") + QChar(0) + "42"
                                       << "NUL";
    QTest::newRow("tab in the owner") << "owner"
                                      << "Lab\tA"
                                      << "U+0009";
    QTest::newRow("line break in the technician") << "technician"
                                                  << "A.\nTester"
                                                  << "U+000A";
    QTest::newRow("right-to-left override") << "serial" << QString("KX") + QChar(0x202E) + "24"
                                            << "U+202E";
    QTest::newRow("isolate in the model") << "model" << QString("KX") + QChar(0x2066) << "U+2066";
    QTest::newRow("DEL in a code") << "new_code1" << QString("27A") + QChar(0x7F) << "U+007F";
}

void TestHistory::unsafe_text_is_refused()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, said);
    History_Connection connection = Fresh("sqlite");
    THistory history(connection);
    QCOMPARE(history.Open(), QString());
    History_Record record = Record("KX-0042");
    QHash<QString, QString *> fields{{"serial", &record.serial},
                                     {"owner", &record.owner},
                                     {"technician", &record.technician},
                                     {"model", &record.model},
                                     {"new_code1", &record.new_code1}};
    *fields.value(field) = text;
    const Issue_Result result = history.Issue(record);
    if (said.isEmpty())
    {
        QCOMPARE(result.failure, QString());
        return;
    }
    QVERIFY2(result.failure.contains(said), qPrintable(result.failure));
    QVERIFY(result.number.isEmpty());
    Raw_Connection raw(connection);
    QCOMPARE(raw.Value("SELECT count(*) FROM calibrations").toInt(), 0);
}

void TestHistory::csv_cells_stay_text_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cell");
    QTest::newRow("code of digits") << "identifier"
                                    << "0000"
                                    << "=\"0000\"";
    QTest::newRow("code a number in E notation") << "identifier"
                                                 << "2E10"
                                                 << "=\"2E10\"";
    QTest::newRow("serial like a date") << "identifier"
                                        << "1-2"
                                        << "=\"1-2\"";
    QTest::newRow("formula as a serial") << "identifier"
                                         << "=HYPERLINK(\"x\")"
                                         << "'=HYPERLINK(\"x\")";
    QTest::newRow("formula as an owner") << "text"
                                         << "=1+2"
                                         << "'=1+2";
    QTest::newRow("plus") << "text"
                          << "+41 22"
                          << "'+41 22";
    QTest::newRow("minus") << "text"
                           << "-cmd"
                           << "'-cmd";
    QTest::newRow("at") << "text"
                        << "@SUM(A1)"
                        << "'@SUM(A1)";
    QTest::newRow("tab first") << "text"
                               << "\t=1"
                               << "'\t=1";
    QTest::newRow("plain owner") << "text"
                                 << "Lab A"
                                 << "Lab A";
    QTest::newRow("no code") << "identifier"
                             << ""
                             << "";
}

void TestHistory::csv_cells_stay_text()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QString, cell);
    QCOMPARE(kind == "identifier" ? Csv_Identifier(text) : Csv_Text(text), cell);
    // And the line quotes what CSV needs quoted.
    QCOMPARE(Csv_Line({"a", "b,c", "d\"e"}), QString("a,\"b,c\",\"d\"\"e\"\r\n"));
}

// --- Both engines -----------------------------------------------------------

void TestHistory::numbers_count_per_serial_and_day_data()
{
    QTest::addColumn<QString>("engine");
    ENGINE_ROWS("numbers");
}

void TestHistory::numbers_count_per_serial_and_day()
{
    FETCH_ENGINE();
    const History_Connection connection = Fresh(engine);
    THistory history(connection);
    QCOMPARE(history.Open(), QString());
    QCOMPARE(Issued(history, Record("KX-1")), QString("KX-1-20260304-1"));
    QCOMPARE(Issued(history, Record("KX-1")), QString("KX-1-20260304-2"));
    // Another serial, another day: each counts from 1.
    QCOMPARE(Issued(history, Record("KX-2")), QString("KX-2-20260304-1"));
    QCOMPARE(Issued(history, Record("KX-1", "2026-03-05")), QString("KX-1-20260305-1"));
    // An amendment gets the replaced number's -R<k>, and is not counted.
    History_Record amendment = Record("KX-1");
    amendment.replaces = "KX-1-20260304-1";
    QCOMPARE(Issued(history, amendment), QString("KX-1-20260304-1-R1"));
    amendment = Record("KX-1");
    amendment.replaces = "KX-1-20260304-1-R1";
    QCOMPARE(Issued(history, amendment), QString("KX-1-20260304-1-R2"));
    QCOMPARE(Issued(history, Record("KX-1")), QString("KX-1-20260304-3"));
    amendment = Record("KX-1");
    amendment.replaces = "KX-2-20260304-1";
    QVERIFY(Issued(history, amendment).contains("is not one of KX-1"));
    // The number is in the stored certificate.
    const Stored_Certificate stored = history.Certificate("KX-1-20260304-2");
    QVERIFY(stored.found);
    QVERIFY2(stored.content.contains("\"number\":\"KX-1-20260304-2\""), stored.content);
    QVERIFY(!history.Certificate("KX-1-20260304-9").found);
}

void TestHistory::a_calibration_is_issued_once_data()
{
    QTest::addColumn<QString>("engine");
    ENGINE_ROWS("issued once");
}

void TestHistory::a_calibration_is_issued_once()
{
    FETCH_ENGINE();
    const History_Connection connection = Fresh(engine);
    THistory history(connection);
    const History_Record record = Record("KX-1");
    const Issue_Result first = history.Issue(record);
    QCOMPARE(first.failure, QString());
    QVERIFY(!first.issued_before);
    // Saved again, printed, or retried after a time-out: the same number.
    History_Record again = record;
    again.owner = "someone else";
    const Issue_Result second = history.Issue(again);
    QCOMPARE(second.failure, QString());
    QVERIFY(second.issued_before);
    QCOMPARE(second.number, first.number);
    Raw_Connection raw(connection);
    QCOMPARE(raw.Value("SELECT count(*) FROM calibrations").toInt(), 1);
    QCOMPARE(raw.Value("SELECT owner FROM calibrations").toString(), QString("Lab A"));
    // Without an id, or with no content, nothing is issued.
    History_Record no_id = Record("KX-1");
    no_id.calibration_id.clear();
    QVERIFY(!history.Issue(no_id).failure.isEmpty());
    History_Record no_content = Record("KX-1");
    no_content.content.clear();
    QVERIFY(!history.Issue(no_content).failure.isEmpty());
    QCOMPARE(raw.Value("SELECT count(*) FROM calibrations").toInt(), 1);
}

void TestHistory::last_is_before_the_calibration_in_progress_data()
{
    QTest::addColumn<QString>("engine");
    ENGINE_ROWS("last");
}

void TestHistory::last_is_before_the_calibration_in_progress()
{
    FETCH_ENGINE();
    THistory history(Fresh(engine));
    History_Record older = Record("KX-1", "2026-01-10");
    older.new_code2 = "FE00";
    older.as_left_measured = true;
    older.points << History_Point{"left", 15.0, 15.0, 15.03, 0.03, "Pass"};
    QCOMPARE(history.Issue(older).failure, QString());
    const History_Record now = Record("KX-1", "2026-03-04");
    QCOMPARE(history.Issue(now).failure, QString());

    // Right after the save, the calibration in progress is not its own last one.
    Last_Calibration last = history.Last_For("KX-1", now.calibration_id);
    QVERIFY(last.found);
    QCOMPARE(last.calibration_id, older.calibration_id);
    QCOMPARE(last.certificate_number, QString("KX-1-20260110-1"));
    QCOMPARE(last.new_code2, QString("FE00"));
    QCOMPARE(last.as_left.size(), 1); // measured, not the predicted ones
    QCOMPARE(last.as_left.first().error, 0.03);
    // A new calibration: the newest stored is the last.
    last = history.Last_For("KX-1", QUuid::createUuid().toString());
    QCOMPARE(last.calibration_id, now.calibration_id);
    QCOMPARE(last.as_left.size(), 3);
    QCOMPARE(last.as_left.first().kind, QString("predicted"));
    QVERIFY(!history.Last_For("KX-2", QString()).found);
}

void TestHistory::model_and_owner_stay_as_certified_data()
{
    QTest::addColumn<QString>("engine");
    ENGINE_ROWS("as certified");
}

void TestHistory::model_and_owner_stay_as_certified()
{
    FETCH_ENGINE();
    const History_Connection connection = Fresh(engine);
    THistory history(connection);
    QCOMPARE(history.Issue(Record("KX-0042", "2025-05-01", "Lab A", "KX310")).failure, QString());
    QCOMPARE(history.Issue(Record("KX-0042", "2026-05-01", "Lab B", "KX310-B")).failure, QString());
    const History_Page page = history.List(History_Filter(), History_Row(), 10);
    QCOMPARE(page.failure, QString());
    QCOMPARE(page.rows.size(), 2);
    QCOMPARE(page.rows.at(0).owner, QString("Lab B"));
    QCOMPARE(page.rows.at(0).model, QString("KX310-B"));
    QCOMPARE(page.rows.at(1).owner, QString("Lab A"));
    QCOMPARE(page.rows.at(1).model, QString("KX310"));
    const Last_Calibration last = history.Last_For("KX-0042", QString());
    QCOMPARE(last.owner, QString("Lab B"));
    const QString csv = d_folder.path() + QString("/certified-%1.csv").arg(engine);
    QCOMPARE(history.Export_Calibrations_Csv(History_Filter(), csv), QString());
    const QList<QByteArray> lines = File_Bytes(csv).trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines.at(2).contains("KX310,Lab A,"), lines.at(2));
}

void TestHistory::completion_and_filter_data()
{
    QTest::addColumn<QString>("engine");
    ENGINE_ROWS("find");
}

void TestHistory::completion_and_filter()
{
    FETCH_ENGINE();
    THistory history(Fresh(engine));
    for (const auto &[serial, owner] : {std::pair<QString, QString>{"KX-0042", "Lab A"},
                                        {"kx-0043", "Hospital North"},
                                        {"AB-100", "North Lab"},
                                        {"AB_1", "Lab 50%"}})
        QCOMPARE(history.Issue(Record(serial, "2026-03-04", owner)).failure, QString());
    QCOMPARE(history.Complete("KX"), (QStringList{"KX-0042", "kx-0043"}));
    QCOMPARE(history.Complete("kx-004", 1).size(), 1);
    QCOMPARE(history.Complete("AB_"), QStringList{"AB_1"}); // _ is no wildcard
    QCOMPARE(history.Complete("Z"), QStringList());
    const auto listed = [&history](const QString &text)
    {
        QStringList serials;
        for (const History_Row &row : history.List(History_Filter{text}, History_Row(), 10).rows)
            serials << row.serial;
        serials.sort();
        return serials;
    };
    QCOMPARE(listed("004"), (QStringList{"KX-0042", "kx-0043"}));  // any part of the serial
    QCOMPARE(listed("north"), (QStringList{"AB-100", "kx-0043"})); // any part of the owner
    QCOMPARE(listed("50%"), QStringList{"AB_1"});
    QCOMPARE(listed("%"), QStringList{"AB_1"});
    QCOMPARE(listed(""), (QStringList{"AB-100", "AB_1", "KX-0042", "kx-0043"}));
    // A page at a time, newest first, each row once.
    History_Page first = history.List(History_Filter(), History_Row(), 3);
    QVERIFY(first.more);
    const History_Page second = history.List(History_Filter(), first.rows.last(), 3);
    QVERIFY(!second.more);
    QCOMPARE(first.rows.size() + second.rows.size(), 4);
    QVERIFY(second.rows.first().id < first.rows.last().id);
}

void TestHistory::export_keeps_codes_as_text_data()
{
    QTest::addColumn<QString>("engine");
    ENGINE_ROWS("csv");
}

void TestHistory::export_keeps_codes_as_text()
{
    FETCH_ENGINE();
    THistory history(Fresh(engine));
    History_Record record = Record("0042", "2026-03-04", "=HYPERLINK(\"http://x\")");
    record.new_code1 = "2E10";
    record.existing_code2 = "0000";
    QCOMPARE(history.Issue(record).failure, QString());
    const QString csv = d_folder.path() + QString("/codes-%1.csv").arg(engine);
    QCOMPARE(history.Export_Calibrations_Csv(History_Filter(), csv), QString());
    const QList<QByteArray> lines = File_Bytes(csv).trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).trimmed(),
             QByteArray("Serial number,Model,Owner,Certificate,Replaces,Calibration date,"
                        "Issue date,Technician,Existing Code 1,Existing Code 2,New Code 1,"
                        "New Code 2,Verdict as found,Verdict as left,U (k=2),Tolerance"));
    QCOMPARE(lines.at(1).trimmed(),
             QByteArray("\"=\"\"0042\"\"\",KX310,\"'=HYPERLINK(\"\"http://x\"\")\","
                        "\"=\"\"0042-20260304-1\"\"\",,2026-03-04,2026-03-04,A. Tester,"
                        "\"=\"\"2710\"\"\",\"=\"\"0000\"\"\",\"=\"\"2E10\"\"\",\"=\"\"FE59\"\"\","
                        "Fail,Pass,0.087,0.1"));
    const QString points = d_folder.path() + QString("/points-%1.csv").arg(engine);
    QCOMPARE(history.Export_Points_Csv(History_Filter(), points), QString());
    const QList<QByteArray> point_lines = File_Bytes(points).trimmed().split('\n');
    QCOMPARE(point_lines.size(), 7); // the header and six points
    // Each kind's rows counted from 1, though stored interleaved.
    QCOMPARE(point_lines.at(1).trimmed(),
             QByteArray("\"=\"\"0042-20260304-1\"\"\",\"=\"\"0042\"\"\",2026-03-04,found,1,15,15,"
                        "15.2,0.2,Fail"));
    QCOMPARE(point_lines.at(3).trimmed(),
             QByteArray("\"=\"\"0042-20260304-1\"\"\",\"=\"\"0042\"\"\",2026-03-04,found,3,25,25,"
                        "25.2,0.2,Fail"));
    QCOMPARE(point_lines.at(4).trimmed(),
             QByteArray("\"=\"\"0042-20260304-1\"\"\",\"=\"\"0042\"\"\",2026-03-04,predicted,1,15,"
                        "15,15.01,0.01,Pass"));
}

void TestHistory::newer_schema_is_refused_and_left_alone_data()
{
    QTest::addColumn<QString>("engine");
    ENGINE_ROWS("newer");
}

void TestHistory::newer_schema_is_refused_and_left_alone()
{
    FETCH_ENGINE();
    const History_Connection connection = Fresh(engine);
    {
        THistory history(connection);
        QCOMPARE(history.Open(), QString());
    }
    QByteArray before;
    {
        Raw_Connection raw(connection);
        QVERIFY(raw.Exec(engine == "sqlite" ? "PRAGMA user_version=7"
                                            : "UPDATE schema_version SET version = 7"));
        if (engine == "sqlite")
            QVERIFY(raw.Exec("PRAGMA journal_mode=DELETE"));
    }
    if (engine == "sqlite")
        before = File_Bytes(connection.sqlite_path);
    THistory history(connection);
    const QString failure = history.Open();
    QVERIFY2(failure.contains("schema 7") && failure.contains("newer"), qPrintable(failure));
    QVERIFY(history.Issue(Record("KX-1")).failure.contains("newer"));
    Raw_Connection raw(connection);
    QCOMPARE(
        raw.Value(engine == "sqlite" ? "PRAGMA user_version" : "SELECT version FROM schema_version")
            .toInt(),
        7);
    QCOMPARE(raw.Value("SELECT count(*) FROM calibrations").toInt(), 0);
    if (engine == "sqlite")
    {
        QCOMPARE(File_Bytes(connection.sqlite_path), before);
        QVERIFY(!QFile::exists(connection.sqlite_path + "-wal"));
    }
}

void TestHistory::older_schema_is_upgraded_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<bool>("failing");
    QTest::newRow("sqlite: from 2") << QString("sqlite") << false;
    QTest::newRow("sqlite: a failing step takes all back") << QString("sqlite") << true;
    QTest::newRow("postgresql: from 2") << QString("postgresql") << false;
}

void TestHistory::older_schema_is_upgraded()
{
    FETCH_ENGINE();
    QFETCH(bool, failing);
    const History_Connection connection = Fresh(engine);
    if (engine == "sqlite")
        QDir().mkpath(QFileInfo(connection.sqlite_path).absolutePath());
    {
        Raw_Connection raw(connection);
        for (QString statement : version_2_schema)
        {
            if (engine == "postgresql")
                statement.replace("INTEGER PRIMARY KEY", "BIGINT PRIMARY KEY")
                    .replace("BLOB", "BYTEA")
                    .replace("REAL", "DOUBLE PRECISION")
                    .replace("'png'", "'\\x706e67'");
            QVERIFY2(raw.Exec(statement), qPrintable(statement));
        }
        QVERIFY(raw.Exec(engine == "sqlite" ? "PRAGMA user_version=2"
                                            : "CREATE TABLE schema_version (version INTEGER)"));
        if (engine == "postgresql")
        {
            QVERIFY(raw.Exec("INSERT INTO schema_version VALUES (2)"));
            for (const char *table : {"instruments", "calibrations"})
                QVERIFY(raw.Exec(QString("CREATE SEQUENCE %1_ids START 10 OWNED BY %1.id; ALTER "
                                         "TABLE %1 ALTER COLUMN id SET DEFAULT nextval('%1_ids')")
                                     .arg(table)));
        }
        // A column of version 3 already there makes that step fail midway.
        if (failing)
            QVERIFY(raw.Exec("ALTER TABLE calibrations ADD COLUMN issue_date TEXT"));
    }
    THistory history(connection);
    const QString failure = history.Open();
    Raw_Connection raw(connection);
    const QString version_query =
        engine == "sqlite" ? "PRAGMA user_version" : "SELECT version FROM schema_version";
    if (failing)
    {
        QVERIFY(!failure.isEmpty());
        QCOMPARE(raw.Value(version_query).toInt(), 2);
        // The steps before the failing one are taken back too.
        QVERIFY(!raw.Exec("SELECT calibration_uuid FROM calibrations"));
        return;
    }
    QCOMPARE(failure, QString());
    QCOMPARE(raw.Value(version_query).toInt(), THistory::Schema_Version);
    // The owner and model of the latest calibration only: the instrument's
    // row did not know the earlier one's.
    const History_Page page = history.List(History_Filter(), History_Row(), 10);
    QCOMPARE(page.rows.size(), 2);
    QCOMPARE(page.rows.at(0).owner, QString("Lab B"));
    QCOMPARE(page.rows.at(1).owner, QString());
    const Last_Calibration old = history.Last_For("KX-OLD", QString());
    QCOMPARE(old.new_code2, QString("FF10"));
    QCOMPARE(old.as_left.size(), 1);
    // A schema-2 certificate comes back with its plot and number.
    const Stored_Certificate stored = history.Certificate("KX-OLD-20250101-1");
    QVERIFY(stored.found);
    QCOMPARE(stored.plot_png, QByteArray("png"));
    QCOMPARE(Issued(history, Record("KX-OLD", "2026-01-01")), QString("KX-OLD-20260101-2"));
}

void TestHistory::two_processes_issue_for_one_serial_data()
{
    QTest::addColumn<QString>("engine");
    ENGINE_ROWS("race");
}

void TestHistory::two_processes_issue_for_one_serial()
{
    FETCH_ENGINE();
    const History_Connection connection = Fresh(engine);
    {
        THistory history(connection);
        QCOMPARE(history.Open(), QString());
    }
    constexpr int each = 15;
    const QString go = d_folder.path() + QString("/go-%1").arg(d_count);
    const QString writer = QCoreApplication::applicationDirPath() + "/history_writer";
    QProcess first;
    QProcess second;
    for (QProcess *process : {&first, &second})
    {
        process->start(writer, {"race", TPg_Cluster::Writer_Connection(connection), "KX-RACE",
                                QString::number(each), go});
        QVERIFY(process->waitForReadyRead(10000));
        QCOMPARE(process->readLine().trimmed(), QByteArray("ready"));
    }
    QFile(go).open(QIODevice::WriteOnly); // both at the same moment
    QStringList numbers;
    for (QProcess *process : {&first, &second})
    {
        QVERIFY(process->waitForFinished(60000));
        const QString output = QString::fromUtf8(process->readAll());
        QVERIFY2(!output.contains("failure"), qPrintable(output));
        numbers += output.split('\n', Qt::SkipEmptyParts);
    }
    QCOMPARE(numbers.size(), 2 * each);
    QStringList expected;
    for (int count = 1; count <= 2 * each; ++count)
        expected << QString("KX-RACE-20261207-%1").arg(count);
    std::sort(numbers.begin(), numbers.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(numbers, expected); // -1 to -30, each once
}

// --- SQLite alone -----------------------------------------------------------

void TestHistory::damaged_file_is_kept_aside_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("not an SQLite file, with a -wal beside it") << "text";
    QTest::newRow("a page overwritten") << "page";
    QTest::newRow("a page overwritten, with a journal beside it") << "journal";
}

void TestHistory::damaged_file_is_kept_aside()
{
    QFETCH(QString, damage);
    const History_Connection connection = Fresh("sqlite");
    const QString path = connection.sqlite_path;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (damage == "text")
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            QByteArray("these are not the calibrations you are looking for\n").repeated(200));
        QFile wal(path + "-wal");
        QVERIFY(wal.open(QIODevice::WriteOnly));
        wal.write(QByteArray(5000, 'w'));
    }
    else
    {
        {
            THistory history(connection);
            History_Record stored = Record("KX-1");
            for (int index = 0; index < 400; ++index)
                stored.points << History_Point{"found", 1.0 * index, 1.0, 1.0, 0.0, "Pass"};
            QCOMPARE(history.Issue(stored).failure, QString());
        }
        {
            Raw_Connection raw(connection);
            QVERIFY(raw.Exec("PRAGMA journal_mode=DELETE"));
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.size() > 4 * 4096);
        file.seek(4096); // pages 2 and 3 whole, headers included
        file.write(QByteArray(2 * 4096, '\xA5'));
        if (damage == "journal")
        {
            QFile journal(path + "-journal");
            QVERIFY(journal.open(QIODevice::WriteOnly));
            journal.write(QByteArray(512, 'j'));
        }
    }
    QMap<QString, QByteArray> found;
    for (const QString &suffix : QStringList{"", "-wal", "-journal"})
        if (QFile::exists(path + suffix))
            found.insert(suffix, File_Bytes(path + suffix));

    THistory history(connection);
    QCOMPARE(history.Open(), QString());
    const QString notice = history.Take_Notice();
    QCOMPARE(history.Take_Notice(), QString()); // said once
    const QStringList aside =
        QDir(QFileInfo(path).absolutePath()).entryList({"History.sqlite.damaged-*"}, QDir::Files);
    QCOMPARE(aside.size(), found.size());
    const QString kept = QFileInfo(path).absolutePath() + "/" + aside.first();
    QVERIFY2(notice.contains(aside.first()), qPrintable(notice));
    // Byte for byte what was found, journals included.
    for (auto entry = found.cbegin(); entry != found.cend(); ++entry)
        QVERIFY2(File_Bytes(kept + entry.key()) == entry.value(), qPrintable(entry.key()));
    QCOMPARE(Issued(history, Record("KX-1")), QString("KX-1-20260304-1"));
}

void TestHistory::full_disk_is_named()
{
    if (geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    const QString folder = d_folder.path() + "/small";
    QDir().mkpath(folder);
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=400k", "tmpfs", folder}) != 0)
        QSKIP("a tmpfs cannot be mounted here");
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {folder}); });
    History_Connection connection;
    connection.sqlite_path = folder + "/History.sqlite";
    THistory history(connection);
    QCOMPARE(history.Open(), QString());
    // The disk filled by something else, a byte short of nothing.
    {
        QFile filler(folder + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush())
        {
        }
    }
    History_Record record = Record("KX-FULL");
    for (int index = 0; index < 2000; ++index)
        record.points << History_Point{"found", 1.0 * index, 1.0, 1.0, 0.0, "Pass"};
    const Issue_Result result = history.Issue(record);
    QVERIFY2(result.failure.contains("is full"), qPrintable(result.failure));
    QVERIFY(result.number.isEmpty());
    // Room again: issued, once, with the first number.
    QVERIFY(QFile::remove(folder + "/filler"));
    QCOMPARE(Issued(history, Record("KX-FULL")), QString("KX-FULL-20260304-1"));
}

void TestHistory::kill_during_a_save_leaves_it_whole()
{
    const History_Connection connection = Fresh("sqlite");
    const QString path = connection.sqlite_path;
    constexpr int points = 25;
    const QString writer = QCoreApplication::applicationDirPath() + "/history_writer";
    for (int round = 0; round < 12; ++round)
    {
        QProcess child;
        child.start(writer, {"kill", "sqlite:" + path, QString::number(points)});
        QVERIFY(child.waitForReadyRead(10000)); // the first calibration is in
        QTest::qSleep(QRandomGenerator::global()->bounded(1, 120));
        child.kill();
        QVERIFY(child.waitForFinished(5000));

        THistory history(connection);
        QCOMPARE(history.Open(), QString());
        QCOMPARE(history.Take_Notice(), QString()); // not damaged: nothing moved aside
        QCOMPARE(QDir(QFileInfo(path).absolutePath())
                     .entryList({"History.sqlite.damaged-*"}, QDir::Files),
                 QStringList());
        Raw_Connection raw(connection);
        QCOMPARE(raw.Value("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        // Every calibration wholly there: none with part of its points.
        QCOMPARE(raw.Value(QStringLiteral("SELECT count(*) FROM calibrations c WHERE (SELECT "
                                          "count(*) FROM points p WHERE p.calibration_id = "
                                          "c.id) != %1")
                               .arg(points))
                     .toInt(),
                 0);
        QVERIFY(raw.Value("SELECT count(*) FROM calibrations").toInt() > round);
    }
}

void TestHistory::busy_file_does_not_freeze_the_client()
{
    const History_Connection connection = Fresh("sqlite");
    {
        THistory history(connection);
        QCOMPARE(history.Issue(Record("KX-BUSY")).failure, QString());
    }
    // Another program holds a lock that blocks even reading.
    Raw_Connection other(connection);
    QVERIFY(other.Exec("PRAGMA journal_mode=DELETE"));
    QVERIFY(other.Exec("BEGIN EXCLUSIVE"));
    QVERIFY(other.Exec("INSERT INTO instruments (serial) VALUES ('LOCK')"));

    THistoryClient client(connection, nullptr);
    QSignalSpy opened(&client, &THistoryClient::Opened);
    QSignalSpy found(&client, &THistoryClient::Last_Found);
    QElapsedTimer timer;
    timer.start();
    client.Open();
    for (const QString &prefix : QStringList{"K", "KX", "KX-", "KX-B"})
        client.Complete(prefix);
    client.Find_Last("KX-BUSY", QString());
    QVERIFY(timer.elapsed() < 50); // asked, not waited for
    const Issue_Result result = client.Issue(Record("KX-BUSY"), 500);
    QVERIFY(timer.elapsed() < 1500);
    QVERIFY2(result.failure.contains("did not answer within 0.5 seconds"),
             qPrintable(result.failure));
    // Once the other program lets go, every question is answered.
    QVERIFY(other.Exec("ROLLBACK"));
    QTRY_COMPARE_WITH_TIMEOUT(found.count(), 1, 15000);
    QVERIFY(found.first().at(1).value<Last_Calibration>().found);
    const Issue_Result retried = client.Issue(Record("KX-BUSY"), 10000);
    QCOMPARE(retried.failure, QString());
    // The one given up before the worker came to it was never stored: the
    // window said nothing was numbered, and nothing was.
    QVERIFY2(result.failure.contains("nothing was numbered"), qPrintable(result.failure));
    Raw_Connection check(connection);
    QCOMPARE(check.Value("SELECT count(*) FROM calibrations").toInt(), 2);
}

void TestHistory::client_says_when_the_history_comes_back()
{
    const History_Connection connection = Fresh("sqlite");
    QVERIFY(QDir().mkpath(connection.sqlite_path));
    THistoryClient client(connection, nullptr);
    QSignalSpy opened(&client, &THistoryClient::Opened);
    client.Open();
    QVERIFY(opened.wait(5000));
    QVERIFY(opened.last().at(0).toString().contains("a folder stands where"));
    // Asked again while it still cannot be used: nothing new to say.
    client.Complete("KX");
    const Issue_Result refused = client.Issue(Record("KX-1"), 5000);
    QVERIFY(refused.failure.contains("a folder stands where"));
    QCOMPARE(opened.count(), 1);
    // Mended: the next question opens it, and that is said.
    QVERIFY(QDir(connection.sqlite_path).removeRecursively());
    const Issue_Result issued = client.Issue(Record("KX-1"), 5000);
    QCOMPARE(issued.failure, QString());
    QTRY_COMPARE(opened.count(), 2);
    QCOMPARE(opened.last().at(0).toString(), QString());
}

// --- The server alone --------------------------------------------------------

void TestHistory::server_failures_are_said_in_words_data()
{
    QTest::addColumn<QString>("case_name");
    QTest::addColumn<QString>("said");
    QTest::newRow("a refused password") << "password"
                                        << "refused the password";
    QTest::newRow("no database") << "database"
                                 << "has no database";
    QTest::newRow("no server at that socket") << "socket"
                                              << "cannot be reached";
    QTest::newRow("no history yet, and a role that may not make it") << "empty"
                                                                     << "owner role makes it";
}

void TestHistory::server_failures_are_said_in_words()
{
    QFETCH(QString, case_name);
    QFETCH(QString, said);
    if (!d_cluster)
        QSKIP("ZENTROVA_NO_POSTGRESQL is set");
    History_Connection connection = Fresh("postgresql");
    const QString password_file = d_folder.path() + "/pgpass";
    if (case_name == "password")
    {
        connection.user = "bench_pw";
        QFile file(password_file);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("*:*:*:bench_pw:the wrong one\n");
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        qputenv("PGPASSFILE", password_file.toUtf8());
    }
    const auto unset = qScopeGuard([] { qunsetenv("PGPASSFILE"); });
    if (case_name == "database")
        connection.database = "no_such_history";
    if (case_name == "socket")
        connection.host = d_folder.path();
    if (case_name == "empty")
        connection.user = "zentrova_bench";
    THistory history(connection);
    QElapsedTimer timer;
    timer.start();
    const QString failure = history.Open();
    QVERIFY(timer.elapsed() < 6000);
    QVERIFY2(failure.contains(said), qPrintable(failure));
    const Issue_Result result = history.Issue(Record("KX-1"));
    QVERIFY(result.failure.contains(said));
    QVERIFY(result.number.isEmpty());
}

void TestHistory::server_stopped_while_storing()
{
    if (!d_cluster)
        QSKIP("ZENTROVA_NO_POSTGRESQL is set");
    const History_Connection connection = Fresh("postgresql");
    {
        THistory history(connection);
        QCOMPARE(history.Issue(Record("KX-STOP")).failure, QString());
    }
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QProcess writer;
    {
        // The calibration's row is in, its points wait for this lock: the
        // server stops in the middle of storing.
        Raw_Connection admin(connection);
        Raw_Connection watch(connection);
        QVERIFY(admin.Exec("BEGIN"));
        QVERIFY(admin.Exec("LOCK TABLE points IN ACCESS EXCLUSIVE MODE"));
        writer.start(QCoreApplication::applicationDirPath() + "/history_writer",
                     {"one", TPg_Cluster::Writer_Connection(connection), id});
        QTRY_VERIFY_WITH_TIMEOUT(
            watch.Value("SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock' "
                        "AND application_name = 'zentrova-calibrator' AND query LIKE '%points%'")
                    .toInt() == 1,
            3000);
        QVERIFY(d_cluster->Stop());
    }
    QVERIFY(writer.waitForFinished(10000));
    const QString said = QString::fromUtf8(writer.readAll());
    QVERIFY2(said.startsWith("failure:"), qPrintable(said));
    QVERIFY2(d_cluster->Start(), qPrintable(d_cluster->Failure()));
    {
        Raw_Connection admin(connection);
        QCOMPARE(admin.Value("SELECT count(*) FROM calibrations").toInt(),
                 1); // nothing half-stored
        QCOMPARE(admin.Value("SELECT count(*) FROM points").toInt(), 6);
    }
    // The retry after the server is back issues it, once.
    QProcess retry;
    retry.start(QCoreApplication::applicationDirPath() + "/history_writer",
                {"one", TPg_Cluster::Writer_Connection(connection), id});
    QVERIFY(retry.waitForFinished(10000));
    QCOMPARE(retry.readAll().trimmed(), QByteArray("KX-STOP-20261207-1"));
    THistory history(connection);
    History_Record again = Record("KX-STOP", "2026-12-07");
    again.calibration_id = id;
    const Issue_Result result = history.Issue(again);
    QVERIFY(result.issued_before);
    QCOMPARE(result.number, QString("KX-STOP-20261207-1"));
    Raw_Connection admin(connection);
    QCOMPARE(admin
                 .Value("SELECT count(*) FROM points p JOIN calibrations c ON c.id = "
                        "p.calibration_id WHERE c.calibration_uuid = '" +
                        id + "'")
                 .toInt(),
             40);
}

void TestHistory::program_role_reads_and_inserts_only()
{
    if (!d_cluster)
        QSKIP("ZENTROVA_NO_POSTGRESQL is set");
    const History_Connection owner = Fresh("postgresql");
    // The grants of docs/history.md, before the owner makes the schema.
    QVERIFY(d_cluster->Sql(owner.database,
                           "ALTER DEFAULT PRIVILEGES FOR ROLE zentrova_owner IN SCHEMA public "
                           "GRANT SELECT, INSERT ON TABLES TO zentrova_bench; "
                           "ALTER DEFAULT PRIVILEGES FOR ROLE zentrova_owner IN SCHEMA public "
                           "GRANT USAGE, SELECT ON SEQUENCES TO zentrova_bench",
                           nullptr, "zentrova_owner"));
    {
        THistory history(owner); // the owner makes the schema once
        QCOMPARE(history.Issue(Record("KX-1")).failure, QString());
    }
    History_Connection bench = owner;
    bench.user = "zentrova_bench";
    THistory history(bench);
    QCOMPARE(history.Open(), QString());
    QCOMPARE(Issued(history, Record("KX-1")), QString("KX-1-20260304-2"));
    QCOMPARE(history.Complete("KX"), QStringList{"KX-1"});
    QVERIFY(history.Last_For("KX-1", QString()).found);
    QCOMPARE(history.List(History_Filter(), History_Row(), 10).rows.size(), 2);
    // Reading and inserting is all it may do.
    QString output;
    QVERIFY(!d_cluster->Sql(bench.database, "DELETE FROM calibrations", &output, "zentrova_bench"));
    QVERIFY(output.contains("permission denied"));
    QVERIFY(!d_cluster->Sql(bench.database, "CREATE TABLE t (x int)", &output, "zentrova_bench"));
    // An older schema: the bench's role may not upgrade it, and says so.
    QVERIFY(d_cluster->Sql(bench.database, "UPDATE schema_version SET version = 2", nullptr,
                           "zentrova_owner"));
    THistory older(bench);
    const QString failure = older.Open();
    QVERIFY2(failure.contains("owner role upgrades it"), qPrintable(failure));
    QVERIFY(d_cluster->Sql(bench.database, "SELECT version FROM schema_version", &output));
    QCOMPARE(output.trimmed(), QString("2"));
}

void TestHistory::copy_of_a_bench_skips_duplicates()
{
    if (!d_cluster)
        QSKIP("ZENTROVA_NO_POSTGRESQL is set");
    const History_Connection bench = Fresh("sqlite");
    {
        THistory history(bench);
        for (const QString &serial : QStringList{"KX-1", "KX-1", "KX-2"})
            QCOMPARE(history.Issue(Record(serial)).failure, QString());
    }
    {
        Raw_Connection raw(bench);
        raw.Exec("PRAGMA journal_mode=DELETE");
    }
    const QByteArray before = File_Bytes(bench.sqlite_path);
    const History_Connection server = Fresh("postgresql");
    THistory history(server);
    // Another bench issued KX-2's first certificate already.
    QCOMPARE(Issued(history, Record("KX-2")), QString("KX-2-20260304-1"));
    const Copy_Result result = history.Copy_From(bench.sqlite_path);
    QCOMPARE(result.failure, QString());
    QCOMPARE(result.copied, 2);
    QCOMPARE(result.skipped, QStringList{"KX-2-20260304-1"});
    QCOMPARE(File_Bytes(bench.sqlite_path), before); // left as it was
    QVERIFY(!QFile::exists(bench.sqlite_path + "-wal"));
    // The copies count on: the next of KX-1 that day is -3.
    QCOMPARE(Issued(history, Record("KX-1")), QString("KX-1-20260304-3"));
    QCOMPARE(history.Last_For("KX-1", QString()).as_left.size(), 3);
    // Copied again: everything is there already, nothing is added.
    const Copy_Result again = history.Copy_From(bench.sqlite_path);
    QCOMPARE(again.copied, 0);
    QCOMPARE(again.skipped.size(), 3);
}

void TestHistory::test_connection_in_the_settings_window()
{
    if (!d_cluster)
        QSKIP("ZENTROVA_NO_POSTGRESQL is set");
    Home_Folder home;
    home.Write_Settings("Row_Count=3\n");
    TSettingsStore store;
    THistorySettingsDialog dialog(&store, nullptr);
    const History_Connection server = Fresh("postgresql");
    dialog.Set_Connection(server);
    QSignalSpy tested(&dialog, &THistorySettingsDialog::Tested);
    dialog.Test_Connection();
    QVERIFY(tested.wait(10000));
    QCOMPARE(tested.first().at(0).toString(), QString());
    QVERIFY2(dialog.Result_Text().contains("can be used"), qPrintable(dialog.Result_Text()));
    History_Connection missing = server;
    missing.database = "no_such_history";
    dialog.Set_Connection(missing);
    dialog.Test_Connection();
    QVERIFY(tested.wait(10000));
    QVERIFY2(dialog.Result_Text().contains("has no database no_such_history"),
             qPrintable(dialog.Result_Text()));
    // This bench's calibrations copied to the server, from the window.
    dialog.Set_Connection(server);
    {
        THistory bench(History_Connection::From_Settings(store));
        QCOMPARE(bench.Issue(Record("KX-BENCH")).failure, QString());
    }
    QSignalSpy copied(&dialog, &THistorySettingsDialog::Copied);
    dialog.Copy_To_Server();
    QVERIFY(copied.wait(10000));
    QCOMPARE(copied.first().at(0).value<Copy_Result>().copied, 1);
    QVERIFY2(dialog.Result_Text().contains("1 calibration(s) copied") &&
                 dialog.Result_Text().contains("left as it was"),
             qPrintable(dialog.Result_Text()));
    // Kept in the settings file, without a password.
    QCOMPARE(dialog.Save(), QString());
    const QMap<QString, QString> saved = home.Read_Settings();
    QCOMPARE(saved.value("Engine"), QString("postgresql"));
    QCOMPARE(saved.value("Database"), server.database);
    QCOMPARE(saved.value("SSL_Mode"), QString("disable"));
    QVERIFY(!File_Bytes(home.Settings_Path()).toLower().contains("password"));
    const History_Connection read = History_Connection::From_Settings(TSettingsStore());
    QCOMPARE(read.host, server.host);
    QCOMPARE(read.user, server.user);
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
