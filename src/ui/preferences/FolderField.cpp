// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preferences/FolderField.h"

#include "platform/FileSystem.h"
#include "ui/preferences/SettingControls.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

FolderField::FolderField(AppSettings &settings, const Setting<QString> &setting, const QString &placeholder,
                         const QString &accessibleName, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_setting(setting)
    , m_field(new QLineEdit(this))
    , m_browse(new QPushButton(tr("Browse"), this))
    , m_missing(SettingControls::helpText(tr("This folder does not exist.")))
{
    m_field->setPlaceholderText(placeholder);
    m_field->setAccessibleName(accessibleName);
    m_field->setClearButtonEnabled(true);
    // The line edit's clear button comes without a name of its own.
    for (QToolButton *clear : m_field->findChildren<QToolButton *>()) {
        clear->setAccessibleName(tr("Clear %1").arg(accessibleName));
    }
    m_browse->setAccessibleName(tr("Browse"));
    m_browse->setAccessibleDescription(tr("Choose the folder for %1").arg(accessibleName));
    m_missing->setParent(this);
    m_missing->setForegroundRole(QPalette::WindowText);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto *row = new QHBoxLayout;
    row->addWidget(m_field, 1);
    row->addWidget(m_browse);
    layout->addLayout(row);
    layout->addWidget(m_missing);

    SettingControls::follow(settings, this, {setting.key}, [this] {
        const QString stored = m_settings.get(m_setting);
        if (m_field->text() != stored) {
            m_field->setText(stored);
        }
        updateMissingNote();
    });
    // Stored as typed, at once: nothing is checked or expanded here.
    connect(m_field, &QLineEdit::textEdited, this, [this](const QString &text) { m_settings.set(m_setting, text); });
    connect(m_browse, &QPushButton::clicked, this, &FolderField::browse);
}

QString FolderField::chooseWithDialog(QWidget *parent, const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

QString FolderField::collapseHome(const QString &path, const QString &home)
{
    QString root = QDir::cleanPath(home);
    if (root.isEmpty() || root == QLatin1String("/")) {
        return path;
    }
    if (path == root) {
        return QStringLiteral("~");
    }
    if (path.startsWith(root + QLatin1Char('/'))) {
        return QLatin1Char('~') + path.mid(root.size());
    }
    return path;
}

void FolderField::browse()
{
    const QString current = FileSystem::expandTilde(m_settings.get(m_setting));
    const QString start = !current.isEmpty() && QFileInfo(current).isDir() ? current : QDir::homePath();
    const QString chosen = m_chooser(window(), m_field->accessibleName(), start);
    if (chosen.isEmpty()) {
        return; // cancelled
    }
    m_settings.set(m_setting, collapseHome(QDir::cleanPath(chosen), QDir::homePath()));
}

void FolderField::updateMissingNote()
{
    const QString text = m_settings.get(m_setting);
    m_missing->setVisible(!text.isEmpty() && !QFileInfo(FileSystem::expandTilde(text)).isDir());
}
