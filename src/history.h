#ifndef ZENTROVA_HISTORY_H
#define ZENTROVA_HISTORY_H

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>
#include <QStringList>

#include <cmath>
#include <limits>

class QSettings;
class TSettingsStore;

// Where the history is: a file at this bench, or a laboratory's PostgreSQL
// server. Kept in the group "History" of the settings file; the password
// never is (libpq's ~/.pgpass and service file hold it, as for any client).
struct History_Connection
{
    enum class Engine
    {
        SQLite,
        PostgreSQL
    };
    Engine engine = Engine::SQLite;
    QString sqlite_path; // ~/.zentrova/History.sqlite, beside the settings file
    QString host;        // a host name, or a folder for a Unix socket, as libpq takes it
    int port = 5432;
    QString database;
    QString user;
    QString ssl_mode; // "require" by default for a host other than this machine

    static History_Connection From_Settings(const TSettingsStore &store);
    // Into the group that From_Settings reads; never a password.
    void Save(QSettings &settings) const;
    // The group's keys, as the settings file holds them.
    static inline const QString group = QStringLiteral("History");
    static inline const QString engine_key = QStringLiteral("Engine");
    static inline const QString host_key = QStringLiteral("Host");
    static inline const QString port_key = QStringLiteral("Port");
    static inline const QString database_key = QStringLiteral("Database");
    static inline const QString user_key = QStringLiteral("User");
    static inline const QString ssl_mode_key = QStringLiteral("SSL_Mode");
    // "prefer" on this machine (no host, a socket folder, localhost), else "require".
    static QString Default_Ssl_Mode(const QString &host);
    // The file's path or the server, for messages.
    QString Location() const;
};

// One point of a stored calibration: as found, predicted as left, or
// measured as left. nominal is NaN where the point has none.
struct History_Point
{
    QString kind; // "found", "predicted" or "left"
    double nominal = std::numeric_limits<double>::quiet_NaN();
    double actual = std::numeric_limits<double>::quiet_NaN();
    double reading = std::numeric_limits<double>::quiet_NaN();
    double error = std::numeric_limits<double>::quiet_NaN();
    QString verdict;
};

// One calibration as it is issued: the history gives it its number.
struct History_Record
{
    QString calibration_id; // the calibration's own id (a UUID made when it began)
    QString replaces;       // an amendment: the number of the certificate it replaces
    QString serial;
    QString model; // model and owner as certified: kept per calibration
    QString owner;
    QString calibration_date; // ISO 8601 dates
    QString issue_date;
    QString technician;
    QString reference;
    QString approver;
    QString approver_function;
    double reference_uncertainty = std::numeric_limits<double>::quiet_NaN();
    double resolution = std::numeric_limits<double>::quiet_NaN();
    double tolerance = std::numeric_limits<double>::quiet_NaN(); // NaN: none
    double uncertainty = std::numeric_limits<double>::quiet_NaN();
    QString existing_code1; // four hex digits
    QString existing_code2;
    QString new_code1;
    QString new_code2;
    QString verdict_as_found;
    QString verdict_as_left;
    bool as_left_measured = false;
    QList<History_Point> points;
    QByteArray content; // Certificate_Json; its "number" is empty
};

struct Issue_Result
{
    QString failure; // why nothing was issued and nothing stored, or empty
    QString number;
    bool issued_before = false; // this calibration_id was issued already: its number
};

// The newest stored calibration of one instrument.
struct Last_Calibration
{
    bool found = false;
    QString calibration_id;
    QString calibration_date;
    QString certificate_number;
    QString model; // as certified then
    QString owner;
    QString new_code1; // the codes left in the instrument
    QString new_code2;
    QString verdict_as_left;
    QList<History_Point> as_left; // measured if any, else predicted
};

struct Stored_Certificate
{
    bool found = false;
    QString number;
    QByteArray content;  // JSON, number included
    QByteArray plot_png; // rows stored by schema 2 only
};

// What the history window lists: part of the serial number or of the owner.
struct History_Filter
{
    QString text;
};

// One line of the history window, as certified.
struct History_Row
{
    qint64 id = 0;
    QString calibration_date;
    QString serial;
    QString certificate_number;
    QString model;
    QString owner;
    QString technician;
    QString existing_code1;
    QString existing_code2;
    QString new_code1;
    QString new_code2;
    QString verdict_as_found;
    QString verdict_as_left;
    QString replaced_by; // withdrawn: the number of the amendment that replaced it
};

// A page of the list, and where the next one begins.
struct History_Page
{
    QString failure;
    QList<History_Row> rows;
    bool more = false;
};

// The outcome of copying a bench's file to the server.
struct Copy_Result
{
    QString failure; // nothing was copied: why
    int copied = 0;
    QStringList skipped; // numbers the server held already
    QStringList refused; // numbers holding text that the history does not take
};

// Every instrument's calibrations, in SQLite or on a PostgreSQL server,
// through Qt SQL. The schema and every query are here; nothing in it is a
// widget. One object is used on one thread; every call waits at most a few
// seconds (a busy file, a server away).
class THistory
{
public:
    explicit THistory(const History_Connection &connection);
    ~THistory();
    THistory(const THistory &) = delete;
    THistory &operator=(const THistory &) = delete;

    // "History.sqlite" beside the settings file.
    static QString Path_Beside(const QString &settings_file);
    static constexpr int Schema_Version = 3;
    // How long a write waits for another program (a second running copy).
    static constexpr int Busy_Wait_Ms = 2000;
    // A server's bounds: connecting, and any one statement.
    static constexpr int Connect_Timeout_S = 4;
    static constexpr int Statement_Timeout_Ms = 4000;

    const History_Connection &Connection() const;
    QString Location() const;

    // Opens (creates, upgrades) the history. Returns why it cannot be used,
    // or nothing. A damaged file is moved aside, untouched, and a new one
    // started; Take_Notice() then says where the old one went, once.
    QString Open();
    QString Take_Notice();
    void Close();
    bool Is_Open() const;

    // Issues the record's certificate number and stores it, in one
    // transaction: <serial>-<yyyyMMdd>-<n>, or <replaced base>-R<k> for an
    // amendment. A calibration_id issued before gets its number back and
    // nothing is stored.
    Issue_Result Issue(const History_Record &record);
    // Serial numbers that begin with the prefix (any case), at most limit.
    QStringList Complete(const QString &prefix, int limit = 20);
    // The newest calibration of the serial other than the one in progress.
    // Withdrawn certificates (replaced by an amendment) are no one's last,
    // and an amendment in progress names the certificate it replaces.
    Last_Calibration Last_For(const QString &serial, const QString &excluding_calibration_id,
                              const QString &replaced_number = QString());
    Stored_Certificate Certificate(const QString &number);

    // The history window's rows, newest first, limit at a time: after is
    // the last row of the page before (id 0: from the start).
    History_Page List(const History_Filter &filter, const History_Row &after, int limit);
    // Every listed calibration, or every point of them, as CSV at path.
    QString Export_Calibrations_Csv(const History_Filter &filter, const QString &path);
    QString Export_Points_Csv(const History_Filter &filter, const QString &path);
    // Copies the calibrations of a bench's SQLite file into this history
    // (a server) in one transaction; the file is only read.
    Copy_Result Copy_From(const QString &sqlite_path);

    // Why a text cannot go into the history (a control character, a
    // bidirectional override), or nothing.
    static QString Unsafe_Text(const QString &text);

private:
    QString Open_Sqlite();
    QString Open_Server();
    QString Check_Sqlite_File();
    QString Move_Aside(const QString &why);
    QString Check_And_Upgrade();
    QString Failure_Text(const class QSqlError &error) const;
    bool Connection_Lost(const class QSqlError &error) const;
    Issue_Result Issue_Once(const History_Record &record, bool *retry);
    QString Sql(const char *statement) const;
    QString Export_Csv(const History_Filter &filter, const QString &path, bool points);

    History_Connection d_connection;
    QString d_name;
    bool d_open = false;
    QString d_notice;
};

// CSV for a spreadsheet: a text cell that begins with =, +, - or @ is
// quoted so that it cannot run as a formula; an identifier (a code, a
// serial number) is written so that it stays text (2E10, 0000).
QString Csv_Text(const QString &text);
QString Csv_Identifier(const QString &text);
QString Csv_Number(double value);
// One line of CSV cells, each already made by the functions above.
QString Csv_Line(const QStringList &cells);

Q_DECLARE_METATYPE(History_Connection)
Q_DECLARE_METATYPE(History_Record)
Q_DECLARE_METATYPE(Issue_Result)
Q_DECLARE_METATYPE(Last_Calibration)
Q_DECLARE_METATYPE(Stored_Certificate)
Q_DECLARE_METATYPE(History_Page)
Q_DECLARE_METATYPE(Copy_Result)

#endif
