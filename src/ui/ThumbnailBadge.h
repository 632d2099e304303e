// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

// The round "sensitive information" shield on a thumbnail; grows in when it appears.
class ThumbnailBadge : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(qreal scale READ scale WRITE setScale)

public:
    explicit ThumbnailBadge(QWidget *parent);
    qreal scale() const { return m_scale; }
    void setScale(qreal s);
    void appear();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_scale = 1.0;
};
