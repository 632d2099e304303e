// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ScreenshotRecord.h"

#include <QDialog>

class AppSettings;
class TagDialogView;

// The small window that holds the tag dialog: "Tag Screenshot", 400 by 520, above other
// windows, centred on the screen under the pointer, typing goes to the search field at once.
// A dialog, not modal, so that screen readers announce it as one. It closes (and deletes itself)
// when the dialog is dismissed; closing it otherwise writes nothing.
class TagDialogWindow : public QDialog
{
    Q_OBJECT

public:
    static constexpr int panelWidth = 400;
    static constexpr int panelHeight = 520;

    TagDialogWindow(const ScreenshotRecord &record, AppSettings &settings);

    TagDialogView *view() const { return m_view; }
    // Centres, shows, raises and takes the keyboard focus.
    void present();

private:
    TagDialogView *m_view;
};
