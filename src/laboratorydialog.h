#ifndef ZENTROVA_LABORATORYDIALOG_H
#define ZENTROVA_LABORATORYDIALOG_H

#include "session.h"

#include <QDialog>
#include <QMetaType>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class TSettingsStore;

// The laboratory that issues the certificates, typed once: its name,
// address, accreditation, place of calibration, who approves the
// certificates and the procedure. Save writes it to the settings file's
// Laboratory group; a save that fails says why in the dialog, which stays
// open with everything typed.
class TLaboratoryDialog : public QDialog
{
    Q_OBJECT

public:
    // Shows what the store holds.
    explicit TLaboratoryDialog(const TSettingsStore *store, QWidget *parent = nullptr);

    // The laboratory as the fields hold it, each text trimmed.
    Laboratory Current_Laboratory() const;
    void Set_Laboratory(const Laboratory &laboratory);

    // Writes the fields to the store. Returns why they could not be
    // written, or nothing; Laboratory_Changed follows a good save.
    QString Save();

public slots:
    // Saves, and closes only when the save succeeded.
    void accept() override;

signals:
    void Laboratory_Changed(const Laboratory &laboratory);

private:
    const TSettingsStore *d_store;
    QLineEdit *d_name_edit;
    QPlainTextEdit *d_address_edit;
    QLineEdit *d_accreditation_edit;
    QLineEdit *d_place_edit;
    QLineEdit *d_approver_edit;
    QLineEdit *d_function_edit;
    QLineEdit *d_procedure_edit;
    QLabel *d_failure_label;
};

Q_DECLARE_METATYPE(Laboratory)

#endif
