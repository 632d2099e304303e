// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MessageCatalog.h"

#include <QFile>
#include <QtEndian>

namespace MessageCatalog {

namespace {

void addVariants(QStringList &out, QString locale)
{
    // language[_territory][.codeset][@modifier]
    QString modifier;
    const qsizetype at = locale.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        modifier = locale.mid(at);
        locale.truncate(at);
    }
    const qsizetype dot = locale.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        locale.truncate(dot);
    }
    if (locale.isEmpty() || locale == QLatin1String("C") || locale == QLatin1String("POSIX")) {
        return;
    }
    const QString language = locale.section(QLatin1Char('_'), 0, 0);
    QStringList forms;
    if (!modifier.isEmpty()) {
        forms << locale + modifier;
    }
    forms << locale;
    if (!modifier.isEmpty()) {
        forms << language + modifier;
    }
    forms << language;
    for (const QString &f : forms) {
        if (!out.contains(f)) {
            out << f;
        }
    }
}

QStringList localeRoots()
{
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty()) {
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    }
    QStringList roots;
    for (const QString &d : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString root = d + QStringLiteral("/locale");
        if (!roots.contains(root)) {
            roots << root;
        }
    }
    return roots;
}

} // namespace

QStringList userLanguages()
{
    QStringList out;
    for (const QString &l : qEnvironmentVariable("LANGUAGE").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        addVariants(out, l);
    }
    for (const char *var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString v = qEnvironmentVariable(var);
        if (!v.isEmpty()) {
            addVariants(out, v);
            break;
        }
    }
    return out;
}

QString lookup(const QString &moFile, const QByteArray &msgid)
{
    QFile f(moFile);
    if (!f.open(QIODevice::ReadOnly) || f.size() > 64 * 1024 * 1024) {
        return {};
    }
    const QByteArray data = f.readAll();
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const quint64 size = quint64(data.size());
    if (size < 28) {
        return {};
    }
    bool swap = false;
    const quint32 magic = qFromLittleEndian<quint32>(bytes);
    if (magic == 0xde120495u) {
        swap = true;
    } else if (magic != 0x950412deu) {
        return {};
    }
    const auto word = [&](quint64 offset) -> quint32 {
        return swap ? qFromBigEndian<quint32>(bytes + offset) : qFromLittleEndian<quint32>(bytes + offset);
    };
    const quint32 count = word(8);
    const quint64 originals = word(12);
    const quint64 translated = word(16);
    // Returns the string of table entry i, or a null array when the file is damaged there.
    const auto entry = [&](quint64 table, quint32 i) -> QByteArray {
        const quint64 at = table + quint64(i) * 8;
        if (at + 8 > size) {
            return {};
        }
        const quint64 length = word(at);
        const quint64 offset = word(at + 4);
        if (offset + length > size) {
            return {};
        }
        return QByteArray(data.constData() + offset, qsizetype(length));
    };
    for (quint32 i = 0; i < count; ++i) {
        const QByteArray original = entry(originals, i);
        if (original.isNull()) {
            return {};
        }
        // A plural entry holds "singular\0plural"; the singular is what callers ask for.
        const qsizetype nul = original.indexOf('\0');
        if ((nul >= 0 ? original.left(nul) : original) != msgid) {
            continue;
        }
        QByteArray text = entry(translated, i);
        const qsizetype tnul = text.indexOf('\0');
        if (tnul >= 0) {
            text.truncate(tnul);
        }
        return text.isEmpty() ? QString() : QString::fromUtf8(text);
    }
    return {};
}

QStringList translations(const QString &domain, const QByteArray &msgid)
{
    QStringList out;
    const QStringList roots = localeRoots();
    for (const QString &lang : userLanguages()) {
        for (const QString &root : roots) {
            const QString t = lookup(QStringLiteral("%1/%2/LC_MESSAGES/%3.mo").arg(root, lang, domain), msgid);
            if (!t.isNull()) {
                if (!out.contains(t)) {
                    out << t;
                }
                break;
            }
        }
    }
    return out;
}

} // namespace MessageCatalog
