// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppSettings.h"

#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;
class QVBoxLayout;
class QWidget;
class SegmentedControl;

// Controls bound to one setting each: they show the stored value, write a change at once, and
// follow every later write of the key, this window's or another process's.
namespace SettingControls {

// A switch. `afterUserChange` runs after the user flipped it and the value was stored.
QCheckBox *switchFor(AppSettings &settings, const Setting<bool> &setting, const QString &label,
                     std::function<void(bool)> afterUserChange = {});

// A picker over the setting's choices, shown with the labels (one per choice, in order). A
// stored value that is not a choice shows no selection.
QComboBox *pickerFor(AppSettings &settings, const Setting<qint64> &setting, const QStringList &labels,
                     const QString &accessibleName);

// A segmented picker over the setting's choices, shown with the labels.
SegmentedControl *segmentsFor(AppSettings &settings, const Setting<QString> &setting, const QStringList &labels,
                              const QString &accessibleName);

// A stepper within the setting's range.
QSpinBox *stepperFor(AppSettings &settings, const Setting<qint64> &setting, const QString &accessibleName);

// Runs `update` now and after every write of one of the keys, for as long as `context` lives.
void follow(AppSettings &settings, QWidget *context, const QStringList &keys, const std::function<void()> &update);

// The label as a button or a buddy label shows it: "&" stands for itself, not a shortcut key.
QString literalText(const QString &label);

// A help text under its control: small, secondary colour, wrapped.
QLabel *helpText(const QString &text);

// A titled group of a form (no frame title when `title` is empty), its rows stacked.
QGroupBox *section(const QString &title, QVBoxLayout **rows);

// A row of a label and its control, the label naming the control for screen readers.
QWidget *labelledRow(const QString &label, QWidget *control);

} // namespace SettingControls
