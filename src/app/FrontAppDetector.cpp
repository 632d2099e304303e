// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrontAppDetector.h"

#include "platform/ActiveWindowDesktopEntries.h"
#include "platform/ActiveWindowSource.h"
#include "platform/Log.h"

namespace {

const QString unknownName = QStringLiteral("Unknown");

std::unique_ptr<ActiveWindowSource> desktopSource()
{
    QString whyNull, backend;
    std::unique_ptr<ActiveWindowSource> source = ActiveWindowSource::create(&whyNull, &backend);
    Log::line(QStringLiteral("Front application source: %1").arg(backend));
    if (!whyNull.isEmpty()) {
        Log::line(QStringLiteral("Front application cannot be followed (%1); screenshots are filed under \"Unknown\"")
                      .arg(whyNull));
    }
    return source;
}

FrontAppDetector::Namer desktopNamer()
{
    auto entries = std::make_shared<ActiveWindowDesktopEntries>();
    return [entries](const ActiveWindow &w) { return entries->displayName(w); };
}

} // namespace

FrontAppDetector::FrontAppDetector(QObject *parent) : FrontAppDetector(desktopSource(), desktopNamer(), parent) {}

FrontAppDetector::FrontAppDetector(std::unique_ptr<ActiveWindowSource> source, Namer namer, QObject *parent)
    : QObject(parent), m_currentApp(unknownName), m_previousApp(unknownName), m_source(std::move(source)),
      m_namer(std::move(namer))
{
    connect(m_source.get(), &ActiveWindowSource::activated, this, &FrontAppDetector::activated);
    if (const std::optional<ActiveWindow> w = m_source->current()) {
        m_currentApp = nameOf(*w);
    }
    m_previousApp = m_currentApp;
}

FrontAppDetector::~FrontAppDetector() = default;

QString FrontAppDetector::nameOf(const ActiveWindow &window) const
{
    const QString name = m_namer ? m_namer(window) : QString();
    return name.isEmpty() ? unknownName : name;
}

void FrontAppDetector::activated(const ActiveWindow &window)
{
    const QString name = nameOf(window);
    m_previousApp = m_currentApp;
    m_currentApp = name;
    emit currentAppChanged(m_currentApp);
}

bool FrontAppDetector::isScreenshotTool(const QString &name)
{
    // The reference names, then the display names of GNOME's and Xfce's "Screenshot",
    // KDE's Spectacle and Flameshot: taking a capture with them brings them to the front.
    static const QStringList tools = {QStringLiteral("Screenshot"), QStringLiteral("screencaptureui"),
                                      QStringLiteral("Spectacle"), QStringLiteral("Flameshot")};
    return tools.contains(name);
}

QString FrontAppDetector::nameForCapture(const QString &current, const QString &previous)
{
    return isScreenshotTool(current) ? previous : current;
}
