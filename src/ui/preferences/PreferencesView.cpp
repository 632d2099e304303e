// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preferences/PreferencesView.h"

#include "ui/Symbols.h"
#include "ui/preferences/AboutTab.h"
#include "ui/preferences/GeneralTab.h"
#include "ui/preferences/PrivacyTab.h"
#include "ui/preferences/StorageTab.h"
#include "ui/preferences/TagsTab.h"

#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// A tab's form scrolls rather than being cut off when fonts are large.
QScrollArea *scrolling(QWidget *page)
{
    auto *area = new QScrollArea;
    area->setWidget(page);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return area;
}

} // namespace

PreferencesView::PreferencesView(AppSettings &settings, QWidget *parent)
    : QWidget(parent)
    , m_tabs(new QTabWidget(this))
    , m_general(new GeneralTab(settings))
    , m_tags(new TagsTab(settings))
    , m_privacy(new PrivacyTab(settings))
    , m_storage(new StorageTab(settings))
    , m_about(new AboutTab)
{
    setFixedSize(windowWidth, windowHeight);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(m_tabs);
    m_tabs->setDocumentMode(false);
    m_tabs->setUsesScrollButtons(false);

    const QColor ink = palette().color(QPalette::WindowText);
    const auto icon = [&ink](const char *themeName, Symbols::Symbol fallback) {
        return QIcon::fromTheme(QString::fromLatin1(themeName), Symbols::icon(fallback, ink));
    };
    m_tabs->addTab(scrolling(m_general), icon("preferences-system", Symbols::Symbol::Gear), tr("General"));
    m_tabs->addTab(scrolling(m_tags), icon("tag", Symbols::Symbol::Pencil), tr("Tags"));
    m_tabs->addTab(scrolling(m_privacy), icon("security-high", Symbols::Symbol::ExclamationShield), tr("Privacy"));
    m_tabs->addTab(scrolling(m_storage), icon("drive-harddisk", Symbols::Symbol::Folder), tr("Storage"));
    m_tabs->addTab(m_about, icon("help-about", Symbols::Symbol::CameraViewfinder), tr("About"));
}
