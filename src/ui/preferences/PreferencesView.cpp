// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preferences/PreferencesView.h"

#include "ui/Symbols.h"
#include "ui/preferences/AboutTab.h"
#include "ui/preferences/GeneralTab.h"
#include "ui/preferences/PrivacyTab.h"
#include "ui/preferences/StorageTab.h"
#include "ui/preferences/TagsTab.h"

#include <QScrollArea>
#include <QShortcut>
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
    // The tab's own background shows through, as it does on the About tab.
    area->viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
    if (QLayout *form = page->layout()) {
        form->setContentsMargins(6, 4, 6, 6);
        form->setSpacing(6);
    }
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
    m_tabs->addTab(scrolling(m_tags), icon("tag", Symbols::Symbol::Tag), tr("Tags"));
    m_tabs->addTab(scrolling(m_privacy), Symbols::themedIcon(Symbols::Symbol::ShieldHalfFilled, ink), tr("Privacy"));
    m_tabs->addTab(scrolling(m_storage), Symbols::themedIcon(Symbols::Symbol::InternalDrive, ink), tr("Storage"));
    m_tabs->addTab(m_about, Symbols::themedIcon(Symbols::Symbol::InfoCircle, ink), tr("About"));

    // As shortcuts, so that a spin box or a picker with the focus does not take the keys first.
    const auto step = [this](int by) {
        m_tabs->setCurrentIndex((m_tabs->currentIndex() + by + m_tabs->count()) % m_tabs->count());
    };
    for (const auto &[keys, by] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                   {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                   {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                                   {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [step, by = by] { step(by); });
    }
}
