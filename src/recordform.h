#ifndef ZENTROVA_RECORDFORM_H
#define ZENTROVA_RECORDFORM_H

#include "recordfields.h"

#include <QMap>
#include <QWidget>

class QComboBox;
class QLineEdit;
struct Record_Evaluation;
class TRecordModel;

// The record's fields, in groups: the instrument and its owner, the
// calibration, the reference and the limits, the approval. Each field
// shows the record's text as typed and its mark when it does not read;
// every edit goes to the record at once.
class TRecordForm : public QWidget
{
    Q_OBJECT

public:
    TRecordForm(TRecordModel *record, QWidget *parent);

    QWidget *Field_Widget(Record_Field field) const;
    // The first field a certificate still needs, or the serial number.
    QWidget *First_Needed() const;

    // Shows the record's evaluation as it is now.
    void Refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *New_Field(const Record_Field_Info &info);

    TRecordModel *d_record;
    QMap<Record_Field, QLineEdit *> d_edits;
    QComboBox *d_rule_box;
};

#endif
