// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Commands.h"

#include "app/AppSettings.h"

#include <cstdio>

namespace Commands {

namespace {

void out(const QString &text) { std::fputs(text.toUtf8().constData(), stdout); }

int fail(const QString &text)
{
    std::fputs(("pictrove config: " + text + "\n").toUtf8().constData(), stderr);
    return 1;
}

const SettingSpec *keyOrNull(const QString &key)
{
    const SettingSpec *spec = Settings::find(key);
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
        for (const SettingSpec *spec : Settings::all()) {
            QString value = spec->toText(settings.value(spec->key));
            if (spec->kind == SettingKind::String) {
                value = QLatin1Char('"') + value.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\"")) + QLatin1Char('"');
            }
            QString line = spec->key + QStringLiteral(" = ") + value;
            if (!settings.isSet(spec->key)) {
                line += QStringLiteral("  (default)");
            }
            if (const QString allowed = spec->allowedText(); !allowed.isEmpty()) {
                line += QStringLiteral("  [") + allowed + QLatin1Char(']');
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
    const SettingSpec *spec = keyOrNull(args[0]);
    if (!spec) {
        return 1;
    }
    if (args.size() == 1) {
        out(spec->toText(settings.value(spec->key)) + QLatin1Char('\n'));
        return 0;
    }
    const Status st = settings.setFromText(spec->key, args[1]);
    if (!st) {
        return fail(st.error());
    }
    return 0;
}

} // namespace Commands
