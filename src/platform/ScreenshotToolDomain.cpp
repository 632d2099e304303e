// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ScreenshotToolDomain.h"

#include "platform/MessageCatalog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

namespace {

const QString kShowThumbnail = QStringLiteral("show-thumbnail");

QString configHome()
{
    const QString env = qEnvironmentVariable("XDG_CONFIG_HOME");
    return QDir::isAbsolutePath(env) ? env : QDir::homePath() + QStringLiteral("/.config");
}

QString picturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return pictures.isEmpty() ? QDir::homePath() : pictures;
}

// Undoes KConfig's escapes in a value ("\s" space, "\t", "\n", "\\").
QString unescapeKConfig(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar c = value[++i];
        out += c == QLatin1Char('s') ? QChar(' ') : c == QLatin1Char('t') ? QChar('\t') : c == QLatin1Char('n') ? QChar('\n') : c;
    }
    return out;
}

// The value of key in group of a KConfig or XfceRc style file; an empty group means the
// entries before the first group header. Key suffixes such as "[$e]" or a locale are ignored.
std::optional<QString> readRcValue(const QString &file, const QString &group, const QString &key)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return std::nullopt;
    }
    QTextStream in(&f);
    QString current;
    std::optional<QString> found;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || current != group) {
            continue;
        }
        QString name = line.left(eq).trimmed();
        const qsizetype bracket = name.indexOf(QLatin1Char('['));
        if (bracket > 0) {
            name.truncate(bracket);
        }
        if (name == key) {
            found = unescapeKConfig(line.mid(eq + 1).trimmed()); // the last entry wins, as in KConfig
        }
    }
    return found;
}

// A folder given as a file: URL or as a path.
QString folderFromSetting(const QString &value)
{
    if (value.startsWith(QLatin1String("file:"))) {
        return QUrl(value).toLocalFile();
    }
    return value;
}

std::optional<QString> gnomeLocation()
{
    // GNOME Shell saves into a folder named after its translation of "Screenshots".
    const QStringList translated = MessageCatalog::translations(QStringLiteral("gnome-shell"), "Screenshots");
    const QString name = translated.isEmpty() ? QStringLiteral("Screenshots") : translated.first();
    return picturesFolder() + QLatin1Char('/') + name;
}

std::optional<QString> kdeLocation()
{
    const QString rc = configHome() + QStringLiteral("/spectaclerc");
    for (const auto &[group, key] : {std::pair{QStringLiteral("ImageSave"), QStringLiteral("imageSaveLocation")},
                                     std::pair{QStringLiteral("Save"), QStringLiteral("defaultSaveLocation")}}) {
        const std::optional<QString> v = readRcValue(rc, group, key);
        if (v && !v->isEmpty()) {
            return folderFromSetting(*v);
        }
    }
    return picturesFolder();
}

std::optional<QString> xfceLocation()
{
    const QString rc = configHome() + QStringLiteral("/xfce4/xfce4-screenshooter");
    std::optional<QString> v = readRcValue(rc, QString(), QStringLiteral("screenshot_dir"));
    if (!v) {
        v = readRcValue(rc, QStringLiteral("Preferences"), QStringLiteral("screenshot_dir"));
    }
    if (v && !v->isEmpty()) {
        return folderFromSetting(*v);
    }
    return picturesFolder();
}

} // namespace

ScreenshotToolDomain::Desktop ScreenshotToolDomain::currentDesktop()
{
    for (const QString &part : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString d = part.trimmed().toUpper();
        if (d == QLatin1String("GNOME") || d == QLatin1String("GNOME-CLASSIC") || d == QLatin1String("GNOME-FLASHBACK")) {
            return Desktop::gnome;
        }
        if (d == QLatin1String("KDE")) {
            return Desktop::kde;
        }
        if (d == QLatin1String("XFCE")) {
            return Desktop::xfce;
        }
    }
    return Desktop::other;
}

std::unique_ptr<ScreenshotToolDomain> ScreenshotToolDomain::open()
{
    const Desktop desktop = currentDesktop();
    std::optional<QString> location;
    switch (desktop) {
    case Desktop::gnome:
        location = gnomeLocation();
        break;
    case Desktop::kde:
        location = kdeLocation();
        break;
    case Desktop::xfce:
        location = xfceLocation();
        break;
    case Desktop::other: {
        const QString shots = picturesFolder() + QStringLiteral("/Screenshots");
        if (!QFileInfo(shots).isDir()) {
            return nullptr;
        }
        location = shots;
        break;
    }
    }
    return std::unique_ptr<ScreenshotToolDomain>(new ScreenshotToolDomain(desktop, location));
}

ScreenshotToolDomain::ScreenshotToolDomain(Desktop desktop, std::optional<QString> location)
    : m_desktop(desktop), m_location(std::move(location)),
      m_store(std::make_unique<QSettings>(configHome() + QStringLiteral("/Pictrove/ScreenshotTool.conf"), QSettings::IniFormat))
{
}

ScreenshotToolDomain::~ScreenshotToolDomain() = default;

QVariant ScreenshotToolDomain::showThumbnail() const
{
    const QVariant v = m_store->value(kShowThumbnail);
    if (!v.isValid()) {
        return {};
    }
    const QString text = v.toString();
    if (text == QLatin1String("true")) {
        return true;
    }
    if (text == QLatin1String("false")) {
        return false;
    }
    return text;
}

void ScreenshotToolDomain::setShowThumbnail(bool on) { m_store->setValue(kShowThumbnail, on); }

void ScreenshotToolDomain::removeShowThumbnail() { m_store->remove(kShowThumbnail); }

Status ScreenshotToolDomain::sync()
{
    m_store->sync();
    if (m_store->status() != QSettings::NoError) {
        return Status::failure(QStringLiteral("Could not write %1").arg(m_store->fileName()));
    }
    return Status::success();
}
