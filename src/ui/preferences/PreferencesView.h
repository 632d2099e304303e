// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class AboutTab;
class AppSettings;
class GeneralTab;
class PrivacyTab;
class QTabWidget;
class StorageTab;
class TagsTab;

// The preferences: five tabs over the settings, each control written at once and following
// changes made anywhere else. Ctrl+Tab and Ctrl+PageDown move between the tabs.
class PreferencesView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int windowWidth = 500;
    static constexpr int windowHeight = 520;

    explicit PreferencesView(AppSettings &settings, QWidget *parent = nullptr);

    QTabWidget *tabs() const { return m_tabs; }
    GeneralTab *general() const { return m_general; }
    TagsTab *tagsTab() const { return m_tags; }
    PrivacyTab *privacy() const { return m_privacy; }
    StorageTab *storage() const { return m_storage; }
    AboutTab *about() const { return m_about; }

private:
    QTabWidget *m_tabs;
    GeneralTab *m_general;
    TagsTab *m_tags;
    PrivacyTab *m_privacy;
    StorageTab *m_storage;
    AboutTab *m_about;
};
