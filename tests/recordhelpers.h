#ifndef ZENTROVA_TESTS_RECORDHELPERS_H
#define ZENTROVA_TESTS_RECORDHELPERS_H

#include "dialoghelpers.h"
#include "recorddialog.h"

#include <QApplication>
#include <QProcess>

#include <memory>

// The record's group of a settings file: everything a certificate needs,
// with a tolerance for verdicts, and the laboratory that issues it.
inline QByteArray Record_Group()
{
    return "[Record]\nSerial_Number=KX-0042\nOwner=Lab A\nTechnician=A. Tester\n"
           "Reference=PRT 100 #7\nReference_Certificate=RC-19\n"
           "Reference_Due_Date=2099-12-31\nReference_Uncertainty=0.02\nResolution=0.1\n"
           "Tolerance=0.05\nAmbient_Temperature=21.5\nRelative_Humidity=45\n"
           "[Laboratory]\nName=Bench Lab\nPlace=Bench Lab, room 2\nApprover=Q. Manager\n"
           "Approver_Function=Quality manager\n";
}

// The record window: a window of its own, not a child of the main window.
inline TRecordDialog *Record_Window()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *record = qobject_cast<TRecordDialog *>(widget))
            return record;
    return nullptr;
}

// Opens the record window as the user does, with its button.
inline TRecordDialog *Open_Record(TZentrovaDialog &dialog)
{
    Push_Button(dialog, "Record...")->click();
    return Record_Window();
}

// A home folder with the worked samples and everything a certificate needs,
// the main window shown and its record window opened, as most cases begin.
struct Record_Bench
{
    explicit Record_Bench(const QByteArray &settings = Worked_Samples() + Record_Group())
    {
        home.Write_Settings(settings);
        dialog = std::make_unique<TZentrovaDialog>();
    }
    // False when a window could not be shown.
    bool Open()
    {
        record = Show_Active(*dialog) ? Open_Record(*dialog) : nullptr;
        return record && QTest::qWaitForWindowActive(record);
    }

    Home_Folder home;
    std::unique_ptr<TZentrovaDialog> dialog;
    TRecordDialog *record = nullptr;
};

// The next instrument's readings typed over every sample of the main window:
// until then its rows are the last instrument's, and nothing is judged.
inline void Measure_Next_Instrument(TZentrovaDialog &dialog,
                                    const QStringList &readings = {"15.25", "20.15", "25.1"})
{
    for (int row = 0; row < readings.size(); ++row)
        Retype(Field(*Table(dialog), row, Reading_Column), readings.at(row));
}

inline QString Pdf_Text(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", path, "-"});
    if (!pdftotext.waitForFinished(20000))
        return QString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

#endif
