#ifndef ZENTROVA_TESTS_RECORDHELPERS_H
#define ZENTROVA_TESTS_RECORDHELPERS_H

#include "dialoghelpers.h"
#include "recorddialog.h"

// The record window's group of a settings file: an instrument with a serial
// number, so that certificates can be made, and a tolerance for verdicts.
inline QByteArray Record_Group()
{
    return "[Record]\nSerial_Number=KX-0042\nTechnician=A. Tester\n"
           "Reference_Uncertainty=0.02\nTolerance=0.05\n";
}

// Opens the record window as the user does, with its button.
inline TRecordDialog *Open_Record(TZentrovaDialog &dialog)
{
    Push_Button(dialog, "Record...")->click();
    return dialog.findChild<TRecordDialog *>();
}

#endif
