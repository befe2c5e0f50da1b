#include "settingsdialog.h"

#include "settingsstore.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QSpinBox>

TSettingsDialog::TSettingsDialog(QWidget *parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    resize(377, 180);
    auto *grid = new QGridLayout(this);

    auto *nominal_label = new QLabel(this);
    grid->addWidget(nominal_label, 0, 0);
    d_nominal_spinbox = new QSpinBox(this);
    d_nominal_spinbox->setMinimum(0);
    d_nominal_spinbox->setMaximum(2);
    grid->addWidget(d_nominal_spinbox, 0, 1);
    grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 2, 2, 1);

    auto *measured_label = new QLabel(this);
    grid->addWidget(measured_label, 1, 0);
    d_measured_spinbox = new QSpinBox(this);
    d_measured_spinbox->setMinimum(0);
    d_measured_spinbox->setMaximum(4);
    grid->addWidget(d_measured_spinbox, 1, 1);
    // The labels have no shortcut letter; the buddy is what lets a screen
    // reader name each spin box by its label.
    nominal_label->setBuddy(d_nominal_spinbox);
    measured_label->setBuddy(d_measured_spinbox);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    grid->addWidget(rule, 2, 0, 1, 3);
    grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 3, 0, 1, 3);

    auto *buttons = new QHBoxLayout();
    buttons->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    auto *cancel_button = new QPushButton(this);
    cancel_button->setAutoDefault(false);
    buttons->addWidget(cancel_button);
    auto *accept_button = new QPushButton(this);
    accept_button->setAutoDefault(true);
    buttons->addWidget(accept_button);
    grid->addLayout(buttons, 4, 0, 1, 3);

    d_nominal_spinbox->setValue(Settings_Keys::default_nominal_precision);
    d_measured_spinbox->setValue(Settings_Keys::default_measured_precision);

    setWindowTitle(QStringLiteral("Settings"));
    nominal_label->setText(QStringLiteral("Nominal Temperature Precision:"));
    measured_label->setText(QStringLiteral("Measured Temperature Precision:"));
    cancel_button->setText(QStringLiteral("Cancel"));
    accept_button->setText(QStringLiteral("Accept"));

    connect(accept_button, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
}

void TSettingsDialog::Set_Precision(int nominal_precision, int measured_precision)
{
    d_nominal_spinbox->setValue(nominal_precision);
    d_measured_spinbox->setValue(measured_precision);
}

int TSettingsDialog::Get_Nominal_Precision() const
{
    return d_nominal_spinbox->value();
}

int TSettingsDialog::Get_Measured_Precision() const
{
    return d_measured_spinbox->value();
}
