#ifndef ZENTROVA_RECORDPARTS_H
#define ZENTROVA_RECORDPARTS_H

#include <QString>

class QAbstractItemModel;
class QLabel;
class QPushButton;
class QTableView;
class QWidget;

// The pieces the record window is built of, made one way everywhere.

// Typed text shown as typed: never as markup, selectable, wrapping.
QLabel *New_Plain_Label(QWidget *parent);
// A button that Return in a field does not press.
QPushButton *New_Button(const QString &text, QWidget *parent);
// A read-only or editable table that is one Tab stop: the arrows move in it.
QTableView *New_Table_View(QAbstractItemModel *model, const QString &name, QWidget *parent);
// "Error (°C)"
QString Unit_Header(const QString &name);

#endif
