#ifndef ZENTROVA_SESSION_H
#define ZENTROVA_SESSION_H

#include <QList>
#include <QString>
#include <QStringList>

class QSettings;
class TSettingsStore;

// What the calibration window keeps between runs, as the settings file
// holds it: the table's texts, the two existing codes as typed and the
// table's precisions. Loading and saving it is the store's; the window only
// shows it.
struct Main_Session
{
    // Nominal, Actual and Reading texts, one list a row: a stored number as
    // its number's text, any other text as it was typed.
    QList<QStringList> rows;
    // The existing codes' digits as typed: four, or fewer while incomplete.
    QString code_text[2];
    int nominal_precision = 0;
    int measured_precision = 3;
    // The rows were made up (a first start), not loaded: nobody measured them.
    bool example_rows = false;
};

Main_Session Load_Main_Session(const TSettingsStore &store);
void Save_Main_Session(QSettings &settings, const Main_Session &session);

// The laboratory that issues the certificates: set once, in the group
// "Laboratory" of the settings file, and stated on every certificate.
struct Laboratory
{
    QString name;
    QString address;
    QString accreditation; // body and number; optional
    QString place;         // of calibration: the laboratory, or as typed per calibration
    QString approver;      // who authorises the certificates
    QString approver_function;
    QString procedure; // identification and version

    bool operator==(const Laboratory &other) const;
    bool operator!=(const Laboratory &other) const { return !(*this == other); }
};

Laboratory Load_Laboratory(const TSettingsStore &store);
void Save_Laboratory(QSettings &settings, const Laboratory &laboratory);

#endif
