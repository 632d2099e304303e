// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <memory>

// The cards' dates: abbreviated month, day, hour and minute in the order and words of a
// locale ("Mar 5, 2:07 PM", "5. März, 14:07"). One formatter per thread.
class GalleryDateFormat
{
public:
    explicit GalleryDateFormat(const QLocale &locale = QLocale());
    ~GalleryDateFormat();
    GalleryDateFormat(const GalleryDateFormat &) = delete;
    GalleryDateFormat &operator=(const GalleryDateFormat &) = delete;

    QString format(const QDateTime &date) const;

private:
    struct Icu;
    std::unique_ptr<Icu> m_icu;
};
