#include "history.h"

#include "settingsstore.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <utility>

namespace
{
QString Tr(const char *text)
{
    return QCoreApplication::translate("THistory", text);
}

// The schema, step by step. A step's statements are the same on both
// engines but for the column types, which stand as {ID}, {REF}, {REAL} and
// {BLOB}; the version number is kept in `PRAGMA user_version` on SQLite and
// in the table schema_version on a server.

// Version 1: the instruments, their calibrations and every point.
const char *const version_1[] = {
    "CREATE TABLE instruments ("
    " id {ID},"
    " serial TEXT NOT NULL UNIQUE,"
    " model TEXT,"
    " owner TEXT)",
    "CREATE TABLE calibrations ("
    " id {ID},"
    " instrument_id {REF} NOT NULL REFERENCES instruments(id),"
    " certificate_number TEXT NOT NULL UNIQUE,"
    " calibration_date TEXT NOT NULL,"
    " technician TEXT,"
    " reference TEXT,"
    " reference_uncertainty {REAL},"
    " resolution {REAL},"
    " tolerance {REAL},"
    " existing_code1 TEXT,"
    " existing_code2 TEXT,"
    " new_code1 TEXT,"
    " new_code2 TEXT,"
    " uncertainty {REAL},"
    " verdict_as_found TEXT,"
    " verdict_as_left TEXT,"
    " as_left_measured INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE points ("
    " calibration_id {REF} NOT NULL REFERENCES calibrations(id) ON DELETE CASCADE,"
    " kind TEXT NOT NULL CHECK (kind IN ('found', 'predicted', 'left')),"
    " position INTEGER NOT NULL,"
    " nominal {REAL},"
    " actual {REAL},"
    " reading {REAL},"
    " error {REAL},"
    " verdict TEXT)",
    "CREATE INDEX calibrations_by_instrument ON calibrations(instrument_id, calibration_date)",
    "CREATE INDEX points_by_calibration ON points(calibration_id, kind)"};

// Version 2 keeps each certificate's own texts and plot, so that it can be
// saved again unchanged, and when it was stored.
const char *const version_2[] = {"ALTER TABLE calibrations ADD COLUMN content {BLOB}",
                                 "ALTER TABLE calibrations ADD COLUMN plot {BLOB}",
                                 "ALTER TABLE calibrations ADD COLUMN saved_at TEXT"};

// Version 3: a calibration keeps the model and owner it was certified with
// (the instrument's row held only the latest, which rewrote the past), its
// own id (issued once), the certificate an amendment replaces, its issue
// date and who approved it. Of the calibrations stored before, only each
// instrument's latest is known to have had the instrument's model and
// owner; the others are left without rather than given someone else's.
const char *const version_3[] = {
    "ALTER TABLE calibrations ADD COLUMN calibration_uuid TEXT",
    "ALTER TABLE calibrations ADD COLUMN replaces TEXT",
    "ALTER TABLE calibrations ADD COLUMN model TEXT",
    "ALTER TABLE calibrations ADD COLUMN owner TEXT",
    "ALTER TABLE calibrations ADD COLUMN issue_date TEXT",
    "ALTER TABLE calibrations ADD COLUMN approver TEXT",
    "ALTER TABLE calibrations ADD COLUMN approver_function TEXT",
    "UPDATE calibrations SET"
    " model = (SELECT i.model FROM instruments i WHERE i.id = calibrations.instrument_id),"
    " owner = (SELECT i.owner FROM instruments i WHERE i.id = calibrations.instrument_id)"
    " WHERE id = (SELECT max(c.id) FROM calibrations c"
    " WHERE c.instrument_id = calibrations.instrument_id)",
    "CREATE UNIQUE INDEX calibrations_by_uuid ON calibrations(calibration_uuid)",
    "CREATE INDEX calibrations_by_date ON calibrations(calibration_date, id)",
    // Completion ignores case, and finds the serial numbers by this index.
    "CREATE INDEX instruments_by_folded_serial ON instruments({FOLDED_SERIAL})",
    // The certificates' texts (and version 2's plots) in a table of their
    // own: a calibration's row is a few hundred bytes again, and the list,
    // its filter and the last calibration read no certificate to find one.
    "CREATE TABLE certificates ("
    " calibration_id {REF} PRIMARY KEY REFERENCES calibrations(id) ON DELETE CASCADE,"
    " content {BLOB},"
    " plot {BLOB})",
    "INSERT INTO certificates (calibration_id, content, plot) SELECT id, content, plot"
    " FROM calibrations WHERE content IS NOT NULL OR plot IS NOT NULL",
    "UPDATE calibrations SET content = NULL, plot = NULL"
    " WHERE content IS NOT NULL OR plot IS NOT NULL"};

struct Upgrade_Step
{
    const char *const *statements;
    std::size_t count;
};
const Upgrade_Step upgrade_steps[] = {{version_1, std::size(version_1)},
                                      {version_2, std::size(version_2)},
                                      {version_3, std::size(version_3)}};
static_assert(std::size(upgrade_steps) == THistory::Schema_Version,
              "one upgrade step per schema version");

// Any one server serialises its upgrades with this advisory lock.
constexpr qint64 upgrade_lock = 0x5a454e54524f5641; // "ZENTROVA"

QVariant Real(double value)
{
    return std::isfinite(value) ? QVariant(value) : QVariant(QVariant::Double);
}

double Real_Of(const QVariant &value)
{
    return value.isNull() ? std::nan("") : value.toDouble();
}

QVariant Text(const QString &text)
{
    return text.isEmpty() ? QVariant(QVariant::String) : QVariant(text);
}

// Issuing and copying a bench's history store a calibration alike.
const char insert_calibration_statement[] =
    "INSERT INTO calibrations (instrument_id, certificate_number, calibration_date, technician, "
    "reference, reference_uncertainty, resolution, tolerance, existing_code1, existing_code2, "
    "new_code1, new_code2, uncertainty, verdict_as_found, verdict_as_left, as_left_measured, "
    "saved_at, calibration_uuid, replaces, model, owner, issue_date, approver, "
    "approver_function) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
    "?, ?, ?) RETURNING id";
const char insert_point_statement[] =
    "INSERT INTO points (calibration_id, kind, position, nominal, "
    "actual, reading, error, verdict) VALUES (?, ?, ?, ?, ?, ?, ?, ?)";

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

bool Prepare(QSqlQuery &query, const QString &statement, const QVariantList &values,
             QSqlError *error)
{
    if (!query.prepare(statement))
    {
        *error = query.lastError();
        return false;
    }
    for (const QVariant &value : values)
        query.addBindValue(value);
    return Exec(query, error);
}

// LIKE's own characters in a text taken literally; '\' escapes.
QString Like_Literal(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    text.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return text;
}

// The free space where a file is, to name a full disk as such.
bool Disk_Full(const QString &path)
{
    QFileInfo info(path);
    QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    while (!QFileInfo::exists(folder) && folder.size() > 1)
        folder = QFileInfo(folder).absolutePath();
    const QStorageInfo storage(folder);
    return storage.isValid() && storage.bytesAvailable() < 1024 * 1024;
}

bool Is_Sqlite_Code(const QSqlError &error, std::initializer_list<int> codes)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok && std::find(codes.begin(), codes.end(), code) != codes.end();
}

// A number's digits after prefix, or 0 where it is not prefix and digits.
int Count_After(const QString &number, const QString &prefix)
{
    if (!number.startsWith(prefix))
        return 0;
    const QStringRef rest = number.midRef(prefix.size());
    bool ok = false;
    const int count = rest.toInt(&ok);
    for (const QChar character : rest)
        if (character < QLatin1Char('0') || character > QLatin1Char('9'))
            return 0;
    return ok ? count : 0;
}

QString Base_Of(const QString &number)
{
    static const QRegularExpression amendment(QStringLiteral("-R[0-9]+$"));
    QString base = number;
    base.remove(amendment);
    return base;
}

QString Aside_Name(const QString &path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".damaged-") + stamp;
    for (int count = 2; QFileInfo::exists(aside) || QFileInfo::exists(aside + "-wal"); ++count)
        aside = path + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(count);
    return aside;
}

const char *const sqlite_companions[] = {"-wal", "-shm", "-journal"};

History_Point Point_Of(const QSqlQuery &query, int first, const QString &kind)
{
    return History_Point{kind,
                         Real_Of(query.value(first)),
                         Real_Of(query.value(first + 1)),
                         Real_Of(query.value(first + 2)),
                         Real_Of(query.value(first + 3)),
                         query.value(first + 4).toString()};
}
} // namespace

// ---------------------------------------------------------------------------

History_Connection History_Connection::From_Settings(const TSettingsStore &store)
{
    History_Connection connection;
    connection.sqlite_path = THistory::Path_Beside(store.File_Name());
    const auto value = [&store](const QString &key)
    { return store.Value(group + QLatin1Char('/') + key).toString().trimmed(); };
    if (value(engine_key).compare(QLatin1String("postgresql"), Qt::CaseInsensitive) == 0)
        connection.engine = Engine::PostgreSQL;
    connection.host = value(host_key);
    bool ok = false;
    const int port = value(port_key).toInt(&ok);
    if (ok && port > 0 && port < 65536)
        connection.port = port;
    connection.database = value(database_key);
    connection.user = value(user_key);
    connection.ssl_mode = value(ssl_mode_key);
    if (connection.ssl_mode.isEmpty())
        connection.ssl_mode = Default_Ssl_Mode(connection.host);
    return connection;
}

void History_Connection::Save(QSettings &settings) const
{
    settings.beginGroup(group);
    settings.setValue(engine_key, engine == Engine::PostgreSQL ? QStringLiteral("postgresql")
                                                               : QStringLiteral("sqlite"));
    settings.setValue(host_key, host);
    settings.setValue(port_key, port);
    settings.setValue(database_key, database);
    settings.setValue(user_key, user);
    settings.setValue(ssl_mode_key, ssl_mode);
    settings.endGroup();
}

QString History_Connection::Default_Ssl_Mode(const QString &host)
{
    const QString name = host.trimmed().toLower();
    const bool here = name.isEmpty() || name.startsWith(QLatin1Char('/')) ||
                      name == QLatin1String("localhost") || name == QLatin1String("::1") ||
                      name.startsWith(QLatin1String("127."));
    return here ? QStringLiteral("prefer") : QStringLiteral("require");
}

QString History_Connection::Location() const
{
    if (engine == Engine::SQLite)
        return QDir::toNativeSeparators(sqlite_path);
    const QString server = host.isEmpty() ? Tr("this machine") : host;
    return Tr("database %1 on %2, port %3").arg(database, server).arg(port);
}

THistory::THistory(const History_Connection &connection) : d_connection(connection)
{
    static std::atomic<int> connections{0};
    d_name = QStringLiteral("zentrova-history-%1").arg(++connections);
}

THistory::~THistory()
{
    Close();
}

QString THistory::Path_Beside(const QString &settings_file)
{
    return QFileInfo(settings_file).absolutePath() + QStringLiteral("/History.sqlite");
}

const History_Connection &THistory::Connection() const
{
    return d_connection;
}

QString THistory::Location() const
{
    return d_connection.Location();
}

void THistory::Close()
{
    d_open = false;
    if (!QSqlDatabase::contains(d_name))
        return;
    QSqlDatabase::database(d_name, false).close();
    QSqlDatabase::removeDatabase(d_name);
}

bool THistory::Is_Open() const
{
    return d_open;
}

QString THistory::Take_Notice()
{
    return std::exchange(d_notice, QString());
}

QString THistory::Sql(const char *statement) const
{
    QString text = QString::fromLatin1(statement);
    const bool server = d_connection.engine == History_Connection::Engine::PostgreSQL;
    text.replace(QLatin1String("{ID}"), server ? QLatin1String("BIGINT GENERATED BY DEFAULT AS "
                                                               "IDENTITY PRIMARY KEY")
                                               : QLatin1String("INTEGER PRIMARY KEY"));
    text.replace(QLatin1String("{REF}"),
                 server ? QLatin1String("BIGINT") : QLatin1String("INTEGER"));
    text.replace(QLatin1String("{REAL}"),
                 server ? QLatin1String("DOUBLE PRECISION") : QLatin1String("REAL"));
    text.replace(QLatin1String("{BLOB}"), server ? QLatin1String("BYTEA") : QLatin1String("BLOB"));
    text.replace(QLatin1String("{FOLDED_SERIAL}"),
                 server ? QLatin1String("lower(serial) text_pattern_ops")
                        : QLatin1String("serial COLLATE NOCASE"));
    text.replace(QLatin1String("{SERIAL_LIKE}"), server
                                                     ? QLatin1String("lower(serial) LIKE lower(?)")
                                                     : QLatin1String("serial LIKE ?"));
    // Completion and the filter ignore case on both engines.
    text.replace(QLatin1String("{LIKE}"), server ? QLatin1String("ILIKE") : QLatin1String("LIKE"));
    return text;
}

QString THistory::Unsafe_Text(const QString &text)
{
    for (const QChar character : text)
    {
        const ushort code = character.unicode();
        if (character.category() == QChar::Other_Control)
            return code == 0 ? Tr("a NUL character")
                             : Tr("a control character (U+%1)")
                                   .arg(QString::number(code, 16).toUpper().rightJustified(4, '0'));
        // Embeddings, overrides, isolates and marks reorder what follows.
        if ((code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069) ||
            code == 0x200E || code == 0x200F || code == 0x061C)
            return Tr("a bidirectional formatting character (U+%1)")
                .arg(QString::number(code, 16).toUpper());
    }
    return QString();
}

// --- Failures in words ------------------------------------------------------

bool THistory::Connection_Lost(const QSqlError &error) const
{
    if (d_connection.engine != History_Connection::Engine::PostgreSQL)
        return false;
    const QString state = error.nativeErrorCode();
    const QString text = error.databaseText();
    return error.type() == QSqlError::ConnectionError || state.startsWith(QLatin1String("08")) ||
           state.startsWith(QLatin1String("57P")) ||
           text.contains(QLatin1String("server closed the connection")) ||
           text.contains(QLatin1String("no connection to the server")) ||
           text.contains(QLatin1String("terminating connection")) ||
           text.contains(QLatin1String("could not receive data")) ||
           text.contains(QLatin1String("could not send data"));
}

QString THistory::Failure_Text(const QSqlError &error) const
{
    if (d_connection.engine == History_Connection::Engine::SQLite)
    {
        const QString path = QDir::toNativeSeparators(d_connection.sqlite_path);
        if (Is_Sqlite_Code(error, {5, 6}))
            return Tr("another program (a second copy of this one?) kept the history busy for "
                      "more than %1 seconds")
                .arg(Busy_Wait_Ms / 1000);
        if (Is_Sqlite_Code(error, {13}) ||
            (Is_Sqlite_Code(error, {10}) && Disk_Full(d_connection.sqlite_path)))
            return Tr("the disk that holds the history (%1) is full").arg(path);
        if (Is_Sqlite_Code(error, {8}))
            return Tr("the history %1 or its folder cannot be written").arg(path);
        if (Is_Sqlite_Code(error, {14}))
            return QFileInfo(d_connection.sqlite_path).isDir()
                       ? Tr("a folder stands where the history file %1 belongs").arg(path)
                       : Tr("the history %1 cannot be opened: its folder is missing or cannot "
                            "be written")
                             .arg(path);
        if (Is_Sqlite_Code(error, {10}))
            return Tr("the history %1 could not be read or written (an input/output error of "
                      "its disk)")
                .arg(path);
        return error.databaseText().isEmpty() ? error.text() : error.databaseText();
    }

    const QString state = error.nativeErrorCode();
    const QString text = error.databaseText();
    const QString server = Location();
    if (state == QLatin1String("53100") || text.contains(QLatin1String("No space left")))
        return Tr("the disk of the server (%1) is full").arg(server);
    if (state == QLatin1String("57014"))
        return Tr("the server (%1) did not answer within %2 seconds")
            .arg(server)
            .arg(Statement_Timeout_Ms / 1000);
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") ||
        state == QLatin1String("40001"))
        return Tr("the history on the server (%1) was kept busy by another bench").arg(server);
    if (state == QLatin1String("42501"))
        return Tr("the role %1 may not do this on the server (%2): %3")
            .arg(d_connection.user, server, text.trimmed());
    if (text.contains(QLatin1String("password authentication failed")))
        return Tr("the server (%1) refused the password of the user %2; libpq takes it from "
                  "~/.pgpass")
            .arg(server, d_connection.user);
    if (text.contains(QLatin1String("no password supplied")))
        return Tr("the server (%1) asks for a password, and ~/.pgpass holds none for the user %2")
            .arg(server, d_connection.user);
    if (text.contains(QLatin1String("database \"")) &&
        text.contains(QLatin1String("does not exist")))
        return Tr("the server has no database %1 (%2)").arg(d_connection.database, server);
    if (text.contains(QLatin1String("role \"")) && text.contains(QLatin1String("does not exist")))
        return Tr("the server (%1) has no user %2").arg(server, d_connection.user);
    if (text.contains(QLatin1String("pg_hba.conf")))
        return Tr("the server (%1) does not admit the user %2 from this machine")
            .arg(server, d_connection.user);
    if (text.contains(QLatin1String("SSL")))
        return Tr("the server (%1) and the SSL mode %2 do not agree: %3")
            .arg(server, d_connection.ssl_mode, text.trimmed());
    if (text.contains(QLatin1String("starting up")) ||
        text.contains(QLatin1String("shutting down")) ||
        text.contains(QLatin1String("recovery mode")))
        return Tr("the server (%1) is starting or stopping").arg(server);
    if (Connection_Lost(error) || text.contains(QLatin1String("could not connect")) ||
        text.contains(QLatin1String("connection to server")) ||
        text.contains(QLatin1String("timeout expired")) ||
        text.contains(QLatin1String("could not translate host name")))
        return Tr("the server (%1) cannot be reached: is it running, is the network there?")
            .arg(server);
    return text.trimmed().isEmpty() ? error.text() : text.trimmed();
}

// --- Opening ----------------------------------------------------------------

QString THistory::Open()
{
    if (d_open)
    {
        if (QSqlDatabase::database(d_name, false).isOpen())
            return QString();
        Close();
    }
    const QString failure =
        d_connection.engine == History_Connection::Engine::SQLite ? Open_Sqlite() : Open_Server();
    if (!failure.isEmpty())
    {
        Close();
        return failure;
    }
    d_open = true;
    return QString();
}

QString THistory::Open_Sqlite()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return Tr("Qt's SQLite driver is missing (Debian: libqt5sql5-sqlite)");
    const QString path = d_connection.sqlite_path;
    if (QFileInfo(path).isDir())
        return Tr("a folder stands where the history file %1 belongs")
            .arg(QDir::toNativeSeparators(path));
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Judged before any connection that may write touches it: what a
    // damaged history is moved aside as is what was found.
    const QString damage = Check_Sqlite_File();
    if (!damage.isEmpty())
    {
        const QString failure = Move_Aside(damage);
        if (!failure.isEmpty())
            return failure;
    }
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d_name);
    database.setDatabaseName(path);
    database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(Busy_Wait_Ms));
    if (!database.open())
        return Failure_Text(database.lastError());
    return Check_And_Upgrade();
}

// Why the file is damaged, or nothing. Its first bytes, then SQLite's own
// check through a read-only connection: immutable (nothing written, not
// even a lock) where no journal is beside it; where one is, the file alone
// is not the history, so a plain read-only connection reads both.
QString THistory::Check_Sqlite_File()
{
    const QString path = d_connection.sqlite_path;
    QFile file(path);
    if (!file.exists() || file.size() == 0)
        return QString();
    if (!file.open(QIODevice::ReadOnly))
        return QString(); // the connection says why it cannot be read
    const QByteArray header = file.read(100);
    file.close();
    if (header.size() < 100 || !header.startsWith(QByteArray("SQLite format 3\0", 16)))
        return Tr("it is not an SQLite database");

    const bool wal = QFileInfo(path + QStringLiteral("-wal")).size() > 0;
    const bool journal = QFileInfo(path + QStringLiteral("-journal")).size() > 0;
    // A rollback journal beside it is rolled back by the first connection
    // that may write, which a read-only one is not: a copy of the two is
    // checked instead, and rolled back there.
    QTemporaryDir copy_folder;
    QString checked = path;
    if (journal)
    {
        checked = copy_folder.path() + QStringLiteral("/History.sqlite");
        if (!copy_folder.isValid() || !QFile::copy(path, checked) ||
            !QFile::copy(path + QStringLiteral("-journal"), checked + QStringLiteral("-journal")))
            return QString(); // not judged: the connection says what it finds
    }
    const QString check = d_name + QStringLiteral("-check");
    QString why;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), check);
        if (journal)
            database.setDatabaseName(checked);
        else
        {
            database.setDatabaseName(
                QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                (wal ? QStringLiteral("?mode=ro") : QStringLiteral("?immutable=1")));
            database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;"
                                                      "QSQLITE_BUSY_TIMEOUT=%1")
                                           .arg(Busy_Wait_Ms));
        }
        if (database.open())
        {
            QSqlQuery query(database);
            QSqlError error;
            if (!Exec(query, QStringLiteral("PRAGMA quick_check(1)"), &error))
            {
                if (Is_Sqlite_Code(error, {11, 26}))
                    why = Tr("SQLite finds it damaged (%1)").arg(error.databaseText());
            }
            else if (query.next() && query.value(0).toString() != QLatin1String("ok"))
                why = Tr("SQLite finds it damaged (%1)").arg(query.value(0).toString());
        }
        database.close();
    }
    QSqlDatabase::removeDatabase(check);
    return why;
}

QString THistory::Move_Aside(const QString &why)
{
    const QString path = d_connection.sqlite_path;
    const QString aside = Aside_Name(path);
    if (!QFile::rename(path, aside))
        return Tr("the history %1 is damaged (%2) and cannot be moved aside")
            .arg(QDir::toNativeSeparators(path), why);
    // Its journals go with it, unchanged: they are part of what it held.
    for (const char *suffix : sqlite_companions)
        if (QFileInfo::exists(path + QLatin1String(suffix)))
            QFile::rename(path + QLatin1String(suffix), aside + QLatin1String(suffix));
    d_notice = Tr("The history file was damaged (%1). It was moved, unchanged, to %2, and a new "
                  "history was started.")
                   .arg(why, QDir::toNativeSeparators(aside));
    return QString();
}

QString THistory::Open_Server()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return Tr("Qt's PostgreSQL driver is missing (Debian: libqt5sql5-psql)");
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), d_name);
    database.setHostName(d_connection.host);
    database.setPort(d_connection.port);
    database.setDatabaseName(d_connection.database);
    database.setUserName(d_connection.user);
    // Every wait bounded: connecting, a network that goes away (keepalives,
    // and unacknowledged data given up after a few seconds).
    QStringList options{QStringLiteral("connect_timeout=%1").arg(Connect_Timeout_S),
                        QStringLiteral("application_name=zentrova-calibrator"),
                        QStringLiteral("keepalives_idle=5"),
                        QStringLiteral("keepalives_interval=2"),
                        QStringLiteral("keepalives_count=2"),
                        QStringLiteral("tcp_user_timeout=%1").arg(Statement_Timeout_Ms + 1000)};
    static const QRegularExpression ssl_mode(QStringLiteral("^[a-z-]+$"));
    if (ssl_mode.match(d_connection.ssl_mode).hasMatch())
        options << QStringLiteral("sslmode=") + d_connection.ssl_mode;
    database.setConnectOptions(options.join(QLatin1Char(';')));
    if (!database.open())
        return Failure_Text(database.lastError());
    QSqlQuery query(database);
    QSqlError error;
    for (const QString &setting :
         {QStringLiteral("SET statement_timeout = %1").arg(Statement_Timeout_Ms),
          QStringLiteral("SET lock_timeout = %1").arg(Statement_Timeout_Ms),
          QStringLiteral("SET idle_in_transaction_session_timeout = %1")
              .arg(4 * Statement_Timeout_Ms)})
        if (!Exec(query, setting, &error))
            return Failure_Text(error);
    return Check_And_Upgrade();
}

QString THistory::Check_And_Upgrade()
{
    QSqlDatabase database = QSqlDatabase::database(d_name, false);
    QSqlQuery query(database);
    QSqlError error;
    const bool server = d_connection.engine == History_Connection::Engine::PostgreSQL;
    const auto read_version = [&](int *version)
    {
        if (!server)
        {
            if (!Exec(query, QStringLiteral("PRAGMA user_version"), &error) || !query.next())
                return false;
            *version = query.value(0).toInt();
            return true;
        }
        if (!Exec(query, QStringLiteral("SELECT to_regclass('schema_version') IS NOT NULL"),
                  &error) ||
            !query.next())
            return false;
        *version = 0;
        if (!query.value(0).toBool())
            return true;
        if (!Exec(query, QStringLiteral("SELECT max(version) FROM schema_version"), &error))
            return false;
        *version = query.next() ? query.value(0).toInt() : 0;
        return true;
    };

    int version = 0;
    if (!read_version(&version))
        return Failure_Text(error);
    const QString too_new =
        Tr("the history (%1) holds schema %2, written by a newer version of this program; this "
           "one knows schema %3 and leaves it as it is");
    if (version > Schema_Version)
        return too_new.arg(Location()).arg(version).arg(Schema_Version);

    if (!server)
    {
        // Written through a journal of its own beside the file; a kill at
        // any moment leaves the last committed state.
        if (!Exec(query, QStringLiteral("PRAGMA journal_mode=WAL"), &error))
            return Failure_Text(error);
        Exec(query, QStringLiteral("PRAGMA synchronous=FULL"), &error);
        Exec(query, QStringLiteral("PRAGMA foreign_keys=ON"), &error);
    }
    if (version == Schema_Version)
        return QString();

    // Every step from the history's version on, and the new version number,
    // in one transaction: a half-upgraded history cannot exist.
    if (!Exec(query, server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"), &error))
        return Failure_Text(error);
    bool good = true;
    if (server)
    {
        // Two benches upgrading at once: the second finds it done.
        good = Exec(query, QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(upgrade_lock),
                    &error) &&
               read_version(&version);
        if (good && version == 0)
            good = Exec(query,
                        QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
                        &error) &&
                   Exec(query, QStringLiteral("INSERT INTO schema_version VALUES (0)"), &error);
    }
    else
        good = read_version(&version);
    if (good && version > Schema_Version)
    {
        query.exec(QStringLiteral("ROLLBACK"));
        return too_new.arg(Location()).arg(version).arg(Schema_Version);
    }
    const int from = version;
    for (int step = from; good && step < Schema_Version; ++step)
        for (std::size_t index = 0; good && index < upgrade_steps[step].count; ++index)
            good = Exec(query, Sql(upgrade_steps[step].statements[index]), &error);
    if (good)
        good =
            server
                ? Exec(query,
                       QStringLiteral("UPDATE schema_version SET version = %1").arg(Schema_Version),
                       &error)
                : Exec(query, QStringLiteral("PRAGMA user_version=%1").arg(Schema_Version), &error);
    if (good && Exec(query, QStringLiteral("COMMIT"), &error))
        return QString();
    query.exec(QStringLiteral("ROLLBACK"));
    if (server && error.nativeErrorCode() == QLatin1String("42501"))
        return from == 0
                   ? Tr("the database %1 holds no history yet, and the user %2 may not make it: "
                        "its owner role makes it once (see docs/history.md)")
                         .arg(d_connection.database, d_connection.user)
                   : Tr("the history on the server holds schema %1 and this program needs %2: its "
                        "owner role upgrades it (see docs/history.md); the user %3 may not")
                         .arg(from)
                         .arg(Schema_Version)
                         .arg(d_connection.user);
    return Failure_Text(error);
}

// --- Issuing ----------------------------------------------------------------

Issue_Result THistory::Issue(const History_Record &record)
{
    Issue_Result result;
    const auto refuse = [&result](const QString &why)
    {
        result.failure = why;
        return result;
    };
    if (record.calibration_id.trimmed().isEmpty())
        return refuse(Tr("the calibration has no id"));
    if (record.serial.trimmed().isEmpty())
        return refuse(Tr("no certificate without a serial number"));
    const QDate date = QDate::fromString(record.calibration_date, Qt::ISODate);
    if (!date.isValid())
        return refuse(Tr("the calibration date %1 is not a date").arg(record.calibration_date));
    const std::pair<const char *, const QString *> texts[] = {
        {"calibration id", &record.calibration_id},
        {"replaced certificate", &record.replaces},
        {"serial number", &record.serial},
        {"model", &record.model},
        {"owner", &record.owner},
        {"calibration date", &record.calibration_date},
        {"issue date", &record.issue_date},
        {"technician", &record.technician},
        {"reference thermometer", &record.reference},
        {"approver", &record.approver},
        {"approver's function", &record.approver_function},
        {"existing code 1", &record.existing_code1},
        {"existing code 2", &record.existing_code2},
        {"new code 1", &record.new_code1},
        {"new code 2", &record.new_code2},
        {"verdict as found", &record.verdict_as_found},
        {"verdict as left", &record.verdict_as_left}};
    for (const auto &[name, text] : texts)
    {
        const QString unsafe = Unsafe_Text(*text);
        if (!unsafe.isEmpty())
            return refuse(Tr("the %1 holds %2").arg(Tr(name), unsafe));
    }
    for (const History_Point &point : record.points)
        if (!Unsafe_Text(point.kind).isEmpty() || !Unsafe_Text(point.verdict).isEmpty())
            return refuse(Tr("a point's verdict holds a control character"));
    QJsonParseError parse_error;
    if (!QJsonDocument::fromJson(record.content, &parse_error).isObject())
        return refuse(
            Tr("the certificate's content is not readable (%1)").arg(parse_error.errorString()));

    // A number taken by another bench in the meantime (the unique
    // constraint), or a connection lost and made again: counted anew.
    for (int attempt = 0; attempt < 6; ++attempt)
    {
        const QString failure = Open();
        if (!failure.isEmpty())
            return refuse(failure);
        bool retry = false;
        result = Issue_Once(record, &retry);
        if (!retry)
            return result;
    }
    return result;
}

Issue_Result THistory::Issue_Once(const History_Record &record, bool *retry)
{
    Issue_Result result;
    QSqlDatabase database = QSqlDatabase::database(d_name, false);
    const bool server = d_connection.engine == History_Connection::Engine::PostgreSQL;
    QSqlQuery query(database);
    query.setForwardOnly(true);
    QSqlError error;
    const auto fail = [&](const QSqlError &cause)
    {
        query.exec(QStringLiteral("ROLLBACK"));
        result.number.clear();
        if (Connection_Lost(cause))
        {
            Close();
            *retry = true;
        }
        else if (server && cause.nativeErrorCode() == QLatin1String("23505"))
            *retry = true;
        result.failure = Failure_Text(cause);
        return result;
    };
    // On SQLite the write lock is taken at once: the count below is this
    // transaction's alone. On a server two benches may count alike; the
    // unique constraint makes the second count again.
    if (!Exec(query, server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"), &error))
        return fail(error);
    // Benches issuing for one serial number on a server take turns, so that
    // they seldom need to count again; other serials do not wait.
    if (server && !Prepare(query, QStringLiteral("SELECT pg_advisory_xact_lock(7, hashtext(?))"),
                           {record.serial}, &error))
        return fail(error);

    if (!Prepare(query,
                 QStringLiteral("SELECT certificate_number FROM calibrations "
                                "WHERE calibration_uuid = ?"),
                 {record.calibration_id}, &error))
        return fail(error);
    if (query.next())
    {
        result.number = query.value(0).toString();
        result.issued_before = true;
        query.finish();
        query.exec(QStringLiteral("ROLLBACK"));
        return result;
    }

    if (!Prepare(query,
                 QStringLiteral("INSERT INTO instruments (serial) VALUES (?) "
                                "ON CONFLICT (serial) DO NOTHING"),
                 {record.serial}, &error) ||
        !Prepare(query, QStringLiteral("SELECT id FROM instruments WHERE serial = ?"),
                 {record.serial}, &error))
        return fail(error);
    if (!query.next())
        return fail(query.lastError());
    const qint64 instrument = query.value(0).toLongLong();

    if (!Prepare(query,
                 QStringLiteral("SELECT certificate_number FROM calibrations "
                                "WHERE instrument_id = ?"),
                 {instrument}, &error))
        return fail(error);
    QStringList numbers;
    while (query.next())
        numbers << query.value(0).toString();

    const QString day = QDate::fromString(record.calibration_date, Qt::ISODate)
                            .toString(QStringLiteral("yyyyMMdd"));
    int count = 0;
    if (record.replaces.isEmpty())
    {
        const QString prefix = record.serial + QLatin1Char('-') + day + QLatin1Char('-');
        for (const QString &number : numbers)
            count = std::max(count, Count_After(number, prefix));
        result.number = prefix + QString::number(count + 1);
    }
    else
    {
        if (!numbers.contains(record.replaces))
        {
            query.exec(QStringLiteral("ROLLBACK"));
            result.failure = Tr("the certificate %1 that this one replaces is not one of %2 in "
                                "the history")
                                 .arg(record.replaces, record.serial);
            return result;
        }
        const QString base = Base_Of(record.replaces);
        const QString prefix = base + QStringLiteral("-R");
        for (const QString &number : numbers)
            count = std::max(count, Count_After(number, prefix));
        result.number = prefix + QString::number(count + 1);
    }

    QJsonObject content = QJsonDocument::fromJson(record.content).object();
    content.insert(QStringLiteral("number"), result.number);
    const QByteArray content_json = QJsonDocument(content).toJson(QJsonDocument::Compact);

    const QVariantList values{instrument,
                              result.number,
                              record.calibration_date,
                              Text(record.technician),
                              Text(record.reference),
                              Real(record.reference_uncertainty),
                              Real(record.resolution),
                              Real(record.tolerance),
                              Text(record.existing_code1),
                              Text(record.existing_code2),
                              Text(record.new_code1),
                              Text(record.new_code2),
                              Real(record.uncertainty),
                              Text(record.verdict_as_found),
                              Text(record.verdict_as_left),
                              record.as_left_measured ? 1 : 0,
                              QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs),
                              record.calibration_id,
                              Text(record.replaces),
                              Text(record.model),
                              Text(record.owner),
                              Text(record.issue_date),
                              Text(record.approver),
                              Text(record.approver_function)};
    if (!Prepare(query, QLatin1String(insert_calibration_statement), values, &error))
        return fail(error);
    if (!query.next())
        return fail(query.lastError());
    const qint64 calibration = query.value(0).toLongLong();
    query.finish();
    if (!Prepare(query,
                 QStringLiteral("INSERT INTO certificates (calibration_id, content) VALUES (?, ?)"),
                 {calibration, content_json}, &error))
        return fail(error);

    if (!query.prepare(QLatin1String(insert_point_statement)))
        return fail(query.lastError());
    for (int index = 0; index < record.points.size(); ++index)
    {
        const History_Point &point = record.points.at(index);
        for (const QVariant &value :
             {QVariant(calibration), QVariant(point.kind), QVariant(index), Real(point.nominal),
              Real(point.actual), Real(point.reading), Real(point.error), Text(point.verdict)})
            query.addBindValue(value);
        if (!Exec(query, &error))
            return fail(error);
    }
    if (!Exec(query, QStringLiteral("COMMIT"), &error))
        return fail(error);
    return result;
}

// --- Reading ----------------------------------------------------------------

QStringList THistory::Complete(const QString &prefix, int limit)
{
    QStringList serials;
    if (!Open().isEmpty())
        return serials;
    QSqlQuery query(QSqlDatabase::database(d_name, false));
    query.setForwardOnly(true);
    QSqlError error;
    if (Prepare(query,
                Sql("SELECT serial FROM instruments WHERE {SERIAL_LIKE} ESCAPE '\\' "
                    "ORDER BY serial LIMIT ?"),
                {Like_Literal(prefix) + QLatin1Char('%'), limit}, &error))
        while (query.next())
            serials << query.value(0).toString();
    else if (Connection_Lost(error))
        Close();
    return serials;
}

Last_Calibration THistory::Last_For(const QString &serial, const QString &excluding_calibration_id,
                                    const QString &replaced_number)
{
    Last_Calibration last;
    if (serial.isEmpty() || !Open().isEmpty())
        return last;
    QSqlQuery query(QSqlDatabase::database(d_name, false));
    query.setForwardOnly(true);
    QSqlError error;
    if (!Prepare(query,
                 QStringLiteral(
                     "SELECT c.id, c.calibration_uuid, c.calibration_date, c.certificate_number, "
                     "c.model, c.owner, c.new_code1, c.new_code2, c.verdict_as_left, "
                     "c.as_left_measured FROM calibrations c "
                     "JOIN instruments i ON i.id = c.instrument_id WHERE i.serial = ? "
                     "AND (c.calibration_uuid IS NULL OR c.calibration_uuid <> ?) "
                     // Neither the certificate an amendment in progress replaces, nor
                     // one withdrawn since (replaced by another of the instrument).
                     "AND c.certificate_number <> ? AND NOT EXISTS (SELECT 1 FROM "
                     "calibrations r WHERE r.instrument_id = c.instrument_id AND "
                     "r.replaces = c.certificate_number) "
                     "ORDER BY c.calibration_date DESC, c.id DESC LIMIT 1"),
                 {serial,
                  QVariant(excluding_calibration_id.isNull() ? QStringLiteral("")
                                                             : excluding_calibration_id),
                  QVariant(replaced_number.isNull() ? QStringLiteral("") : replaced_number)},
                 &error) ||
        !query.next())
    {
        if (Connection_Lost(error))
            Close();
        return last;
    }
    last.found = true;
    const qint64 id = query.value(0).toLongLong();
    last.calibration_id = query.value(1).toString();
    last.calibration_date = query.value(2).toString();
    last.certificate_number = query.value(3).toString();
    last.model = query.value(4).toString();
    last.owner = query.value(5).toString();
    last.new_code1 = query.value(6).toString();
    last.new_code2 = query.value(7).toString();
    last.verdict_as_left = query.value(8).toString();
    const QString kind =
        query.value(9).toInt() ? QStringLiteral("left") : QStringLiteral("predicted");
    query.finish();
    if (Prepare(query,
                QStringLiteral("SELECT nominal, actual, reading, error, verdict FROM points "
                               "WHERE calibration_id = ? AND kind = ? ORDER BY position"),
                {id, kind}, &error))
        while (query.next())
            last.as_left << Point_Of(query, 0, kind);
    return last;
}

Stored_Certificate THistory::Certificate(const QString &number)
{
    Stored_Certificate stored;
    if (!Open().isEmpty())
        return stored;
    QSqlQuery query(QSqlDatabase::database(d_name, false));
    query.setForwardOnly(true);
    QSqlError error;
    if (!Prepare(
            query,
            QStringLiteral("SELECT c.certificate_number, t.content, t.plot FROM calibrations c "
                           "JOIN certificates t ON t.calibration_id = c.id "
                           "WHERE c.certificate_number = ?"),
            {number}, &error) ||
        !query.next() || query.value(1).isNull())
        return stored;
    stored.found = true;
    stored.number = query.value(0).toString();
    stored.content = query.value(1).toByteArray();
    stored.plot_png = query.value(2).toByteArray();
    // A content stored before the number went into it gets it here.
    QJsonObject content = QJsonDocument::fromJson(stored.content).object();
    if (!content.isEmpty() && content.value(QStringLiteral("number")).toString().isEmpty())
    {
        content.insert(QStringLiteral("number"), stored.number);
        stored.content = QJsonDocument(content).toJson(QJsonDocument::Compact);
    }
    return stored;
}

History_Page THistory::List(const History_Filter &filter, const History_Row &after, int limit)
{
    History_Page page;
    page.failure = Open();
    if (!page.failure.isEmpty())
        return page;
    QString statement = QStringLiteral(
        "SELECT c.id, c.calibration_date, i.serial, c.certificate_number, c.model, c.owner, "
        "c.technician, c.existing_code1, c.existing_code2, c.new_code1, c.new_code2, "
        "c.verdict_as_found, c.verdict_as_left, (SELECT r.certificate_number FROM "
        "calibrations r WHERE r.instrument_id = c.instrument_id AND r.replaces = "
        "c.certificate_number LIMIT 1) FROM calibrations c "
        "JOIN instruments i ON i.id = c.instrument_id WHERE 1 = 1");
    QVariantList values;
    const QString text = filter.text.trimmed();
    if (!text.isEmpty())
    {
        statement += Sql(" AND (i.serial {LIKE} ? ESCAPE '\\' OR c.owner {LIKE} ? ESCAPE '\\')");
        const QString pattern = QLatin1Char('%') + Like_Literal(text) + QLatin1Char('%');
        values << pattern << pattern;
    }
    if (after.id != 0)
    {
        statement += QStringLiteral(
            " AND (c.calibration_date < ? OR (c.calibration_date = ? AND c.id < ?))");
        values << after.calibration_date << after.calibration_date << after.id;
    }
    statement += QStringLiteral(" ORDER BY c.calibration_date DESC, c.id DESC LIMIT ?");
    values << limit + 1;
    QSqlQuery query(QSqlDatabase::database(d_name, false));
    query.setForwardOnly(true);
    QSqlError error;
    if (!Prepare(query, statement, values, &error))
    {
        page.failure = Failure_Text(error);
        if (Connection_Lost(error))
            Close();
        return page;
    }
    while (query.next())
    {
        if (page.rows.size() == limit)
        {
            page.more = true;
            break;
        }
        History_Row row;
        row.id = query.value(0).toLongLong();
        QString *const fields[] = {&row.calibration_date,
                                   &row.serial,
                                   &row.certificate_number,
                                   &row.model,
                                   &row.owner,
                                   &row.technician,
                                   &row.existing_code1,
                                   &row.existing_code2,
                                   &row.new_code1,
                                   &row.new_code2,
                                   &row.verdict_as_found,
                                   &row.verdict_as_left,
                                   &row.replaced_by};
        for (std::size_t index = 0; index < std::size(fields); ++index)
            *fields[index] = query.value(static_cast<int>(index) + 1).toString();
        page.rows << row;
    }
    return page;
}

// --- CSV --------------------------------------------------------------------

QString Csv_Line(const QStringList &cells)
{
    QStringList quoted;
    for (QString cell : cells)
    {
        if (cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"')) ||
            cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r')) ||
            cell.contains(QLatin1Char(';')))
            cell = QLatin1Char('"') + cell.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                   QLatin1Char('"');
        quoted << cell;
    }
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

QString Csv_Text(const QString &text)
{
    // A spreadsheet runs a cell that begins with one of these as a formula
    // (a tab or a carriage return before one, too); the quote keeps it text.
    static const QString formula_start = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && formula_start.contains(text.at(0)))
        return QLatin1Char('\'') + text;
    return text;
}

QString Csv_Identifier(const QString &text)
{
    // Letters, digits and the usual separators would be read as a number
    // (2E10, 0000) or a date (1-2); a formula of one string constant is
    // text to every spreadsheet. Anything else is plain, guarded text.
    static const QRegularExpression plain(QStringLiteral("^[0-9A-Za-z][0-9A-Za-z./: -]*$"));
    if (plain.match(text).hasMatch())
        return QStringLiteral("=\"%1\"").arg(text);
    return Csv_Text(text);
}

QString Csv_Number(double value)
{
    return std::isfinite(value) ? QString::number(value, 'g', 12) : QString();
}

QString THistory::Export_Calibrations_Csv(const History_Filter &filter, const QString &path)
{
    return Export_Csv(filter, path, false);
}

QString THistory::Export_Points_Csv(const History_Filter &filter, const QString &path)
{
    return Export_Csv(filter, path, true);
}

QString THistory::Export_Csv(const History_Filter &filter, const QString &path, bool points)
{
    const QString failure = Open();
    if (!failure.isEmpty())
        return failure;
    QSaveFile file(path);
    const auto cannot_write = [&]()
    {
        return Disk_Full(path) ? Tr("%1 cannot be written: the disk is full")
                                     .arg(QDir::toNativeSeparators(path))
                               : Tr("%1 cannot be written: %2")
                                     .arg(QDir::toNativeSeparators(path), file.errorString());
    };
    if (!file.open(QIODevice::WriteOnly))
        return cannot_write();
    const QStringList header =
        points ? QStringList{Tr("Certificate"), Tr("Serial number"), Tr("Calibration date"),
                             Tr("Kind"),        Tr("Position"),      Tr("Nominal"),
                             Tr("Actual"),      Tr("Reading"),       Tr("Error"),
                             Tr("Verdict")}
               : QStringList{Tr("Serial number"),    Tr("Model"),           Tr("Owner"),
                             Tr("Certificate"),      Tr("Replaces"),        Tr("Calibration date"),
                             Tr("Issue date"),       Tr("Technician"),      Tr("Existing Code 1"),
                             Tr("Existing Code 2"),  Tr("New Code 1"),      Tr("New Code 2"),
                             Tr("Verdict as found"), Tr("Verdict as left"), Tr("U (k=2)"),
                             Tr("Tolerance")};
    file.write(Csv_Line(header).toUtf8());

    QSqlDatabase database = QSqlDatabase::database(d_name, false);
    QSqlQuery query(database);
    query.setForwardOnly(true);
    QSqlError error;
    History_Row after;
    constexpr int page_size = 500;
    for (;;)
    {
        const History_Page page = List(filter, after, page_size);
        if (!page.failure.isEmpty())
        {
            file.cancelWriting();
            return page.failure;
        }
        if (page.rows.isEmpty())
            break;
        QString placeholders;
        QVariantList ids;
        for (const History_Row &row : page.rows)
        {
            placeholders += placeholders.isEmpty() ? QStringLiteral("?") : QStringLiteral(", ?");
            ids << row.id;
        }
        const QString statement =
            points ? QStringLiteral("SELECT calibration_id, kind, position, nominal, actual, "
                                    "reading, error, verdict FROM points WHERE "
                                    "calibration_id IN (%1) ORDER BY calibration_id, kind, "
                                    "position")
                   : QStringLiteral("SELECT id, replaces, issue_date, uncertainty, tolerance "
                                    "FROM calibrations WHERE id IN (%1)");
        if (!Prepare(query, statement.arg(placeholders), ids, &error))
        {
            file.cancelWriting();
            return Failure_Text(error);
        }
        QString text;
        if (!points)
        {
            QHash<qint64, QStringList> extra;
            while (query.next())
                extra.insert(query.value(0).toLongLong(),
                             {Csv_Identifier(query.value(1).toString()), query.value(2).toString(),
                              Csv_Number(Real_Of(query.value(3))),
                              Csv_Number(Real_Of(query.value(4)))});
            for (const History_Row &row : page.rows)
            {
                const QStringList more = extra.value(row.id, QStringList{"", "", "", ""});
                text += Csv_Line({Csv_Identifier(row.serial), Csv_Text(row.model),
                                  Csv_Text(row.owner), Csv_Identifier(row.certificate_number),
                                  more.at(0), row.calibration_date, more.at(1),
                                  Csv_Text(row.technician), Csv_Identifier(row.existing_code1),
                                  Csv_Identifier(row.existing_code2), Csv_Identifier(row.new_code1),
                                  Csv_Identifier(row.new_code2), Csv_Text(row.verdict_as_found),
                                  Csv_Text(row.verdict_as_left), more.at(2), more.at(3)});
            }
        }
        else
        {
            QHash<qint64, QList<QStringList>> lines;
            // Stored positions run across the kinds; a reader counts the rows
            // of each kind from 1, as the record window names them.
            qint64 last_id = -1;
            QString last_kind;
            int position = 0;
            while (query.next())
            {
                const qint64 id = query.value(0).toLongLong();
                const QString kind = query.value(1).toString();
                position = id == last_id && kind == last_kind ? position + 1 : 1;
                last_id = id;
                last_kind = kind;
                lines[id] << QStringList{kind,
                                         QString::number(position),
                                         Csv_Number(Real_Of(query.value(3))),
                                         Csv_Number(Real_Of(query.value(4))),
                                         Csv_Number(Real_Of(query.value(5))),
                                         Csv_Number(Real_Of(query.value(6))),
                                         Csv_Text(query.value(7).toString())};
            }
            for (const History_Row &row : page.rows)
                for (const QStringList &cells : lines.value(row.id))
                    text += Csv_Line(QStringList{Csv_Identifier(row.certificate_number),
                                                 Csv_Identifier(row.serial), row.calibration_date} +
                                     cells);
        }
        if (file.write(text.toUtf8()) < 0)
            return cannot_write();
        if (!page.more)
            break;
        after = page.rows.last();
    }
    if (!file.commit())
        return cannot_write();
    return QString();
}

// --- Copying a bench's file to the server ------------------------------------

Copy_Result THistory::Copy_From(const QString &sqlite_path)
{
    Copy_Result result;
    result.failure = Open();
    if (!result.failure.isEmpty())
        return result;
    if (!QFileInfo(sqlite_path).isFile())
    {
        result.failure =
            Tr("this bench has no history file %1").arg(QDir::toNativeSeparators(sqlite_path));
        return result;
    }
    const QString source_name = d_name + QStringLiteral("-source");
    {
        // Only read: the bench's file stays as it is, whatever its version.
        QSqlDatabase source = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), source_name);
        source.setDatabaseName(QUrl::fromLocalFile(sqlite_path).toString(QUrl::FullyEncoded) +
                               QStringLiteral("?mode=ro"));
        source.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;"
                                                "QSQLITE_BUSY_TIMEOUT=%1")
                                     .arg(Busy_Wait_Ms));
        QSqlQuery read(source);
        read.setForwardOnly(true);
        QSqlQuery read_points(source);
        read_points.setForwardOnly(true);
        QSqlError error;
        int version = 0;
        if (!source.open() || !Exec(read, QStringLiteral("PRAGMA user_version"), &error) ||
            !read.next())
            result.failure =
                Tr("the bench's history %1 cannot be read: %2")
                    .arg(QDir::toNativeSeparators(sqlite_path),
                         source.lastError().isValid() ? source.lastError().databaseText()
                                                      : error.databaseText());
        else
            version = read.value(0).toInt();
        if (result.failure.isEmpty() && (version < 1 || version > Schema_Version))
            result.failure = Tr("the bench's history %1 holds schema %2, which this program does "
                                "not copy")
                                 .arg(QDir::toNativeSeparators(sqlite_path))
                                 .arg(version);
        // The columns the file's version has; those it lacks read as NULL.
        const QString v2 = version >= 3   ? QStringLiteral("t.content, t.plot, c.saved_at")
                           : version == 2 ? QStringLiteral("c.content, c.plot, c.saved_at")
                                          : QStringLiteral("NULL, NULL, NULL");
        const QString certificates =
            version >= 3 ? QStringLiteral(" LEFT JOIN certificates t ON t.calibration_id = c.id")
                         : QString();
        const QString v3 =
            version >= 3
                ? QStringLiteral("c.calibration_uuid, c.replaces, c.model, c.owner, c.issue_date, "
                                 "c.approver, c.approver_function")
                : QStringLiteral(
                      "NULL, NULL, CASE WHEN c.id = (SELECT max(l.id) FROM calibrations l WHERE "
                      "l.instrument_id = c.instrument_id) THEN i.model END, CASE WHEN c.id = "
                      "(SELECT max(l.id) FROM calibrations l WHERE l.instrument_id = "
                      "c.instrument_id) THEN i.owner END, NULL, NULL, NULL");
        if (result.failure.isEmpty() &&
            !Exec(read,
                  QStringLiteral(
                      "SELECT c.id, i.serial, c.certificate_number, c.calibration_date, "
                      "c.technician, c.reference, c.reference_uncertainty, c.resolution, "
                      "c.tolerance, c.existing_code1, c.existing_code2, c.new_code1, c.new_code2, "
                      "c.uncertainty, c.verdict_as_found, c.verdict_as_left, c.as_left_measured, "
                      "%1, %2 FROM calibrations c JOIN instruments i ON i.id = c.instrument_id%3 "
                      "ORDER BY c.id")
                      .arg(v2, v3, certificates),
                  &error))
            result.failure = Tr("the bench's history cannot be read: %1").arg(error.databaseText());

        QSqlDatabase database = QSqlDatabase::database(d_name, false);
        QSqlQuery write(database);
        write.setForwardOnly(true);
        const bool server = d_connection.engine == History_Connection::Engine::PostgreSQL;
        bool good =
            result.failure.isEmpty() &&
            Exec(write, server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"),
                 &error);
        if (result.failure.isEmpty() && !good)
            result.failure = Failure_Text(error);
        // Prepared once: a server answers each preparation, and a bench's
        // history holds hundreds of thousands of points.
        QSqlQuery insert_point(database);
        if (good && !insert_point.prepare(QLatin1String(insert_point_statement)))
        {
            error = insert_point.lastError();
            good = false;
        }
        const int columns = read.record().count();
        while (good && read.next())
        {
            const QString number = read.value(2).toString();
            const QString uuid = read.value(20).toString();
            bool unsafe = false;
            for (int column = 1; column < columns; ++column)
                if (read.value(column).type() == QVariant::String &&
                    !Unsafe_Text(read.value(column).toString()).isEmpty())
                    unsafe = true;
            if (unsafe)
            {
                result.refused << number;
                continue;
            }
            good = Prepare(write,
                           QStringLiteral("SELECT count(*) FROM calibrations WHERE "
                                          "certificate_number = ? OR calibration_uuid = ?"),
                           {number, uuid.isEmpty() ? QVariant(QVariant::String) : QVariant(uuid)},
                           &error) &&
                   write.next();
            if (!good)
                break;
            if (write.value(0).toInt() > 0)
            {
                result.skipped << number;
                continue;
            }
            good = Prepare(write,
                           QStringLiteral("INSERT INTO instruments (serial) VALUES (?) "
                                          "ON CONFLICT (serial) DO NOTHING"),
                           {read.value(1)}, &error) &&
                   Prepare(write, QStringLiteral("SELECT id FROM instruments WHERE serial = ?"),
                           {read.value(1)}, &error) &&
                   write.next();
            if (!good)
                break;
            QVariantList values{write.value(0)};
            for (int column = 2; column <= 26; ++column)
                if (column != 17 && column != 18) // content and plot: beside it
                    values << read.value(column);
            good = Prepare(write, QLatin1String(insert_calibration_statement), values, &error) &&
                   write.next();
            if (!good)
                break;
            const qint64 calibration = write.value(0).toLongLong();
            write.finish();
            if (!read.value(17).isNull() || !read.value(18).isNull())
                good = Prepare(write,
                               QStringLiteral("INSERT INTO certificates (calibration_id, content, "
                                              "plot) VALUES (?, ?, ?)"),
                               {calibration, read.value(17), read.value(18)}, &error);
            // A certificate that could not be stored ends the copy with its own
            // cause, not one of what follows it.
            good = good && Prepare(read_points,
                                   QStringLiteral("SELECT kind, position, nominal, actual, "
                                                  "reading, error, verdict FROM points WHERE "
                                                  "calibration_id = ?"),
                                   {read.value(0)}, &error);
            while (good && read_points.next())
            {
                insert_point.addBindValue(calibration);
                for (int column = 0; column < 7; ++column)
                    insert_point.addBindValue(read_points.value(column));
                good = Exec(insert_point, &error);
            }
            if (good)
                ++result.copied;
        }
        if (good && result.failure.isEmpty())
            good = Exec(write, QStringLiteral("COMMIT"), &error);
        if (!good && result.failure.isEmpty())
        {
            write.exec(QStringLiteral("ROLLBACK"));
            result.failure = Failure_Text(error);
            if (Connection_Lost(error))
                Close();
        }
        if (!result.failure.isEmpty())
        {
            result.copied = 0;
            result.skipped.clear();
            result.refused.clear();
        }
        read.finish();
        read_points.finish();
        source.close();
    }
    QSqlDatabase::removeDatabase(source_name);
    return result;
}

// ---------------------------------------------------------------------------
