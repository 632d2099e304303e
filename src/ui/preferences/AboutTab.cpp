// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preferences/AboutTab.h"

#include "ui/Symbols.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#ifndef PICTROVE_VERSION
#define PICTROVE_VERSION ""
#endif
#ifndef PICTROVE_BUILD_NUMBER
#define PICTROVE_BUILD_NUMBER ""
#endif
#ifndef PICTROVE_SOURCE_README
#define PICTROVE_SOURCE_README ""
#endif

namespace {

QLabel *centred(const QString &text, qreal scale, bool bold, bool secondary)
{
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignHCenter);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(bold);
    label->setFont(font);
    if (secondary) {
        label->setForegroundRole(QPalette::PlaceholderText);
    }
    return label;
}

} // namespace

QString AboutTab::buildVersion() { return QStringLiteral(PICTROVE_VERSION); }

QString AboutTab::buildNumber() { return QStringLiteral(PICTROVE_BUILD_NUMBER); }

QString AboutTab::versionLine(const QString &version, const QString &build)
{
    const auto shown = [](const QString &v) { return v.isEmpty() ? QStringLiteral("?") : v; };
    return QStringLiteral("Version ") + shown(version) + QStringLiteral(" (") + shown(build) + QStringLiteral(")");
}

QString AboutTab::readmePath()
{
    const QString installed =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/doc/pictrove/README.md"));
    for (const QString &candidate : {installed, QStringLiteral(PICTROVE_SOURCE_README)}) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isFile()) {
            return QFileInfo(candidate).canonicalFilePath();
        }
    }
    return QString();
}

AboutTab::AboutTab(QWidget *parent)
    : AboutTab(buildVersion(), buildNumber(), parent)
{}

AboutTab::AboutTab(const QString &version, const QString &build, QWidget *parent)
    : QWidget(parent)
{
    auto *page = new QVBoxLayout(this);
    page->setSpacing(8);
    page->addStretch(1);

    auto *icon = new QLabel;
    icon->setAlignment(Qt::AlignHCenter);
    icon->setPixmap(Symbols::pixmap(Symbols::Symbol::CameraViewfinder, 48, QColor(0x1c, 0x71, 0xd8), devicePixelRatioF()));
    icon->setAccessibleName(tr("Pictrove icon"));
    page->addWidget(icon);
    page->addWidget(centred(QStringLiteral("Pictrove"), 1.6, true, false));
    m_version = centred(versionLine(version, build), 1.0, false, true);
    page->addWidget(m_version);
    page->addWidget(centred(tr("Organize your screenshots with ease."), 0.85, false, true));

    auto *divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    divider->setFixedWidth(200);
    page->addWidget(divider, 0, Qt::AlignHCenter);

    page->addWidget(centred(tr("Free software by the Pictrove developers, under the GNU GPL version 3 or later."),
                            0.85, false, false));
    m_link = new QPushButton(tr("Read the manual"));
    m_link->setFlat(true);
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->setAccessibleName(m_link->text());
    QPalette link = m_link->palette();
    link.setColor(QPalette::ButtonText, link.color(QPalette::Link));
    m_link->setPalette(link);
    const QString readme = readmePath();
    m_link->setVisible(!readme.isEmpty());
    m_link->setToolTip(readme);
    connect(m_link, &QPushButton::clicked, this,
            [readme] { QDesktopServices::openUrl(QUrl::fromLocalFile(readme)); });
    page->addWidget(m_link, 0, Qt::AlignHCenter);
    page->addStretch(1);
}
