#ifndef ZENTROVA_HISTORY_H
#define ZENTROVA_HISTORY_H

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// One point of a stored calibration: as found, predicted as left, or
// measured as left. nominal is NaN where the point has none.
struct History_Point
{
    QString kind; // "found", "predicted" or "left"
    double nominal;
    double actual;
    double reading;
    double error;
    QString verdict;
};

// One calibration as the history keeps it, with its instrument.
struct History_Record
{
    QString serial;
    QString model;
    QString owner;
    QString certificate_number;
    QString calibration_date; // ISO 8601
    QString technician;
    QString reference;
    double reference_uncertainty = 0.0;
    double resolution = 0.0;
    double tolerance = 0.0; // NaN: no tolerance was given
    QString existing_code1;
    QString existing_code2;
    QString new_code1;
    QString new_code2;
    double uncertainty = 0.0;
    QString verdict_as_found;
    QString verdict_as_left;
    bool as_left_measured = false;
    QList<History_Point> points;
    QByteArray content;  // the certificate's texts, to save it again unchanged
    QByteArray plot_png; // the certificate's plot
};

// The newest stored calibration of one instrument.
struct Last_Calibration
{
    bool found = false;
    qint64 id = 0;
    QString calibration_date;
    QString certificate_number;
    QString new_code1; // the codes left in the instrument
    QString new_code2;
    QString verdict_as_left;
    QList<History_Point> as_left; // measured if there were any, else predicted
};

// Every instrument's calibrations, in an SQLite database through Qt SQL.
// The schema and every query are here; nothing in it is a widget. Opened
// when first needed; a damaged file is moved aside, never deleted.
class THistory
{
public:
    explicit THistory(const QString &path);
    ~THistory();
    THistory(const THistory &) = delete;
    THistory &operator=(const THistory &) = delete;

    // "History.sqlite" beside the settings file.
    static QString Path_Beside(const QString &settings_file);
    static constexpr int Schema_Version = 2;
    // How long a write waits for another program (a second running copy).
    static constexpr int Busy_Wait_Ms = 2000;

    QString Path() const;
    // Opens (and upgrades) the database. Returns why it cannot be used, or
    // nothing. A damaged file is moved aside and a new one started; Notice()
    // then says where the old one went, once.
    QString Open();
    QString Take_Notice();

    // Stores one calibration in one transaction. Returns why it could not
    // be stored, or nothing.
    QString Store(const History_Record &record);

    QStringList Serial_Numbers();
    Last_Calibration Last_For(const QString &serial);
    // How many certificates of this serial number carry this date (ISO).
    int Certificates_On(const QString &serial, const QString &date);
    // The stored certificate of one calibration: its texts and its plot.
    bool Certificate_Of(qint64 calibration_id, QByteArray *content, QByteArray *plot_png);

    // For read-only views (the history window); valid after a good Open().
    QSqlDatabase Database() const;

private:
    QString Open_Connection();
    QString Check_And_Upgrade();
    QString Move_Aside();
    void Close_Connection();

    QString d_path;
    QString d_connection;
    bool d_open = false;
    QString d_notice;
};

// Drift since the last calibration: at each nominal temperature measured
// both times, this as-found error minus the last as-left error.
struct Drift
{
    QList<QPair<double, double>> points; // nominal, drift
    double largest = 0.0;                // the largest in magnitude, with its sign
};
Drift Compute_Drift(const QList<History_Point> &found_now, const QList<History_Point> &left_last);

#endif
