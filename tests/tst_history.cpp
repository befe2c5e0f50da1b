#include "history.h"
#include "historydialog.h"
#include "recordhelpers.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>

// Every instrument's calibrations, kept in a database that never loses one.
class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void two_certificates_for_one_serial();
    void mistyped_code_is_named();
    void damaged_file_is_kept_aside_data();
    void damaged_file_is_kept_aside();
    void older_schema_is_upgraded();
    void history_failures_keep_the_certificate_data();
    void history_failures_keep_the_certificate();
    void kill_during_a_save_leaves_it_whole();
};

namespace
{
QString History_Path(const Home_Folder &home)
{
    return home.Path() + "/.zentrova/History.sqlite";
}

QString History_Words(const TRecordDialog &record)
{
    return Named<QLabel>(record, "Instrument history")->text();
}

// A raw connection, as another program (or this test) has one.
class Raw_Connection
{
public:
    explicit Raw_Connection(const QString &path)
    {
        QSqlDatabase database = QSqlDatabase::addDatabase("QSQLITE", "raw");
        database.setDatabaseName(path);
        database.open();
    }
    ~Raw_Connection()
    {
        QSqlDatabase::database("raw", false).close();
        QSqlDatabase::removeDatabase("raw");
    }
    Raw_Connection(const Raw_Connection &) = delete;
    Raw_Connection &operator=(const Raw_Connection &) = delete;
    QVariant Value(const QString &statement) const
    {
        QSqlQuery query(QSqlDatabase::database("raw"));
        return query.exec(statement) && query.next() ? query.value(0) : QVariant();
    }
    bool Exec(const QString &statement) const
    {
        QSqlQuery query(QSqlDatabase::database("raw"));
        return query.exec(statement);
    }
};

QByteArray File_Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

void TestHistory::two_certificates_for_one_serial()
{
    Home_Folder home;
    home.Write_Settings(Worked_Samples() + Record_Group());
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TRecordDialog *record = Open_Record(dialog);
    QCOMPARE(record->Save_Certificate(home.Path() + "/first.pdf"), QString());
    Retype(Field(*Table(dialog), 0, Reading_Column), "15.25");
    QCOMPARE(record->Save_Certificate(home.Path() + "/second.pdf"), QString());

    const QString date = QDate::currentDate().toString("yyyyMMdd");
    THistory history(History_Path(home));
    QCOMPARE(history.Open(), QString());
    QCOMPARE(history.Serial_Numbers(), QStringList{"KX-0042"});
    const Last_Calibration last = history.Last_For("KX-0042");
    QVERIFY(last.found);
    QCOMPARE(last.certificate_number, "KX-0042-" + date + "-2");
    QCOMPARE(last.as_left.size(), 3); // predicted, as none were measured
    QVERIFY(History_Words(*record).contains("KX-0042-" + date + "-2"));

    // Both are listed, newest first, and the first one's certificate comes
    // back unchanged.
    THistoryDialog view(&history, nullptr);
    view.Set_Filter("KX-00");
    QCOMPARE(view.Row_Count(), 2);
    view.Set_Filter("KX-1");
    QCOMPARE(view.Row_Count(), 0);
    view.Set_Filter("KX-0042");
    const QString csv = home.Path() + "/history.csv";
    QCOMPARE(view.Export_Csv(csv), QString());
    const QList<QByteArray> lines = File_Bytes(csv).trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(1).contains("KX-0042-" + date.toLatin1() + "-2"));
    QCOMPARE(view.Save_Certificate_Again(home.Path() + "/again.pdf"), QString());
    QVERIFY(QFile::exists(home.Path() + "/again.pdf"));
}

void TestHistory::mistyped_code_is_named()
{
    Home_Folder home;
    home.Write_Settings(Worked_Samples() + Record_Group());
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TRecordDialog *record = Open_Record(dialog);
    QCOMPARE(record->Save_Certificate(home.Path() + "/first.pdf"), QString());
    // The codes left were 27A8 / FE59; one digit of Code 2 is mistyped now.
    Retype(Code_Field(dialog, 1), "27A8");
    Retype(Code_Field(dialog, 2), "FE5A");
    const QString words = History_Words(*record);
    QVERIFY2(words.contains("Existing Code 2 is FE5A; the last calibration left FE59"),
             qPrintable(words));
    QVERIFY(!words.contains("Existing Code 1 is"));
    // The same samples as found again, against the errors predicted as left
    // last time (0.008, -0.017, 0.008).
    QVERIFY2(words.contains("15: 0.192, 20: 0.117, 25: 0.042; the largest 0.192"),
             qPrintable(words));
}

void TestHistory::damaged_file_is_kept_aside_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("not an SQLite file") << "text";
    QTest::newRow("a page overwritten") << "page";
}

void TestHistory::damaged_file_is_kept_aside()
{
    QFETCH(QString, damage);
    Home_Folder home;
    home.Write_Settings(Worked_Samples() + Record_Group());
    const QString path = History_Path(home);
    if (damage == "text")
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            QByteArray("these are not the calibrations you are looking for\n").repeated(200));
    }
    else
    {
        {
            THistory history(path);
            History_Record stored;
            stored.serial = "KX-1";
            stored.certificate_number = "KX-1-20260101-1";
            stored.calibration_date = "2026-01-01";
            for (int index = 0; index < 400; ++index)
                stored.points << History_Point{"found", 1.0 * index, 1.0, 1.0, 0.0, "Pass"};
            QCOMPARE(history.Store(stored), QString());
        }
        {
            Raw_Connection raw(path); // folds the journal into the file
            raw.Exec("PRAGMA wal_checkpoint(TRUNCATE)");
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.size() > 4 * 4096);
        // Pages 2 and 3 whole, headers included.
        file.seek(4096);
        file.write(QByteArray(2 * 4096, '\xA5'));
    }
    const QByteArray damaged = File_Bytes(path);

    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TRecordDialog *record = Open_Record(dialog);
    // The calculator works throughout, and the calibration is stored anew.
    QCOMPARE(Results(dialog).at(0), QStringLiteral("27A8"));
    QCOMPARE(record->Save_Certificate(home.Path() + "/c.pdf"), QString());
    const QStringList aside =
        QDir(home.Path() + "/.zentrova").entryList({"History.sqlite.damaged-*"}, QDir::Files);
    QCOMPARE(aside.size(), 1);
    QCOMPARE(File_Bytes(home.Path() + "/.zentrova/" + aside.first()), damaged);
    // Told once, where it went.
    QVERIFY2(History_Words(*record).contains(aside.first()), qPrintable(History_Words(*record)));
    THistory history(path);
    QCOMPARE(history.Open(), QString());
    QVERIFY(history.Last_For("KX-0042").found);
}

void TestHistory::older_schema_is_upgraded()
{
    Home_Folder home;
    QDir(home.Path()).mkpath(".zentrova");
    const QString path = History_Path(home);
    {
        // Schema version 1, as docs/history.md gives it.
        Raw_Connection raw(path);
        for (const char *statement :
             {"CREATE TABLE instruments (id INTEGER PRIMARY KEY, serial TEXT NOT NULL UNIQUE, "
              "model TEXT, owner TEXT)",
              "CREATE TABLE calibrations (id INTEGER PRIMARY KEY, instrument_id INTEGER NOT NULL "
              "REFERENCES instruments(id), certificate_number TEXT NOT NULL UNIQUE, "
              "calibration_date TEXT NOT NULL, technician TEXT, reference TEXT, "
              "reference_uncertainty REAL, resolution REAL, tolerance REAL, existing_code1 TEXT, "
              "existing_code2 TEXT, new_code1 TEXT, new_code2 TEXT, uncertainty REAL, "
              "verdict_as_found TEXT, verdict_as_left TEXT, as_left_measured INTEGER NOT NULL "
              "DEFAULT 0)",
              "CREATE TABLE points (calibration_id INTEGER NOT NULL REFERENCES calibrations(id) "
              "ON DELETE CASCADE, kind TEXT NOT NULL CHECK (kind IN ('found', 'predicted', "
              "'left')), position INTEGER NOT NULL, nominal REAL, actual REAL, reading REAL, "
              "error REAL, verdict TEXT)",
              "INSERT INTO instruments VALUES (1, 'KX-OLD', 'KX310', 'Lab')",
              "INSERT INTO calibrations (id, instrument_id, certificate_number, calibration_date, "
              "new_code1, new_code2) VALUES (1, 1, 'KX-OLD-20250101-1', '2025-01-01', '2755', "
              "'FF00')",
              "PRAGMA user_version=1"})
            QVERIFY2(raw.Exec(statement), statement);
    }
    THistory history(path);
    QCOMPARE(history.Open(), QString());
    const Last_Calibration old = history.Last_For("KX-OLD");
    QVERIFY(old.found);
    QCOMPARE(old.new_code2, QStringLiteral("FF00"));
    History_Record newer;
    newer.serial = "KX-OLD";
    newer.certificate_number = "KX-OLD-20261207-1";
    newer.calibration_date = "2026-12-07";
    newer.content = "{}";
    QCOMPARE(history.Store(newer), QString());
    QCOMPARE(history.Last_For("KX-OLD").certificate_number, QStringLiteral("KX-OLD-20261207-1"));
    Raw_Connection raw(path);
    QCOMPARE(raw.Value("PRAGMA user_version").toInt(), THistory::Schema_Version);
}

void TestHistory::history_failures_keep_the_certificate_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("said");
    QTest::newRow("a second copy holds the history") << "busy"
                                                     << "busy for more than 2 seconds";
    QTest::newRow("the folder cannot be written") << "immutable"
                                                  << "not kept in the history";
}

void TestHistory::history_failures_keep_the_certificate()
{
    QFETCH(QString, failure);
    QFETCH(QString, said);
    Home_Folder home;
    home.Write_Settings(Worked_Samples() + Record_Group());
    const QString folder = home.Path() + "/.zentrova";
    QScopedPointer<Raw_Connection> other;
    if (failure == "busy")
    {
        THistory(History_Path(home)).Open();
        other.reset(new Raw_Connection(History_Path(home)));
        QVERIFY(other->Exec("BEGIN EXCLUSIVE"));
    }
    else if (QProcess::execute("chattr", {"+i", folder}) != 0)
        QSKIP("chattr +i is not allowed here");
    const auto undo = qScopeGuard([&] { QProcess::execute("chattr", {"-i", folder}); });

    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TRecordDialog *record = Open_Record(dialog);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(record->Save_Certificate(home.Path() + "/c.pdf"), QString());
    QVERIFY(timer.elapsed() < 4000);
    QVERIFY(QFile::exists(home.Path() + "/c.pdf"));
    QVERIFY2(History_Words(*record).contains(said), qPrintable(History_Words(*record)));
    if (other)
    {
        // Once the other copy lets go, the next one is kept.
        other->Exec("ROLLBACK");
        QCOMPARE(record->Save_Certificate(home.Path() + "/d.pdf"), QString());
        QVERIFY(!History_Words(*record).contains(said));
    }
}

void TestHistory::kill_during_a_save_leaves_it_whole()
{
    Home_Folder home;
    const QString path = home.Path() + "/History.sqlite";
    constexpr int points = 25;
    const QString writer = QCoreApplication::applicationDirPath() + "/history_writer";
    for (int round = 0; round < 12; ++round)
    {
        QProcess child;
        child.start(writer, {path, QString::number(points)});
        QVERIFY(child.waitForReadyRead(10000)); // the first calibration is in
        QTest::qSleep(QRandomGenerator::global()->bounded(1, 120));
        child.kill();
        QVERIFY(child.waitForFinished(5000));

        THistory history(path);
        QCOMPARE(history.Open(), QString()); // not damaged: nothing moved aside
        QVERIFY(!QFileInfo::exists(path + ".damaged"));
        Raw_Connection raw(path);
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

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
