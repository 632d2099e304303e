// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Commands.h"

#include "app/AppSettings.h"

#include <cstdio>

namespace Commands {

namespace {

QString shown(const AppSettings::KeySpec &spec, const QVariant &value)
{
    switch (spec.kind) {
    case AppSettings::Kind::Boolean:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case AppSettings::Kind::Integer:
        return QString::number(value.toLongLong());
    case AppSettings::Kind::String:
        break;
    }
    return value.toString();
}

void out(const QString &text) { std::fputs(text.toUtf8().constData(), stdout); }

int fail(const QString &text)
{
    std::fputs(("pictrove config: " + text + "\n").toUtf8().constData(), stderr);
    return 1;
}

const AppSettings::KeySpec *keyOrNull(const QString &key)
{
    const AppSettings::KeySpec *spec = AppSettings::findKey(key);
    if (!spec) {
        fail(QStringLiteral("unknown setting \"%1\" (\"pictrove config\" lists them)").arg(key));
    }
    return spec;
}

} // namespace

// pictrove config                  every setting with its value; "(default)" marks untouched ones
// pictrove config KEY              the value alone
// pictrove config KEY VALUE        sets it, checked against the key's type and allowed values
// pictrove config --reset KEY      back to the default
int config(const QStringList &args)
{
    AppSettings settings;
    if (args.isEmpty()) {
        for (const AppSettings::KeySpec &spec : AppSettings::keySpecs()) {
            QString value = shown(spec, settings.value(spec.key));
            if (spec.kind == AppSettings::Kind::String) {
                value = QLatin1Char('"') + value.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\"")) + QLatin1Char('"');
            }
            QString line = spec.key + QStringLiteral(" = ") + value;
            if (!settings.isSet(spec.key)) {
                line += QStringLiteral("  (default)");
            }
            if (!spec.allowed.isEmpty()) {
                line += QStringLiteral("  [") + spec.allowed.join(QStringLiteral(", ")) + QLatin1Char(']');
            }
            out(line + QLatin1Char('\n'));
        }
        return 0;
    }
    if (args.first() == QLatin1String("--reset")) {
        if (args.size() != 2) {
            return fail(QStringLiteral("usage: pictrove config --reset KEY"));
        }
        if (!keyOrNull(args[1])) {
            return 1;
        }
        settings.reset(args[1]);
        return 0;
    }
    if (args.size() > 2) {
        return fail(QStringLiteral("usage: pictrove config [KEY [VALUE] | --reset KEY]"));
    }
    const AppSettings::KeySpec *spec = keyOrNull(args[0]);
    if (!spec) {
        return 1;
    }
    if (args.size() == 1) {
        out(shown(*spec, settings.value(spec->key)) + QLatin1Char('\n'));
        return 0;
    }
    const Status st = settings.setFromText(spec->key, args[1]);
    if (!st) {
        return fail(st.error());
    }
    return 0;
}

} // namespace Commands
