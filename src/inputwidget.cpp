#include "inputwidget.h"

#include "blockpaste.h"
#include "blockreader.h"
#include "check.h"
#include "fieldmark.h"
#include "numbertext.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <cmath>

namespace
{
constexpr int field_max_width = 90;
constexpr int column_count = 5; // the spacer and the button row span columns 0 to 4
constexpr int max_nominal_precision = 2;
constexpr int max_measured_precision = 4;

// C locale, surrounding blanks ignored; a text that is not a finite number
// gives 0.0, and a code is never computed from it (see First_Unreadable_Row).
double Read_Number(const QLineEdit *edit, bool *ok = nullptr)
{
    double value = 0.0;
    const bool readable = Read_Number_Text(edit->text(), &value);
    if (ok)
        *ok = readable;
    return value;
}

bool Is_Readable(const QLineEdit *edit)
{
    return Read_Number_Text(edit->text(), nullptr);
}

void Show_Readable(QLineEdit *edit, bool readable)
{
    Show_Field_Mark(edit, readable ? QString()
                                   : TInputWidget::tr("Not a number: this value is left out. Use "
                                                      "a point as the decimal separator (15.2)."));
}

void Mark_Field(QLineEdit *edit)
{
    Show_Readable(edit, Is_Readable(edit));
}

// Qt's repaint of a changed field costs time in proportion to the number of
// its siblings, even out of sight, so a text that would not change is not
// written again. A field that the user has edited is written all the same:
// that clears its undo history and its modified flag, as for a new field.
void Write_Text(QLineEdit *edit, const QString &text)
{
    if (text != edit->text() || edit->isModified() || edit->isUndoAvailable() ||
        edit->isRedoAvailable())
        edit->setText(text);
}

void Write_Number(QLineEdit *edit, double value, int precision)
{
    Write_Text(edit, Number_Text(value, precision));
}

constexpr std::size_t widgets_per_row = 6;

QStringList Row_Texts(const TEntryLine &line)
{
    return {line.nominal_edit->text(), line.actual_edit->text(), line.reading_edit->text(),
            line.correction_edit->text()};
}

// The fields that a pasted block fills, left to right.
QList<QLineEdit *> Pasted_Columns(const TEntryLine &line)
{
    return {line.nominal_edit, line.actual_edit, line.reading_edit};
}

// A spreadsheet's header row names these columns.
const QStringList &Column_Names()
{
    static const QStringList names{QStringLiteral("Nominal"), QStringLiteral("Actual"),
                                   QStringLiteral("Reading"), QStringLiteral("Correction"),
                                   QStringLiteral("Correction (Error)")};
    return names;
}

std::array<QWidget *, widgets_per_row> Row_Widgets(const TEntryLine &line)
{
    return {line.check_box,    line.nominal_edit,    line.actual_edit,
            line.reading_edit, line.correction_edit, line.unit_label};
}

QLineEdit *New_Field(QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setAlignment(Qt::AlignCenter);
    edit->setMaximumWidth(field_max_width);
    return edit;
}
} // namespace

TInputWidget::TInputWidget(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), d_grid_layout(new QGridLayout(this)),
      d_button_hlayout(new QHBoxLayout()), d_add_button(new QToolButton(this)),
      d_remove_button(new QToolButton(this)),
      d_widget_vspacer(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding)),
      d_nominal_precision(0), d_measured_precision(2), d_block_paste(new TBlockPaste(this))
{
    d_grid_layout->setSpacing(3);

    const QString headers[] = {tr("Nominal"), tr("Actual"), tr("Reading"),
                               tr("Correction\n(Error)")};
    for (int column = 1; column <= 4; ++column)
    {
        auto *header = new QLabel(headers[column - 1], this);
        header->setAlignment(Qt::AlignCenter);
        d_header_labels << header;
        d_grid_layout->addWidget(header, 0, column);
    }

    d_add_button->setFixedSize(22, 22);
    d_add_button->setIcon(QIcon(QStringLiteral(":/gui/add_22x22.png")));
    d_add_button->setAccessibleName(tr("Add row"));
    d_remove_button->setFixedSize(22, 22);
    d_remove_button->setIcon(QIcon(QStringLiteral(":/gui/remove_22x22.png")));
    d_remove_button->setAccessibleName(tr("Remove ticked rows"));
    d_remove_button->setEnabled(false);
    d_button_hlayout->addWidget(d_add_button);
    d_button_hlayout->addWidget(d_remove_button);
    d_button_hlayout->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));

    Put_Trailing_Items(1);

    connect(d_add_button, &QToolButton::clicked, this, &TInputWidget::Add_Row);
    connect(d_remove_button, &QToolButton::clicked, this, &TInputWidget::Remove_Rows);
    connect(d_block_paste, &TBlockPaste::Block_Pasted, this,
            [this](QLineEdit *field, const QString &text)
            {
                const int left_out = Paste_Block(field, text);
                if (left_out <= 0)
                    return;
                const QString words = left_out == 1 ? tr("1 pasted line left out")
                                                    : tr("%1 pasted lines left out").arg(left_out);
                QToolTip::showText(
                    field->mapToGlobal(field->rect().bottomLeft()),
                    words + tr(": the table holds at most %1 rows.").arg(Maximum_Rows), field);
            });
}

TInputWidget::~TInputWidget()
{
    // QWidget's destructor hides a shown table, and a field that loses the
    // focus then would call Row_Edit_Finished on a table that is no longer
    // one. Its rows must not reach it any more.
    for (const TEntryLine &line : d_entry_lines)
        for (QWidget *widget : Row_Widgets(line))
            disconnect(widget, nullptr, this, nullptr);
}

void TInputWidget::Set_Precision(int nominal_precision, int measured_precision)
{
    // Judged as unsigned, so a negative precision is out of range too.
    if (static_cast<unsigned int>(nominal_precision) <= max_nominal_precision)
        d_nominal_precision = nominal_precision;
    if (static_cast<unsigned int>(measured_precision) <= max_measured_precision)
        d_measured_precision = measured_precision;

    for (const TEntryLine &line : d_entry_lines)
    {
        bool ok = false;
        const double nominal = Read_Number(line.nominal_edit, &ok);
        if (ok)
            Write_Number(line.nominal_edit, nominal, d_nominal_precision);
        // A text that is not a number stays as the user typed it, and its
        // row shows no correction.
        bool actual_ok = false;
        bool reading_ok = false;
        const double actual = Read_Number(line.actual_edit, &actual_ok);
        if (actual_ok)
            Write_Number(line.actual_edit, actual, d_measured_precision);
        const double reading = Read_Number(line.reading_edit, &reading_ok);
        if (reading_ok)
            Write_Number(line.reading_edit, reading, d_measured_precision);
        if (actual_ok && reading_ok)
            Write_Number(line.correction_edit, reading - actual, d_measured_precision);
        else
            Write_Text(line.correction_edit, QString());
    }
}

int TInputWidget::Get_Nominal_Precision() const
{
    return d_nominal_precision;
}

int TInputWidget::Get_Measured_Precision() const
{
    return d_measured_precision;
}

void TInputWidget::Clear_Rows()
{
    Delete_Row_Widgets();
    d_entry_lines.clear();
}

void TInputWidget::Add_Sample(const double &nominal, const double &actual, const double &reading)
{
    const int row = Append_Row();
    Set_Row(row, nominal, actual, reading);
    Lay_Out_Rows(row);
    emit Data_Changed();
}

void TInputWidget::Add_Sample_Texts(const QStringList &texts)
{
    const int row = Append_Row();
    QStringList shown;
    const int precisions[] = {d_nominal_precision, d_measured_precision, d_measured_precision};
    for (int column = 0; column < 3; ++column)
    {
        // A value that reads is written as the column writes it (keeping any
        // further digits); any other text is shown as it stands, and marked.
        double value = 0.0;
        const QString text = texts.value(column);
        shown << (Read_Number_Text(text, &value) ? Value_Text(value, precisions[column]) : text);
    }
    Set_Row_Texts(row, shown);
    Lay_Out_Rows(row);
    emit Data_Changed();
}

void TInputWidget::Commit_Edits()
{
    for (const TEntryLine &line : d_entry_lines)
        Mark_Field(line.nominal_edit);
    Correct_Rows();
}

QList<QLabel *> TInputWidget::Header_Labels() const
{
    return d_header_labels;
}

Sample_List TInputWidget::Get_Samples() const
{
    Sample_List samples;
    samples.reserve(static_cast<int>(d_entry_lines.size()));
    for (const TEntryLine &line : d_entry_lines)
        samples.append(Read_Row(line));
    return samples;
}

int TInputWidget::First_Unreadable_Row() const
{
    for (std::size_t row = 0; row < d_entry_lines.size(); ++row)
    {
        const TEntryLine &line = d_entry_lines[row];
        if (!Is_Readable(line.actual_edit) || !Is_Readable(line.reading_edit))
            return static_cast<int>(row);
    }
    return -1;
}

Sample TInputWidget::Get_Sample(int index) const
{
    ZENTROVA_CHECK(static_cast<unsigned int>(index) < d_entry_lines.size());
    return Read_Row(d_entry_lines[static_cast<std::size_t>(index)]);
}

void TInputWidget::Row_Selection_Changed()
{
    bool any_ticked = false;
    for (const TEntryLine &line : d_entry_lines)
        any_ticked = any_ticked || line.check_box->isChecked();
    d_remove_button->setEnabled(any_ticked);
}

void TInputWidget::Row_Text_Edited(const TEntryLine &line)
{
    // At every keystroke the row's correction and the results follow the
    // texts as they stand, as they do for the code fields: a technician may
    // read the codes before leaving the field. A text that does not read
    // holds them back at once, but is marked only when its edit ends, so
    // that "-" on the way to "-5" does not flash.
    Correct_Row(line, false);
    emit Data_Changed();
}

void TInputWidget::Row_Edit_Finished(const QLineEdit *field)
{
    // The marks of every row, whichever field was edited.
    Correct_Rows();
    // A field that the user has changed since its text was last set has
    // reported each change at its keystroke (see Row_Text_Edited), and the
    // results already belong to it; a text set by the program has not.
    if (field->isModified())
        return;
    emit Data_Changed();
}

void TInputWidget::Correct_Rows()
{
    // Every row, not only the edited one; the typed texts stay as they are.
    for (const TEntryLine &line : d_entry_lines)
        Correct_Row(line, true);
}

void TInputWidget::Correct_Row(const TEntryLine &line, bool mark)
{
    bool actual_ok = false;
    bool reading_ok = false;
    const double actual = Read_Number(line.actual_edit, &actual_ok);
    const double reading = Read_Number(line.reading_edit, &reading_ok);
    if (mark)
    {
        Show_Readable(line.actual_edit, actual_ok);
        Show_Readable(line.reading_edit, reading_ok);
    }
    // A row with a value that does not read has no correction: one kept from
    // an earlier text (or from "19" on the way to "19,9") would not belong to
    // the texts shown beside it.
    if (actual_ok && reading_ok)
        Write_Number(line.correction_edit, reading - actual, d_measured_precision);
    else
        Write_Text(line.correction_edit, QString());
}

int TInputWidget::Paste_Block(QLineEdit *field, const QString &text)
{
    std::size_t first_row = 0;
    int first_column = -1; // 0 Nominal, 1 Actual, 2 Reading
    while (first_row < d_entry_lines.size() &&
           (first_column = Pasted_Columns(d_entry_lines[first_row]).indexOf(field)) < 0)
        ++first_row;
    if (first_column < 0)
        return 0;

    const QList<QStringList> lines = Read_Block(text, Column_Names());
    const std::size_t rows_before = d_entry_lines.size();
    int left_out = 0;
    for (int index = 0; index < lines.size(); ++index)
    {
        const std::size_t row = first_row + static_cast<std::size_t>(index);
        if (row >= static_cast<std::size_t>(Maximum_Rows))
        {
            left_out = lines.size() - index;
            break;
        }
        if (row >= d_entry_lines.size())
            Set_Row(Append_Row(), 20.0, 20.0, 20.0);
        const QList<QLineEdit *> columns = Pasted_Columns(d_entry_lines[row]);
        const QStringList &cells = lines.at(index);
        // Cells beyond the Reading column are left out: the Correction is
        // computed.
        for (int cell = 0; cell < cells.size() && first_column + cell < columns.size(); ++cell)
        {
            QLineEdit *edit = columns.at(first_column + cell);
            edit->setText(cells.at(cell));
            Mark_Field(edit);
        }
    }
    if (d_entry_lines.size() > rows_before)
        Lay_Out_Rows(static_cast<int>(rows_before));
    Update_Add_Button();
    Correct_Rows();
    emit Data_Changed();
    return left_out;
}

QList<QStringList> TInputWidget::Get_Texts() const
{
    QList<QStringList> texts;
    for (const TEntryLine &line : d_entry_lines)
        texts << Row_Texts(line);
    return texts;
}

void TInputWidget::Add_Row()
{
    if (d_entry_lines.size() >= static_cast<std::size_t>(Maximum_Rows))
        return;
    const int row = Append_Row();
    Set_Row(row, 20.0, 20.0, 20.0);
    Lay_Out_Rows(row);
    // In a scroll area, the new row comes into sight with the buttons under it.
    if (auto *area =
            qobject_cast<QScrollArea *>(parentWidget() ? parentWidget()->parentWidget() : nullptr))
        if (area->widget() == this)
            area->ensureWidgetVisible(d_add_button);
    emit Data_Changed();
}

void TInputWidget::Remove_Rows()
{
    // The survivors keep their texts exactly, marks and digits included: a
    // value typed with more digits than the column shows, or a text that is
    // not a number yet, is the user's and not the removal's to change.
    QList<QStringList> kept;
    std::size_t first_removed = d_entry_lines.size();
    for (std::size_t row = 0; row < d_entry_lines.size(); ++row)
    {
        const TEntryLine &line = d_entry_lines[row];
        if (!line.check_box->isChecked())
            kept.append(Row_Texts(line));
        else
            first_removed = std::min(first_removed, row);
    }
    // The table never ends up empty.
    if (kept.isEmpty())
        kept.append(QStringList{
            Number_Text(20.0, d_nominal_precision), Number_Text(20.0, d_measured_precision),
            Number_Text(20.0, d_measured_precision), Number_Text(0.0, d_measured_precision)});
    const std::size_t kept_count = static_cast<std::size_t>(kept.size());

    if (isAncestorOf(QApplication::focusWidget()))
    {
        // The focus stays in the table, on the row that now stands where the
        // first removed row stood. A field that loses it reports no edit, as
        // a deleted field would not; its text is kept all the same.
        const QSignalBlocker blocker(QApplication::focusWidget());
        d_entry_lines[std::min(first_removed, kept_count - 1)].check_box->setFocus();
    }

    // The survivors are shown in the first rows' widgets and only the surplus
    // at the end goes: re-creating every row would cost time in proportion
    // to the square of the row count (moving the rows' widgets, too, as the
    // grid searches itself for each one). No ticks, no undo history.
    Delete_Rows_From(kept_count);
    for (std::size_t row = 0; row < kept_count; ++row)
    {
        const QStringList &texts = kept.at(static_cast<int>(row));
        const TEntryLine &line = d_entry_lines[row];
        const QList<QLineEdit *> fields{line.nominal_edit, line.actual_edit, line.reading_edit,
                                        line.correction_edit};
        for (int column = 0; column < fields.size(); ++column)
        {
            const QSignalBlocker blocker(fields.at(column));
            Write_Text(fields.at(column), texts.at(column));
        }
        const QSignalBlocker blocker(line.check_box);
        line.check_box->setChecked(false);
    }
    Lay_Out_Rows(static_cast<int>(kept_count));
    // Marks and corrections as the texts give them; an edit left unfinished
    // in a surviving field is taken now.
    Commit_Edits();

    d_remove_button->setEnabled(false);
    Update_Add_Button();
    emit Data_Changed();
}

int TInputWidget::Append_Row()
{
    ZENTROVA_CHECK(d_grid_layout);
    ZENTROVA_CHECK(d_button_hlayout);
    ZENTROVA_CHECK(d_widget_vspacer);
    Take_Trailing_Items();

    const int row = static_cast<int>(d_entry_lines.size());

    TEntryLine line;
    line.check_box = new QCheckBox(QStringLiteral(" "), this);
    line.check_box->setMaximumWidth(field_max_width);
    line.nominal_edit = New_Field(this);
    line.actual_edit = New_Field(this);
    line.reading_edit = New_Field(this);
    line.correction_edit = New_Field(this);
    line.correction_edit->setReadOnly(true);
    line.unit_label = new QLabel(Temperature_Unit(), this);
    line.unit_label->setAccessibleName(tr("degrees Celsius"));

    const std::array<QWidget *, widgets_per_row> widgets = Row_Widgets(line);
    for (QWidget *widget : widgets)
    {
        // Placed by the layout before it is shown (see Lay_Out_Rows).
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
    }
    d_entry_lines.push_back(line);
    Place_Row(static_cast<std::size_t>(row));

    // New widgets join the end of the window's focus chain; the keyboard
    // reaches the row after the rows above it and before the add button.
    // (Qt orders only widgets that take the focus.)
    QWidget *previous = d_add_button->previousInFocusChain();
    while (previous->focusPolicy() == Qt::NoFocus && previous != window())
        previous = previous->previousInFocusChain();
    for (QWidget *widget : widgets)
    {
        if (widget->focusPolicy() == Qt::NoFocus)
            continue;
        setTabOrder(previous, widget);
        previous = widget;
    }

    Put_Trailing_Items(row + 2);
    Update_Add_Button();

    connect(line.check_box, &QCheckBox::toggled, this, &TInputWidget::Row_Selection_Changed);
    for (QLineEdit *edit : {line.actual_edit, line.reading_edit})
    {
        connect(edit, &QLineEdit::textEdited, this, [this, line] { Row_Text_Edited(line); });
        // (Not sender(): it searches every connection that the table
        // receives, nine a row.)
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] { Row_Edit_Finished(edit); });
    }
    // A field is marked when its editing ends, not at every keystroke ("-"
    // on the way to "-5" would flash), though the results that it holds back
    // go at once; the mark goes at once when the text reads as a number again.
    QLineEdit *nominal_edit = line.nominal_edit;
    connect(nominal_edit, &QLineEdit::editingFinished, this,
            [nominal_edit] { Mark_Field(nominal_edit); });
    for (QLineEdit *edit : Pasted_Columns(line))
    {
        connect(edit, &QLineEdit::textChanged, this,
                [edit]
                {
                    if (Is_Readable(edit))
                        Show_Readable(edit, true);
                });
        d_block_paste->Watch(edit);
    }
    return row;
}

void TInputWidget::Set_Row(int row, const double &nominal, const double &actual,
                           const double &reading)
{
    Set_Row_Texts(row, {Number_Text(nominal, d_nominal_precision),
                        Number_Text(actual, d_measured_precision),
                        Number_Text(reading, d_measured_precision)});
    // From the arguments, not from the rounded texts.
    Write_Number(d_entry_lines[static_cast<std::size_t>(row)].correction_edit, reading - actual,
                 d_measured_precision);
}

void TInputWidget::Set_Row_Texts(int row, const QStringList &texts)
{
    ZENTROVA_CHECK(row < static_cast<int>(d_entry_lines.size()));
    const TEntryLine &line = d_entry_lines[static_cast<std::size_t>(row)];
    const QList<QLineEdit *> fields = Pasted_Columns(line);
    for (int column = 0; column < fields.size(); ++column)
    {
        QLineEdit *edit = fields.at(column);
        const QSignalBlocker blocker(edit);
        Write_Text(edit, texts.value(column));
        Mark_Field(edit);
    }
    // A row with a value that is not a number has no correction to show.
    bool actual_ok = false;
    bool reading_ok = false;
    const double actual = Read_Number(line.actual_edit, &actual_ok);
    const double reading = Read_Number(line.reading_edit, &reading_ok);
    if (actual_ok && reading_ok)
        Write_Number(line.correction_edit, reading - actual, d_measured_precision);
    else
        Write_Text(line.correction_edit, QString());
}

void TInputWidget::Delete_Row_Widgets()
{
    Delete_Rows_From(0);
}

void TInputWidget::Delete_Rows_From(std::size_t first_row)
{
    ZENTROVA_CHECK(d_grid_layout);
    ZENTROVA_CHECK(d_button_hlayout);
    ZENTROVA_CHECK(d_widget_vspacer);
    if (first_row >= d_entry_lines.size())
        return;
    Take_Trailing_Items();

    // Cut every row off before any of them is hidden: hiding a focused field
    // moves the focus on, and the field that loses it must not reach the
    // table (its editingFinished would recompute rows that are going away).
    for (std::size_t row = first_row; row < d_entry_lines.size(); ++row)
        for (QWidget *widget : Row_Widgets(d_entry_lines[row]))
            widget->disconnect();

    // The rows' items are the grid's last ones, in row order: out of the grid
    // from the last item backwards, which costs nothing per item, where
    // removeWidget would search the whole grid for each one.
    const std::size_t removed_items = (d_entry_lines.size() - first_row) * widgets_per_row;
    for (std::size_t taken = 0; taken < removed_items; ++taken)
        delete d_grid_layout->takeAt(d_grid_layout->count() - 1);
    d_grid_layout->invalidate();

    // Every child that the table loses makes its layout search all of its
    // items, so the widgets are handed, out of the grid, to a hidden holder
    // that takes them away in one piece. Reparenting hides them, so they do
    // not linger on screen until the event loop deletes them.
    auto *holder = new QWidget(this);
    for (std::size_t row = first_row; row < d_entry_lines.size(); ++row)
        for (QWidget *widget : Row_Widgets(d_entry_lines[row]))
            widget->setParent(holder);
    holder->deleteLater();
    d_entry_lines.resize(first_row);

    Put_Trailing_Items(static_cast<int>(first_row) + 1);
    Update_Add_Button();
}

void TInputWidget::Place_Row(std::size_t row)
{
    const TEntryLine &line = d_entry_lines[row];
    const std::array<QWidget *, widgets_per_row> widgets = Row_Widgets(line);
    for (int column = 0; column < static_cast<int>(widgets.size()); ++column)
        d_grid_layout->addWidget(widgets[static_cast<std::size_t>(column)],
                                 static_cast<int>(row) + 1, column);
    const QString number = QString::number(row + 1);
    line.check_box->setAccessibleName(tr("Select row %1").arg(number));
    line.nominal_edit->setAccessibleName(tr("Nominal, row %1").arg(number));
    line.actual_edit->setAccessibleName(tr("Actual, row %1").arg(number));
    line.reading_edit->setAccessibleName(tr("Reading, row %1").arg(number));
    line.correction_edit->setAccessibleName(tr("Correction, row %1").arg(number));
}

void TInputWidget::Lay_Out_Rows(int first_new_row)
{
    // Rows added to a hidden table are shown with it.
    if (!isVisible())
        return;

    // Every shown widget that the layout moves costs time in proportion to
    // the number of its siblings, and left to the event loop the table is
    // laid out twice: first at its old size, squeezing and moving every row,
    // then at its new one. So the window is laid out now, outermost first,
    // while the new rows are still hidden (placed, not moved); the table's
    // own layout request is sent now too, so that whatever holds the table
    // (a scroll area) sizes it before its rows are placed. The new rows are
    // then shown with the layout switched off, so that showing each one does
    // not lay out the grid again.
    for (QWidget *widget = this; widget && !widget->isWindow(); widget = widget->parentWidget())
        widget->updateGeometry();
    if (QLayout *outer = window()->layout())
        outer->activate();
    QEvent request(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(this, &request);

    d_grid_layout->setEnabled(false);
    for (std::size_t row = static_cast<std::size_t>(first_new_row); row < d_entry_lines.size();
         ++row)
        for (QWidget *widget : Row_Widgets(d_entry_lines[row]))
            widget->show();
    d_grid_layout->setEnabled(true);
}

void TInputWidget::Update_Add_Button()
{
    // One bound for adding and for loading, so that nothing saved is cut
    // at the next start.
    const bool full = d_entry_lines.size() >= static_cast<std::size_t>(Maximum_Rows);
    d_add_button->setEnabled(!full);
    d_add_button->setToolTip(full ? tr("The table holds at most %1 rows.").arg(Maximum_Rows)
                                  : QString());
}

void TInputWidget::Take_Trailing_Items()
{
    d_grid_layout->removeItem(d_widget_vspacer);
    d_grid_layout->removeItem(d_button_hlayout);
    // A layout that still has a parent cannot be added again.
    d_button_hlayout->setParent(nullptr);
}

void TInputWidget::Put_Trailing_Items(int grid_row)
{
    d_grid_layout->addItem(d_widget_vspacer, grid_row, 0, 1, column_count);
    d_grid_layout->addLayout(d_button_hlayout, grid_row + 1, 0, 1, column_count);
}

Sample TInputWidget::Read_Row(const TEntryLine &line) const
{
    return Sample{Read_Number(line.nominal_edit), Read_Number(line.actual_edit),
                  Read_Number(line.reading_edit), Read_Number(line.correction_edit)};
}
