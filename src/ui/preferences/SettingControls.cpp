// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preferences/SettingControls.h"

#include "ui/preferences/SegmentedControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace SettingControls {

void follow(AppSettings &settings, QWidget *context, const QStringList &keys, const std::function<void()> &update)
{
    update();
    QObject::connect(&settings, &AppSettings::changed, context, [keys, update](const QString &key) {
        if (keys.contains(key)) {
            update();
        }
    });
}

QCheckBox *switchFor(AppSettings &settings, const Setting<bool> &setting, const QString &label,
                     std::function<void(bool)> afterUserChange)
{
    auto *box = new QCheckBox(literalText(label));
    box->setAccessibleName(label);
    follow(settings, box, {setting.key}, [&settings, &setting, box] {
        const QSignalBlocker blocker(box);
        box->setChecked(settings.get(setting));
    });
    QObject::connect(box, &QCheckBox::toggled, box, [&settings, &setting, afterUserChange](bool on) {
        settings.set(setting, on);
        if (afterUserChange) {
            afterUserChange(on);
        }
    });
    return box;
}

QComboBox *pickerFor(AppSettings &settings, const Setting<qint64> &setting, const QStringList &labels,
                     const QString &accessibleName)
{
    const QList<qint64> values = setting.typedChoices();
    Q_ASSERT(values.size() == labels.size());
    auto *combo = new QComboBox;
    combo->setAccessibleName(accessibleName);
    for (int i = 0; i < values.size() && i < labels.size(); ++i) {
        combo->addItem(labels.at(i), QVariant::fromValue(values.at(i)));
    }
    follow(settings, combo, {setting.key}, [&settings, &setting, combo] {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(combo->findData(QVariant::fromValue(settings.get(setting))));
    });
    QObject::connect(combo, &QComboBox::activated, combo, [&settings, &setting, combo](int index) {
        settings.set(setting, combo->itemData(index).value<qint64>());
    });
    return combo;
}

SegmentedControl *segmentsFor(AppSettings &settings, const Setting<QString> &setting, const QStringList &labels,
                              const QString &accessibleName)
{
    const QList<QString> values = setting.typedChoices();
    Q_ASSERT(values.size() == labels.size());
    auto *segments = new SegmentedControl(labels);
    segments->setAccessibleName(accessibleName);
    follow(settings, segments, {setting.key}, [&settings, &setting, segments, values] {
        segments->setCurrentIndex(int(values.indexOf(settings.get(setting))));
    });
    QObject::connect(segments, &SegmentedControl::activated, segments, [&settings, &setting, values](int index) {
        if (index >= 0 && index < values.size()) {
            settings.set(setting, values.at(index));
        }
    });
    return segments;
}

QSpinBox *stepperFor(AppSettings &settings, const Setting<qint64> &setting, const QString &accessibleName)
{
    auto *spin = new QSpinBox;
    spin->setAccessibleName(accessibleName);
    if (setting.range) {
        spin->setRange(int(setting.range->minimum), int(setting.range->maximum));
    }
    follow(settings, spin, {setting.key}, [&settings, &setting, spin] {
        const QSignalBlocker blocker(spin);
        spin->setValue(int(settings.get(setting)));
    });
    QObject::connect(spin, &QSpinBox::valueChanged, spin, [&settings, &setting](int value) {
        settings.set(setting, qint64(value));
    });
    return spin;
}

QString literalText(const QString &label)
{
    return QString(label).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QLabel *helpText(const QString &text)
{
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QGroupBox *section(const QString &title, QVBoxLayout **rows)
{
    auto *group = new QGroupBox(title);
    group->setFlat(title.isEmpty());
    if (!title.isEmpty()) {
        group->setAccessibleName(title);
    }
    auto *layout = new QVBoxLayout(group);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->setSpacing(4);
    *rows = layout;
    return group;
}

QWidget *labelledRow(const QString &label, QWidget *control)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *text = new QLabel(literalText(label), row);
    text->setBuddy(control);
    layout->addWidget(text);
    layout->addStretch(1);
    layout->addWidget(control);
    if (control->accessibleName().isEmpty()) {
        control->setAccessibleName(label);
    }
    return row;
}

} // namespace SettingControls
