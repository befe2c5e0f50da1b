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
};

Main_Session Load_Main_Session(const TSettingsStore &store);
void Save_Main_Session(QSettings &settings, const Main_Session &session);

#endif
