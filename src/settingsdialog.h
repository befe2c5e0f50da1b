#ifndef ZENTROVA_SETTINGSDIALOG_H
#define ZENTROVA_SETTINGSDIALOG_H

#include <QDialog>

class QSpinBox;

// Edits the two display precisions of the sample table. It neither stores
// nor applies them: its owner presets it and reads it back after Accept.
class TSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TSettingsDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    void Set_Precision(int nominal_precision, int measured_precision);
    int Get_Nominal_Precision() const;
    int Get_Measured_Precision() const;

private:
    QSpinBox *d_measured_spinbox;
    QSpinBox *d_nominal_spinbox;
};

#endif
