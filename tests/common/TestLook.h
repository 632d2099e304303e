// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/TestPalettes.h"

#include <QApplication>
#include <QImage>
#include <QStyleFactory>

// The look tests: one check on the light and one on the dark palette under Fusion, and the
// pictures kept under $PICTROVE_LOOK_DIR, when set, for a person to look at.
namespace TestLook {

template <typename Check>
void onLightAndDark(Check &&check)
{
    const QPalette original = QApplication::palette();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    for (const auto &[name, palette] : {std::pair{QStringLiteral("light"), TestPalettes::light()},
                                        std::pair{QStringLiteral("dark"), TestPalettes::dark()}}) {
        QApplication::setPalette(palette);
        check(name);
    }
    QApplication::setPalette(original);
}

inline void keep(const QImage &picture, const QString &name)
{
    if (const QString dir = qEnvironmentVariable("PICTROVE_LOOK_DIR"); !dir.isEmpty()) {
        picture.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
}

} // namespace TestLook
