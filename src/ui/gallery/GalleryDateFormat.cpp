// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryDateFormat.h"

#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

struct GalleryDateFormat::Icu
{
    std::unique_ptr<icu::SimpleDateFormat> format;
};

namespace {

QString fromIcu(const icu::UnicodeString &s)
{
    return QString(reinterpret_cast<const QChar *>(s.getBuffer()), s.length());
}

} // namespace

GalleryDateFormat::GalleryDateFormat(const QLocale &locale) : m_icu(std::make_unique<Icu>())
{
    // The locale's best pattern for the fields: "j" is the hour in the locale's own cycle.
    const icu::Locale icuLocale(locale.name().toUtf8().constData());
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(icuLocale, status));
    icu::UnicodeString pattern;
    if (U_SUCCESS(status)) {
        pattern = generator->getBestPattern(icu::UnicodeString(u"MMMdjmm"), status);
    }
    if (U_FAILURE(status) || pattern.isEmpty()) {
        status = U_ZERO_ERROR;
        pattern = icu::UnicodeString(u"MMM d, HH:mm");
    }
    m_icu->format = std::make_unique<icu::SimpleDateFormat>(pattern, icuLocale, status);
    if (U_FAILURE(status)) {
        m_icu->format.reset();
    }
}

GalleryDateFormat::~GalleryDateFormat() = default;

QString GalleryDateFormat::format(const QDateTime &date) const
{
    if (!m_icu->format) {
        return QLocale().toString(date, QLocale::ShortFormat);
    }
    icu::UnicodeString out;
    m_icu->format->format(UDate(date.toMSecsSinceEpoch()), out);
    return fromIcu(out);
}
