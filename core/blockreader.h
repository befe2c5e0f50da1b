#ifndef ZENTROVA_BLOCKREADER_H
#define ZENTROVA_BLOCKREADER_H

#include <QList>
#include <QString>
#include <QStringList>

// A block of cells as a spreadsheet puts it on the clipboard: lines of
// tab-separated cells. Both tables of the program read pasted blocks here.

// True when the text holds more than one cell (a tab or a line break).
bool Holds_A_Block(const QString &text);

// The block's lines, each split into its cells: any line end, no empty lines
// at the end, and no first line of column names. A first line is names when
// every cell that is not blank is one of column_names (compared without case
// and with blanks folded), as a spreadsheet's header row is.
QList<QStringList> Read_Block(QString text, const QStringList &column_names);

// The most rows either table holds: pasting and loading stop there.
constexpr int Maximum_Table_Rows = 1000;

#endif
