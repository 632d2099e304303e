// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/TagSearch.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

namespace TagSearch {

namespace {

uint32_t foldOptions(const QLocale &locale)
{
    const QLocale::Language lang = locale.language();
    return lang == QLocale::Turkish || lang == QLocale::Azerbaijani ? U_FOLD_CASE_EXCLUDE_SPECIAL_I
                                                                    : U_FOLD_CASE_DEFAULT;
}

} // namespace

QString fold(const QString &text, const QLocale &locale)
{
    if (text.isEmpty()) {
        return text;
    }
    const auto *src = reinterpret_cast<const UChar *>(text.utf16());
    const uint32_t options = foldOptions(locale);
    // Folding can lengthen the text (ß becomes ss); three times is ICU's upper bound.
    QString out(text.size() * 3, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = u_strFoldCase(reinterpret_cast<UChar *>(out.data()), int32_t(out.size()), src,
                                    int32_t(text.size()), options, &status);
    if (U_FAILURE(status)) {
        return text.toCaseFolded().normalized(QString::NormalizationForm_C);
    }
    out.truncate(n);
    // One form for text typed with combining accents and with precomposed letters.
    return out.normalized(QString::NormalizationForm_C);
}

bool contains(const QString &name, const QString &needle, const QLocale &locale)
{
    return needle.isEmpty() || fold(name, locale).contains(fold(needle, locale));
}

bool equalIgnoringCase(const QString &a, const QString &b, const QLocale &locale)
{
    return fold(a, locale) == fold(b, locale);
}

} // namespace TagSearch
