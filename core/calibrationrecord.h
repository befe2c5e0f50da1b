#ifndef ZENTROVA_CALIBRATIONRECORD_H
#define ZENTROVA_CALIBRATIONRECORD_H

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// What a technician keeps of one calibration: when, with which program, the
// codes as found, the samples, and the codes as left, each text exactly as
// the window shows it.
struct Calibration_Record
{
    QDateTime when;
    QString program;
    QString existing_code1;
    QString existing_code2;
    QList<QStringList> samples; // Nominal, Actual, Reading, Correction
    QString new_code1;
    QString new_code2;
    QString data_range;
};

// Lines of tab-separated cells, as a spreadsheet takes them.
QString Record_Text(const Calibration_Record &record);
// The same cells as an HTML table, as a document takes them.
QString Record_Html(const Calibration_Record &record);

#endif
