// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ScreenshotNameMatcher.h"

#include "platform/MessageCatalog.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

namespace {

// One way a screenshot tool names its files: a template as the tool writes it (in gettext form,
// so that the tool's translations can be read from its catalogue), a regular expression for each
// of its placeholders, and what the tool appends after the template.
struct NameForm
{
    const char *domain; // text domain of the tool's catalogue; nullptr: never translated
    const char *text;   // the tool's own template, the msgid of its translations
    std::vector<const char *> placeholders;
    const char *tail;
};

// "2024-03-05 14-07-09": GNOME's time stamp.
constexpr const char *kGnomeStamp = R"(\d{4}-\d{2}-\d{2} \d{2}-\d{2}-\d{2})";

const std::vector<NameForm> &nameForms()
{
    static const std::vector<NameForm> forms = {
        // "Screenshot 2024-03-05 at 14.07.09.png" and its variants: spaces or "_" before the
        // time, "at" or not, any time separators, anything between the time and the extension.
        {nullptr, "Screenshot %s",
         {R"(\d{4}-\d{2}-\d{2}[\s_]+(at\s+)?\d{1,2}[.\-_]?\d{2}[.\-_]?\d{2}.*\.(png|jpg|jpeg|tiff|heic))"}, ""},
        // GNOME Shell: "Screenshot from 2024-03-05 14-07-09.png"; a clash adds "-1", "-2".
        {"gnome-shell", "Screenshot from %s", {kGnomeStamp}, R"((-\d+)?\.png)"},
        // GNOME Shell 47 and later write "Screenshot From …".
        {"gnome-shell", "Screenshot From %s", {kGnomeStamp}, R"((-\d+)?\.png)"},
        // gnome-screenshot: "Screenshot from 2024-03-05 14-07-09.png"; a clash " - 2".
        {"gnome-screenshot", "Screenshot from %s.%s", {kGnomeStamp, "(png|jpg|jpeg)"}, ""},
        {"gnome-screenshot", "Screenshot from %s - %d.%s", {kGnomeStamp, R"(\d+)", "(png|jpg|jpeg)"}, ""},
        // KDE Spectacle: "Screenshot_20240305_140709.png"; a clash adds "-1".
        {nullptr, "Screenshot_%s", {R"(\d{8}_\d{6})"}, R"((-\d+)?\.(png|jpg|jpeg|webp))"},
        // Xfce screenshooter: "Screenshot_2024-03-05_14-07-09.png"; a clash adds "-1".
        {"xfce4-screenshooter", "Screenshot", {},
         R"(_\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}(-\d+)?\.(png|jpg|jpeg|bmp|webp))"},
    };
    return forms;
}

// Literal text as a regular expression: letters, digits and spaces stand for themselves,
// everything else is written as a code point so that no character is taken as syntax.
QString quoted(const QString &text)
{
    QString out;
    for (const char32_t c : text.toUcs4()) {
        if ((c < 0x80 && (QChar::isLetterOrNumber(c) || c == U' ')) || (c >= 0x80 && QChar::isLetter(c))) {
            out += QString::fromUcs4(&c, 1);
        } else {
            out += QStringLiteral("\\x{%1}").arg(uint(c), 0, 16);
        }
    }
    return out;
}

// Turns a gettext template into a regular expression. Placeholders "%s", "%d" and their
// positional forms "%1$s" take the form's regular expressions by position. Returns a null
// string when the template does not fit the form (a translation with other placeholders).
QString templateToRegex(const QString &text, const std::vector<const char *> &placeholders)
{
    QString out;
    QString literal;
    size_t nextIndex = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('%')) {
            literal += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == QLatin1Char('%')) {
            literal += QLatin1Char('%');
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        size_t index = nextIndex;
        qsizetype digitsEnd = j;
        while (digitsEnd < text.size() && text[digitsEnd].isDigit()) {
            ++digitsEnd;
        }
        if (digitsEnd > j && digitsEnd < text.size() && text[digitsEnd] == QLatin1Char('$')) {
            index = size_t(text.mid(j, digitsEnd - j).toInt()) - 1;
            j = digitsEnd + 1;
        } else {
            ++nextIndex;
        }
        if (j >= text.size() || (text[j] != QLatin1Char('s') && text[j] != QLatin1Char('d')) ||
            index >= placeholders.size()) {
            return {};
        }
        out += quoted(literal);
        literal.clear();
        out += QLatin1Char('(') + QString::fromUtf8(placeholders[index]) + QLatin1Char(')');
        i = j;
    }
    return out + quoted(literal);
}

QStringList buildPatterns()
{
    QStringList result;
    for (const NameForm &form : nameForms()) {
        QStringList texts{QString::fromUtf8(form.text)};
        if (form.domain) {
            for (const QString &t : MessageCatalog::translations(QString::fromUtf8(form.domain), form.text)) {
                texts << t.normalized(QString::NormalizationForm_C);
            }
        }
        for (const QString &t : texts) {
            const QString body = templateToRegex(t, form.placeholders);
            if (body.isNull()) {
                continue;
            }
            const QString pattern = QLatin1Char('^') + body + QString::fromUtf8(form.tail) + QLatin1Char('$');
            if (!result.contains(pattern)) {
                result << pattern;
            }
        }
    }
    return result;
}

} // namespace

ScreenshotNameMatcher::ScreenshotNameMatcher()
{
    for (const QString &source : buildPatterns()) {
        UErrorCode status = U_ZERO_ERROR;
        UParseError parseError;
        const icu::UnicodeString text(reinterpret_cast<const char16_t *>(source.utf16()), int32_t(source.size()));
        std::unique_ptr<icu::RegexPattern> p(icu::RegexPattern::compile(text, UREGEX_CASE_INSENSITIVE, parseError, status));
        // The fixed forms always compile; a translation that does not is left out.
        if (U_SUCCESS(status) && p) {
            m_sources << source;
            m_patterns.push_back(std::move(p));
        }
    }
}

ScreenshotNameMatcher::~ScreenshotNameMatcher() = default;

const ScreenshotNameMatcher &ScreenshotNameMatcher::shared()
{
    // Made once, thread-safely; a RegexPattern hands out matchers to several threads at once.
    static const ScreenshotNameMatcher instance;
    return instance;
}

bool ScreenshotNameMatcher::matches(const QString &name) const
{
    const QString nfc = name.normalized(QString::NormalizationForm_C);
    const icu::UnicodeString text(reinterpret_cast<const char16_t *>(nfc.utf16()), int32_t(nfc.size()));
    for (const auto &pattern : m_patterns) {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::RegexMatcher> m(pattern->matcher(text, status));
        if (U_FAILURE(status)) {
            continue;
        }
        const bool whole = m->matches(status);
        if (U_SUCCESS(status) && whole) {
            return true;
        }
    }
    return false;
}
