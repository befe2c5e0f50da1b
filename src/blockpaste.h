#ifndef ZENTROVA_BLOCKPASTE_H
#define ZENTROVA_BLOCKPASTE_H

#include <QObject>

class QLineEdit;
class TInputWidget;

// Watches the sample table's Nominal, Actual and Reading fields: a paste
// (the keys or the field's own menu) of a clipboard text that holds more
// than one cell, as a spreadsheet puts it there, goes into the table as a
// block. A single cell pastes into the field as in any line edit.
class TBlockPaste : public QObject
{
    Q_OBJECT

public:
    explicit TBlockPaste(TInputWidget *table);

    void Watch(QLineEdit *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // False, doing nothing, when the clipboard holds a single cell.
    bool Paste_Into(QLineEdit *field);

    TInputWidget *d_table;
};

#endif
