#include "inputwidget.h"

#include "check.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QToolButton>

#include <array>
#include <cmath>

namespace
{
constexpr int field_max_width = 90;
constexpr int column_count = 5; // the spacer and the button row span columns 0 to 4
constexpr int max_nominal_precision = 2;
constexpr int max_measured_precision = 4;

QString Number_Text(double value, int precision)
{
    return QStringLiteral("%1").arg(value, 0, 'f', precision);
}

// C locale, surrounding blanks ignored. A text that does not read as a
// finite number (a comma, letters, "nan", "inf", or one too large for a
// double, which toDouble would give as infinity) fails and gives 0.0: a
// code is never computed from it.
double Read_Number(const QLineEdit *edit, bool *ok = nullptr)
{
    bool converted = false;
    const double value = edit->text().toDouble(&converted);
    const bool readable = converted && std::isfinite(value);
    if (ok)
        *ok = readable;
    return readable ? value : 0.0;
}

bool Is_Readable(const QLineEdit *edit)
{
    bool ok = false;
    Read_Number(edit, &ok);
    return ok;
}

const char unreadable_property[] = "unreadable";

// A tinted ground keeps the typed text legible in every style; the words
// reach the user who hovers and the one who listens.
void Show_Readable(QLineEdit *edit, bool readable)
{
    if (edit->property(unreadable_property).toBool() == !readable)
        return;
    edit->setProperty(unreadable_property, !readable);
    if (readable)
    {
        edit->setPalette(QPalette());
        edit->setToolTip(QString());
        edit->setAccessibleDescription(QString());
        return;
    }
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, QColor(255, 200, 200));
    palette.setColor(QPalette::Text, Qt::black);
    edit->setPalette(palette);
    const QString words = TInputWidget::tr(
        "Not a number: this value is left out. Use a point as the decimal separator (15.2).");
    edit->setToolTip(words);
    edit->setAccessibleDescription(words);
}

void Mark_Field(QLineEdit *edit)
{
    Show_Readable(edit, Is_Readable(edit));
}

void Write_Number(QLineEdit *edit, double value, int precision)
{
    edit->setText(Number_Text(value, precision));
    Mark_Field(edit);
}

std::array<QWidget *, 6> Row_Widgets(const TEntryLine &line)
{
    return {line.check_box,    line.nominal_edit,    line.actual_edit,
            line.reading_edit, line.correction_edit, line.unit_label};
}

QLineEdit *New_Field(QWidget *parent, const QString &accessible_name)
{
    auto *edit = new QLineEdit(parent);
    edit->setAlignment(Qt::AlignCenter);
    edit->setMaximumWidth(field_max_width);
    edit->setAccessibleName(accessible_name);
    return edit;
}
} // namespace

TInputWidget::TInputWidget(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), d_grid_layout(new QGridLayout(this)),
      d_button_hlayout(new QHBoxLayout()), d_add_button(new QToolButton(this)),
      d_remove_button(new QToolButton(this)),
      d_widget_vspacer(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding)),
      d_nominal_precision(0), d_measured_precision(2)
{
    d_grid_layout->setSpacing(3);

    const QString headers[] = {tr("Nominal"), tr("Actual"), tr("Reading"),
                               tr("Correction\n(Error)")};
    for (int column = 1; column <= 4; ++column)
    {
        auto *header = new QLabel(headers[column - 1], this);
        header->setAlignment(Qt::AlignCenter);
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
}

TInputWidget::~TInputWidget()
{
    // QWidget's destructor hides a shown table, and a field that loses the
    // focus then would call Row_Data_Changed on a table that is no longer
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
        // A text that is not a number stays as the user typed it, but
        // counts as 0 in the correction.
        const double actual = Read_Number(line.actual_edit, &ok);
        if (ok)
            Write_Number(line.actual_edit, actual, d_measured_precision);
        const double reading = Read_Number(line.reading_edit, &ok);
        if (ok)
            Write_Number(line.reading_edit, reading, d_measured_precision);
        Write_Number(line.correction_edit, reading - actual, d_measured_precision);
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
    Show_New_Rows(row);
    emit Data_Changed();
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

void TInputWidget::Row_Data_Changed()
{
    // Every row, not only the edited one; the typed texts stay as they are.
    for (const TEntryLine &line : d_entry_lines)
    {
        bool actual_ok = false;
        bool reading_ok = false;
        const double actual = Read_Number(line.actual_edit, &actual_ok);
        const double reading = Read_Number(line.reading_edit, &reading_ok);
        Show_Readable(line.actual_edit, actual_ok);
        Show_Readable(line.reading_edit, reading_ok);
        if (!actual_ok || !reading_ok)
            continue;
        Write_Number(line.correction_edit, reading - actual, d_measured_precision);
    }
    emit Data_Changed();
}

void TInputWidget::Add_Row()
{
    const int row = Append_Row();
    Set_Row(row, 20.0, 20.0, 20.0);
    Show_New_Rows(row);
    emit Data_Changed();
}

void TInputWidget::Remove_Rows()
{
    Sample_List kept;
    for (const TEntryLine &line : d_entry_lines)
    {
        if (!line.check_box->isChecked())
            kept.append(Read_Row(line));
    }

    Delete_Row_Widgets();
    d_entry_lines.clear();

    // The table never ends up empty.
    if (kept.isEmpty())
        kept.append(Sample{20.0, 20.0, 20.0, 0.0});
    d_entry_lines.reserve(static_cast<std::size_t>(kept.size()));
    for (const Sample &sample : kept)
        Set_Row(Append_Row(), sample.nominal, sample.actual, sample.reading);
    Show_New_Rows(0);

    d_remove_button->setEnabled(false);
    emit Data_Changed();
}

int TInputWidget::Append_Row()
{
    ZENTROVA_CHECK(d_grid_layout);
    ZENTROVA_CHECK(d_button_hlayout);
    ZENTROVA_CHECK(d_widget_vspacer);
    Take_Trailing_Items();

    const int row = static_cast<int>(d_entry_lines.size());
    const int grid_row = row + 1;
    const QString number = QString::number(row + 1);

    TEntryLine line;
    line.check_box = new QCheckBox(QStringLiteral(" "), this);
    line.check_box->setMaximumWidth(field_max_width);
    line.check_box->setAccessibleName(tr("Select row %1").arg(number));
    line.nominal_edit = New_Field(this, tr("Nominal, row %1").arg(number));
    line.actual_edit = New_Field(this, tr("Actual, row %1").arg(number));
    line.reading_edit = New_Field(this, tr("Reading, row %1").arg(number));
    line.correction_edit = New_Field(this, tr("Correction, row %1").arg(number));
    line.correction_edit->setReadOnly(true);
    line.unit_label = new QLabel(Temperature_Unit(), this);

    const std::array<QWidget *, 6> widgets = Row_Widgets(line);
    for (int column = 0; column < static_cast<int>(widgets.size()); ++column)
    {
        QWidget *widget = widgets[static_cast<std::size_t>(column)];
        // Placed by the layout before it is shown (see Show_New_Rows).
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
        d_grid_layout->addWidget(widget, grid_row, column);
    }
    d_entry_lines.push_back(line);

    Put_Trailing_Items(grid_row + 1);

    connect(line.check_box, &QCheckBox::toggled, this, &TInputWidget::Row_Selection_Changed);
    connect(line.actual_edit, &QLineEdit::editingFinished, this, &TInputWidget::Row_Data_Changed);
    connect(line.reading_edit, &QLineEdit::editingFinished, this, &TInputWidget::Row_Data_Changed);
    // A field is marked when its editing ends, together with the results that
    // it holds back, not at every keystroke ("-" on the way to "-5" would
    // flash); the mark goes at once when the text reads as a number again.
    QLineEdit *nominal_edit = line.nominal_edit;
    connect(nominal_edit, &QLineEdit::editingFinished, this,
            [nominal_edit] { Mark_Field(nominal_edit); });
    for (QLineEdit *edit : {line.nominal_edit, line.actual_edit, line.reading_edit})
        connect(edit, &QLineEdit::textChanged, this,
                [edit]
                {
                    if (Is_Readable(edit))
                        Show_Readable(edit, true);
                });
    return row;
}

void TInputWidget::Set_Row(int row, const double &nominal, const double &actual,
                           const double &reading)
{
    ZENTROVA_CHECK(row < static_cast<int>(d_entry_lines.size()));
    const TEntryLine &line = d_entry_lines[static_cast<std::size_t>(row)];
    {
        const QSignalBlocker blocker(line.nominal_edit);
        Write_Number(line.nominal_edit, nominal, d_nominal_precision);
    }
    {
        const QSignalBlocker blocker(line.actual_edit);
        Write_Number(line.actual_edit, actual, d_measured_precision);
    }
    {
        const QSignalBlocker blocker(line.reading_edit);
        Write_Number(line.reading_edit, reading, d_measured_precision);
    }
    // From the arguments, not from the rounded texts.
    Write_Number(line.correction_edit, reading - actual, d_measured_precision);
}

void TInputWidget::Delete_Row_Widgets()
{
    ZENTROVA_CHECK(d_grid_layout);
    ZENTROVA_CHECK(d_button_hlayout);
    ZENTROVA_CHECK(d_widget_vspacer);
    Take_Trailing_Items();

    // Cut every row off before any of them is hidden: hiding a focused field
    // moves the focus on, and the field that loses it must not reach the
    // table (its editingFinished would recompute rows that are going away).
    for (const TEntryLine &line : d_entry_lines)
    {
        line.check_box->disconnect();
        line.nominal_edit->disconnect();
        line.actual_edit->disconnect();
        line.reading_edit->disconnect();
    }

    // Out of the grid from the last item backwards, which costs nothing per
    // item; removeWidget would search the whole grid for each one.
    for (int index = d_grid_layout->count() - 1; index >= 0; --index)
    {
        int row = 0;
        int column = 0;
        int row_span = 0;
        int column_span = 0;
        d_grid_layout->getItemPosition(index, &row, &column, &row_span, &column_span);
        if (row > 0) // row 0 holds the headers
            delete d_grid_layout->takeAt(index);
    }
    d_grid_layout->invalidate();

    // Every child that the table loses makes its layout search all of its
    // items, so the widgets are handed over now, while the grid holds only
    // the headers, to a hidden holder that takes them away in one piece.
    // Reparenting hides them, so they do not linger on screen under the new
    // rows until the event loop deletes them.
    if (!d_entry_lines.empty())
    {
        auto *removed = new QWidget(this);
        for (const TEntryLine &line : d_entry_lines)
            for (QWidget *widget : Row_Widgets(line))
                widget->setParent(removed);
        removed->deleteLater();
    }

    Put_Trailing_Items(1);
}

void TInputWidget::Show_New_Rows(int first_row)
{
    // Rows added to a hidden table are shown with it.
    if (!isVisible())
        return;

    // Every shown widget that the layout moves costs time in proportion to
    // the number of its siblings, and left to the event loop the table is
    // laid out twice: first at its old size, squeezing and moving every row,
    // then at its new one. So the window is laid out now, outermost first,
    // while the new rows are still hidden (placed, not moved), and they are
    // shown with the layout switched off so that showing each one does not
    // lay out the grid again.
    updateGeometry();
    if (QLayout *outer = window()->layout())
        outer->activate();
    d_grid_layout->activate();

    d_grid_layout->setEnabled(false);
    for (std::size_t row = static_cast<std::size_t>(first_row); row < d_entry_lines.size(); ++row)
        for (QWidget *widget : Row_Widgets(d_entry_lines[row]))
            widget->show();
    d_grid_layout->setEnabled(true);
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
