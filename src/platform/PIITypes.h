// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFlags>

// The kinds of personal information, with the raw bit values used in settings and commands.
namespace PIIType {
enum Type : int {
    emails = 1,
    ips = 2,
    apiKeys = 4,
    phones = 8,
    creditCards = 16,
    addresses = 32,
    faces = 64,
};
} // namespace PIIType

using PIITypes = QFlags<PIIType::Type>;
Q_DECLARE_OPERATORS_FOR_FLAGS(PIITypes)

// Bits 1 to 32 are found in recognised text; faces need the image itself.
inline constexpr int kTextPIITypesMask = 1 | 2 | 4 | 8 | 16 | 32;
inline constexpr int kAllPIITypesMask = kTextPIITypesMask | 64;
