// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <QToolButton>

// The automatic redaction button: a shield when ready, a slashed shield after a scan that found
// nothing, and a spinning ring (disabled) while a scan runs.
class RedactionButton : public QToolButton
{
    Q_OBJECT

public:
    enum class State { ready, scanning, foundNothing };

    explicit RedactionButton(QWidget *parent = nullptr);

    State state() const { return m_state; }
    void setState(State state);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void refreshIcon();

    State m_state = State::ready;
    QTimer m_spin;
    int m_angle = 0;
};
