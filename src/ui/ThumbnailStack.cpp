// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ThumbnailStack.h"

#include "ui/FloatingThumbnailPanel.h"
#include "ui/ThumbnailContentView.h"
#include "ui/ThumbnailGeometry.h"

ThumbnailStack::~ThumbnailStack()
{
    for (const QPointer<FloatingThumbnailPanel> &p : std::as_const(m_panels)) {
        delete p.data();
    }
}

QList<FloatingThumbnailPanel *> ThumbnailStack::panels() const
{
    QList<FloatingThumbnailPanel *> list;
    for (const QPointer<FloatingThumbnailPanel> &p : m_panels) {
        if (p) {
            list.append(p.data());
        }
    }
    return list;
}

FloatingThumbnailPanel *ThumbnailStack::panelFor(const QUuid &recordId) const
{
    for (FloatingThumbnailPanel *p : panels()) {
        if (p->record().id == recordId) {
            return p;
        }
    }
    return nullptr;
}

FloatingThumbnailPanel *ThumbnailStack::showThumbnail(const ScreenshotRecord &record, ActionHandler onAction)
{
    if (panels().size() >= ThumbnailGeometry::maxPanels) {
        for (FloatingThumbnailPanel *p : panels()) {
            if (!p->isPinned()) {
                p->dismiss(false);
                break;
            }
        }
    }
    auto *panel = new FloatingThumbnailPanel(record);
    QPointer<ThumbnailStack> self(this);
    panel->onAction = [self, record, onAction](ThumbnailAction action) {
        if (self && onAction) {
            onAction(action, record);
        }
    };
    QPointer<FloatingThumbnailPanel> weakPanel(panel);
    panel->onDismissed = [self, weakPanel] {
        if (self && weakPanel) {
            self->removePanel(weakPanel.data());
        }
    };
    int offset = 0;
    for (FloatingThumbnailPanel *p : panels()) {
        offset += p->panelSize().height() + ThumbnailGeometry::stackSpacing;
    }
    m_panels.append(panel);
    panel->show(offset);
    emit panelShown(panel);
    return panel;
}

void ThumbnailStack::removePanel(FloatingThumbnailPanel *panel)
{
    m_panels.removeIf([panel](const QPointer<FloatingThumbnailPanel> &p) { return !p || p.data() == panel; });
    panel->deleteLater();
    const QRect visible = FloatingThumbnailPanel::targetVisibleArea();
    QList<int> heights;
    const QList<FloatingThumbnailPanel *> rest = panels();
    for (FloatingThumbnailPanel *p : rest) {
        heights.append(p->panelSize().height());
    }
    const QList<int> offsets = ThumbnailGeometry::stackOffsets(heights);
    for (int i = 0; i < rest.size(); ++i) {
        rest[i]->moveTo(ThumbnailGeometry::restingPosition(visible, rest[i]->panelSize(), offsets[i]).y());
    }
}

void ThumbnailStack::showPIIBadge(const QUuid &recordId)
{
    FloatingThumbnailPanel *panel = panelFor(recordId);
    if (!panel) {
        return;
    }
    panel->thumbnailContentView()->showPIIBadge();
    if (!panel->isPinned() && panel->hasDismissTimer()) {
        panel->startDismissTimer(FloatingThumbnailPanel::badgeSeconds);
    }
}
