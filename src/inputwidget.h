#ifndef ZENTROVA_INPUTWIDGET_H
#define ZENTROVA_INPUTWIDGET_H

#include "blockreader.h"
#include "sample.h"

#include <QList>
#include <QWidget>

#include <vector>

class QCheckBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSpacerItem;
class QToolButton;
class TBlockPaste;

// One row of the table. The widgets belong to the table through Qt
// parenthood; the record only points at them.
struct TEntryLine
{
    QCheckBox *check_box;
    QLineEdit *nominal_edit;
    QLineEdit *actual_edit;
    QLineEdit *reading_edit;
    QLineEdit *correction_edit;
    QLabel *unit_label;
};

// The table of temperature samples: one row per sample, each showing its
// correction (reading minus actual). Rows are added with the add button and
// removed by ticking them and pressing the remove button; the table never
// becomes empty through the buttons.
class TInputWidget : public QWidget
{
    Q_OBJECT

public:
    explicit TInputWidget(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~TInputWidget() override;

    // The most rows the table holds: the add button stops there, and no
    // more are loaded.
    static constexpr int Maximum_Rows = Maximum_Table_Rows;

    // Out-of-range precisions (nominal 0 to 2, measured 0 to 4) keep the
    // current value; every row is reformatted either way. Emits nothing.
    void Set_Precision(int nominal_precision, int measured_precision);
    int Get_Nominal_Precision() const;
    int Get_Measured_Precision() const;

    // Removes every row; emits nothing.
    void Clear_Rows();
    // Appends a row showing these values, then emits Data_Changed.
    void Add_Sample(const double &nominal, const double &actual, const double &reading);

    // Appends a row from texts (Nominal, Actual, Reading), as a settings file
    // holds them: a number is written with the column's precision, keeping
    // any further digits; any other text (an empty one included) stays as it
    // is, marked. Emits Data_Changed.
    void Add_Sample_Texts(const QStringList &texts);
    // Takes the edit in progress, as leaving the field would: marks and
    // corrections are brought up to date. Emits nothing.
    void Commit_Edits();
    // The column captions Nominal, Actual, Reading and Correction (Error).
    QList<QLabel *> Header_Labels() const;

    // Every row, in order, as its fields read (0 for a text that is not a number).
    Sample_List Get_Samples() const;
    Sample Get_Sample(int index) const;
    // Pastes a spreadsheet's block (lines of tab-separated cells) from the
    // given Nominal, Actual or Reading field on: lines to the rows down,
    // cells to the columns rightwards, rows added as needed up to the bound.
    // The cells stay as typed; the corrections are recomputed and
    // Data_Changed is emitted once. Returns how many lines did not fit.
    int Paste_Block(QLineEdit *field, const QString &text);
    // Every row's four texts as shown: Nominal, Actual, Reading, Correction.
    QList<QStringList> Get_Texts() const;

    // The first row whose Actual or Reading text does not read as a finite
    // number, or -1. Such a row gives no new codes.
    int First_Unreadable_Row() const;

signals:
    // After a row is added or removed, or an Actual or Reading field is
    // edited: at each keystroke, and when an edit ends on a text that the
    // program set (an edit that ends on typed text has been reported).
    void Data_Changed();

private slots:
    void Row_Selection_Changed();
    void Add_Row();
    void Remove_Rows();

private:
    int Append_Row();
    void Set_Row(int row, const double &nominal, const double &actual, const double &reading);
    void Set_Row_Texts(int row, const QStringList &texts);
    void Row_Text_Edited(const TEntryLine &line);
    void Row_Edit_Finished(const QLineEdit *field);
    void Correct_Rows();
    // Writes the row's correction when both its values read; marks the
    // values that do not when asked to.
    void Correct_Row(const TEntryLine &line, bool mark);
    void Delete_Row_Widgets();

    void Delete_Rows_From(std::size_t first_row);
    void Place_Row(std::size_t row);
    void Lay_Out_Rows(int first_new_row);
    void Update_Add_Button();
    void Take_Trailing_Items();
    void Put_Trailing_Items(int grid_row);
    Sample Read_Row(const TEntryLine &line) const;

    QGridLayout *d_grid_layout;
    QHBoxLayout *d_button_hlayout;
    QToolButton *d_add_button;
    QToolButton *d_remove_button;
    QSpacerItem *d_widget_vspacer;
    std::vector<TEntryLine> d_entry_lines;
    int d_nominal_precision;
    int d_measured_precision;
    QList<QLabel *> d_header_labels;
    // Takes spreadsheet blocks pasted into the fields.
    TBlockPaste *d_block_paste;
};

#endif
