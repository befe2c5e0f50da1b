#include "history.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <cmath>

namespace
{
QString Tr(const char *text)
{
    return QCoreApplication::translate("THistory", text);
}

// Schema version 1: the instruments, their calibrations and every point.
const char *const version_1[] = {
    "CREATE TABLE instruments ("
    " id INTEGER PRIMARY KEY,"
    " serial TEXT NOT NULL UNIQUE,"
    " model TEXT,"
    " owner TEXT)",
    "CREATE TABLE calibrations ("
    " id INTEGER PRIMARY KEY,"
    " instrument_id INTEGER NOT NULL REFERENCES instruments(id),"
    " certificate_number TEXT NOT NULL UNIQUE,"
    " calibration_date TEXT NOT NULL,"
    " technician TEXT,"
    " reference TEXT,"
    " reference_uncertainty REAL,"
    " resolution REAL,"
    " tolerance REAL,"
    " existing_code1 TEXT,"
    " existing_code2 TEXT,"
    " new_code1 TEXT,"
    " new_code2 TEXT,"
    " uncertainty REAL,"
    " verdict_as_found TEXT,"
    " verdict_as_left TEXT,"
    " as_left_measured INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE points ("
    " calibration_id INTEGER NOT NULL REFERENCES calibrations(id) ON DELETE CASCADE,"
    " kind TEXT NOT NULL CHECK (kind IN ('found', 'predicted', 'left')),"
    " position INTEGER NOT NULL,"
    " nominal REAL,"
    " actual REAL,"
    " reading REAL,"
    " error REAL,"
    " verdict TEXT)",
    "CREATE INDEX calibrations_by_instrument ON calibrations(instrument_id, calibration_date)",
    "CREATE INDEX points_by_calibration ON points(calibration_id, kind)"};

// Version 2 keeps each certificate's own texts and plot, so that it can be
// saved again unchanged, and when it was stored.
const char *const version_2[] = {"ALTER TABLE calibrations ADD COLUMN content BLOB",
                                 "ALTER TABLE calibrations ADD COLUMN plot BLOB",
                                 "ALTER TABLE calibrations ADD COLUMN saved_at TEXT"};

struct Upgrade_Step
{
    const char *const *statements;
    std::size_t count;
};
const Upgrade_Step upgrade_steps[] = {{version_1, std::size(version_1)},
                                      {version_2, std::size(version_2)}};
static_assert(std::size(upgrade_steps) == THistory::Schema_Version,
              "one upgrade step per schema version");

// SQLite's own result codes, as Qt reports them.
bool Is_Busy(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6");
}

bool Is_Damage(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("11") || code == QLatin1String("26");
}

QString Failure(const QSqlError &error)
{
    if (Is_Busy(error))
        return Tr("another program (a second copy of this one?) kept the history busy for "
                  "more than %1 seconds")
            .arg(THistory::Busy_Wait_Ms / 1000);
    return error.text();
}

QVariant Real(double value)
{
    return std::isfinite(value) ? QVariant(value) : QVariant(QVariant::Double);
}

double Real_Of(const QVariant &value)
{
    return value.isNull() ? std::nan("") : value.toDouble();
}

// Runs a statement; on failure keeps its error.
bool Exec(QSqlQuery &query, const QString &statement, QSqlError *error)
{
    if (query.exec(statement))
        return true;
    *error = query.lastError();
    return false;
}

bool Exec(QSqlQuery &query, QSqlError *error)
{
    if (query.exec())
        return true;
    *error = query.lastError();
    return false;
}
// Commits what went well, or takes all of it back: a calibration, or an
// upgrade, is there whole or not at all.
QString Finish_Transaction(const QSqlDatabase &database, bool good, QSqlError error)
{
    QSqlQuery query(database);
    if (good && Exec(query, QStringLiteral("COMMIT"), &error))
        return QString();
    query.exec(QStringLiteral("ROLLBACK"));
    return Failure(error);
}
} // namespace

THistory::THistory(const QString &path) : d_path(path)
{
    static std::atomic<int> connections{0};
    d_connection = QStringLiteral("zentrova-history-%1").arg(++connections);
}

THistory::~THistory()
{
    Close_Connection();
}

QString THistory::Path_Beside(const QString &settings_file)
{
    return QFileInfo(settings_file).absolutePath() + QStringLiteral("/History.sqlite");
}

QString THistory::Path() const
{
    return d_path;
}

QSqlDatabase THistory::Database() const
{
    return QSqlDatabase::database(d_connection, false);
}

void THistory::Close_Connection()
{
    if (!QSqlDatabase::contains(d_connection))
        return;
    QSqlDatabase::database(d_connection, false).close();
    QSqlDatabase::removeDatabase(d_connection);
    d_open = false;
}

QString THistory::Open_Connection()
{
    Close_Connection();
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d_connection);
    database.setDatabaseName(d_path);
    database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(Busy_Wait_Ms));
    if (!database.open())
        return Failure(database.lastError());
    return QString();
}

QString THistory::Open()
{
    if (d_open)
        return QString();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return Tr("Qt's SQLite driver is missing (Debian: libqt5sql5-sqlite)");
    QString failure = Open_Connection();
    if (failure.isEmpty())
        failure = Check_And_Upgrade();
    if (failure == QLatin1String("damaged"))
    {
        failure = Move_Aside();
        if (failure.isEmpty())
            failure = Open_Connection();
        if (failure.isEmpty())
            failure = Check_And_Upgrade();
    }
    if (!failure.isEmpty())
    {
        Close_Connection();
        return failure;
    }
    d_open = true;
    return QString();
}

QString THistory::Check_And_Upgrade()
{
    QSqlDatabase database = QSqlDatabase::database(d_connection, false);
    QSqlQuery query(database);
    QSqlError error;
    // A file that is not SQLite, or one that fails its own check, is
    // damaged; one that is merely busy is not.
    if (!Exec(query, QStringLiteral("PRAGMA integrity_check"), &error))
        return Is_Damage(error) ? QStringLiteral("damaged") : Failure(error);
    if (!query.next() || query.value(0).toString() != QLatin1String("ok"))
        return QStringLiteral("damaged");
    if (!Exec(query, QStringLiteral("PRAGMA user_version"), &error) || !query.next())
        return Is_Damage(error) ? QStringLiteral("damaged") : Failure(error);
    const int version = query.value(0).toInt();
    if (version > Schema_Version)
        return Tr("the history was written by a newer version of the program (schema %1)")
            .arg(version);

    // Written through a journal of its own beside the file; a kill at any
    // moment leaves the last committed state.
    if (!Exec(query, QStringLiteral("PRAGMA journal_mode=WAL"), &error))
        return Failure(error);
    Exec(query, QStringLiteral("PRAGMA synchronous=FULL"), &error);
    Exec(query, QStringLiteral("PRAGMA foreign_keys=ON"), &error);
    if (version == Schema_Version)
        return QString();

    // Every step from the file's version on, and the new version number, in
    // one transaction: a half-upgraded history cannot exist.
    if (!Exec(query, QStringLiteral("BEGIN IMMEDIATE"), &error))
        return Failure(error);
    bool good = true;
    for (int step = version; good && step < Schema_Version; ++step)
        for (std::size_t index = 0; good && index < upgrade_steps[step].count; ++index)
            good = Exec(query, QString::fromLatin1(upgrade_steps[step].statements[index]), &error);
    good =
        good && Exec(query, QStringLiteral("PRAGMA user_version=%1").arg(Schema_Version), &error);
    return Finish_Transaction(database, good, error);
}

QString THistory::Move_Aside()
{
    Close_Connection();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = d_path + QStringLiteral(".damaged-") + stamp;
    for (int count = 2; QFileInfo::exists(aside); ++count)
        aside = d_path + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(count);
    if (!QFile::rename(d_path, aside))
        return Tr("the history %1 is damaged and cannot be moved aside")
            .arg(QDir::toNativeSeparators(d_path));
    // Its journal files go with it, unchanged: they are part of what it held.
    for (const char *suffix : {"-wal", "-shm"})
        if (QFileInfo::exists(d_path + QLatin1String(suffix)))
            QFile::rename(d_path + QLatin1String(suffix), aside + QLatin1String(suffix));
    d_notice = Tr("The history file was damaged. It was moved, unchanged, to %1, and a new "
                  "history was started.")
                   .arg(QDir::toNativeSeparators(aside));
    return QString();
}

QString THistory::Take_Notice()
{
    return std::exchange(d_notice, QString());
}

QString THistory::Store(const History_Record &record)
{
    const QString failure = Open();
    if (!failure.isEmpty())
        return failure;
    QSqlDatabase database = Database();
    QSqlQuery query(database);
    QSqlError error;
    if (!Exec(query, QStringLiteral("BEGIN IMMEDIATE"), &error))
        return Failure(error);

    bool good = query.prepare(QStringLiteral(
        "INSERT INTO instruments (serial, model, owner) VALUES (?, ?, ?) "
        "ON CONFLICT (serial) DO UPDATE SET model = excluded.model, owner = excluded.owner"));
    query.addBindValue(record.serial);
    query.addBindValue(record.model);
    query.addBindValue(record.owner);
    good = good && Exec(query, &error);
    good = good && query.prepare(QStringLiteral("SELECT id FROM instruments WHERE serial = ?"));
    query.addBindValue(record.serial);
    good = good && Exec(query, &error) && query.next();
    const qint64 instrument = good ? query.value(0).toLongLong() : 0;

    good = good && query.prepare(QStringLiteral(
                       "INSERT INTO calibrations (instrument_id, certificate_number, "
                       "calibration_date, technician, reference, reference_uncertainty, "
                       "resolution, tolerance, existing_code1, existing_code2, new_code1, "
                       "new_code2, uncertainty, verdict_as_found, verdict_as_left, "
                       "as_left_measured, content, plot, saved_at) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant &value :
         {QVariant(instrument), QVariant(record.certificate_number),
          QVariant(record.calibration_date), QVariant(record.technician),
          QVariant(record.reference), Real(record.reference_uncertainty), Real(record.resolution),
          Real(record.tolerance), QVariant(record.existing_code1), QVariant(record.existing_code2),
          QVariant(record.new_code1), QVariant(record.new_code2), Real(record.uncertainty),
          QVariant(record.verdict_as_found), QVariant(record.verdict_as_left),
          QVariant(record.as_left_measured ? 1 : 0), QVariant(record.content),
          QVariant(record.plot_png),
          QVariant(QDateTime::currentDateTime().toString(Qt::ISODateWithMs))})
        query.addBindValue(value);
    good = good && Exec(query, &error);
    const qint64 calibration = good ? query.lastInsertId().toLongLong() : 0;

    good = good && query.prepare(QStringLiteral(
                       "INSERT INTO points (calibration_id, kind, position, nominal, actual, "
                       "reading, error, verdict) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int index = 0; good && index < record.points.size(); ++index)
    {
        const History_Point &point = record.points.at(index);
        for (const QVariant &value :
             {QVariant(calibration), QVariant(point.kind), QVariant(index), Real(point.nominal),
              Real(point.actual), Real(point.reading), Real(point.error), QVariant(point.verdict)})
            query.addBindValue(value);
        good = Exec(query, &error);
    }
    return Finish_Transaction(database, good, error);
}

QStringList THistory::Serial_Numbers()
{
    QStringList serials;
    if (!Open().isEmpty())
        return serials;
    QSqlQuery query(Database());
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT serial FROM instruments ORDER BY serial")))
        while (query.next())
            serials << query.value(0).toString();
    return serials;
}

Last_Calibration THistory::Last_For(const QString &serial)
{
    Last_Calibration last;
    if (!Open().isEmpty())
        return last;
    QSqlQuery query(Database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT c.id, c.calibration_date, c.certificate_number, c.new_code1, c.new_code2, "
        "c.verdict_as_left, c.as_left_measured FROM calibrations c "
        "JOIN instruments i ON i.id = c.instrument_id WHERE i.serial = ? "
        "ORDER BY c.calibration_date DESC, c.id DESC LIMIT 1"));
    query.addBindValue(serial);
    if (!query.exec() || !query.next())
        return last;
    last.found = true;
    last.id = query.value(0).toLongLong();
    last.calibration_date = query.value(1).toString();
    last.certificate_number = query.value(2).toString();
    last.new_code1 = query.value(3).toString();
    last.new_code2 = query.value(4).toString();
    last.verdict_as_left = query.value(5).toString();
    const QString kind =
        query.value(6).toInt() ? QStringLiteral("left") : QStringLiteral("predicted");

    query.prepare(QStringLiteral("SELECT nominal, actual, reading, error, verdict FROM points "
                                 "WHERE calibration_id = ? AND kind = ? ORDER BY position"));
    query.addBindValue(last.id);
    query.addBindValue(kind);
    if (query.exec())
        while (query.next())
            last.as_left << History_Point{kind,
                                          Real_Of(query.value(0)),
                                          Real_Of(query.value(1)),
                                          Real_Of(query.value(2)),
                                          Real_Of(query.value(3)),
                                          query.value(4).toString()};
    return last;
}

int THistory::Certificates_On(const QString &serial, const QString &date)
{
    if (!Open().isEmpty())
        return 0;
    QSqlQuery query(Database());
    query.prepare(QStringLiteral("SELECT count(*) FROM calibrations c JOIN instruments i ON "
                                 "i.id = c.instrument_id WHERE i.serial = ? AND "
                                 "c.calibration_date = ?"));
    query.addBindValue(serial);
    query.addBindValue(date);
    return query.exec() && query.next() ? query.value(0).toInt() : 0;
}

bool THistory::Certificate_Of(qint64 calibration_id, QByteArray *content, QByteArray *plot_png)
{
    if (!Open().isEmpty())
        return false;
    QSqlQuery query(Database());
    query.prepare(QStringLiteral("SELECT content, plot FROM calibrations WHERE id = ?"));
    query.addBindValue(calibration_id);
    if (!query.exec() || !query.next() || query.value(0).isNull())
        return false;
    *content = query.value(0).toByteArray();
    *plot_png = query.value(1).toByteArray();
    return true;
}

Drift Compute_Drift(const QList<History_Point> &found_now, const QList<History_Point> &left_last)
{
    Drift drift;
    for (const History_Point &found : found_now)
    {
        if (!std::isfinite(found.nominal) || !std::isfinite(found.error))
            continue;
        for (const History_Point &left : left_last)
            if (std::isfinite(left.nominal) && std::isfinite(left.error) &&
                std::fabs(left.nominal - found.nominal) < 1e-9)
            {
                const double change = found.error - left.error;
                drift.points << qMakePair(found.nominal, change);
                if (std::fabs(change) > std::fabs(drift.largest))
                    drift.largest = change;
                break;
            }
    }
    return drift;
}
