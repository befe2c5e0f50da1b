#ifndef ZENTROVA_BLOCKPASTE_H
#define ZENTROVA_BLOCKPASTE_H

#include <QObject>

class QLineEdit;

// Watches a table's fields: a paste (the keys or the field's own menu) of a
// clipboard text that holds more than one cell, as a spreadsheet puts it
// there, is reported as a block for the table to take. A single cell pastes
// into the field as in any line edit.
class TBlockPaste : public QObject
{
    Q_OBJECT

public:
    explicit TBlockPaste(QObject *parent);

    void Watch(QLineEdit *field);

signals:
    // A block pasted into the field: the table puts it in from there on.
    void Block_Pasted(QLineEdit *field, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // False, doing nothing, when the clipboard holds a single cell.
    bool Paste_Into(QLineEdit *field);
};

#endif
