// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privacy/TextMatch.h"

#include <QStringView>

// IP addresses: IPv4, then full IPv6, then compressed IPv6, then the IPv6 forms those miss
// ("::1", "::ffff:192.0.2.1"). IPv6 candidates must stand alone (no word character or ":"
// next to them) and be real addresses, so fingerprints and "fe80::1text" stay unboxed. A zone
// ("%eth0") or prefix length ("/32") belongs to the address it follows.
namespace IpAddressMatcher {

TextMatches find(QStringView line);

} // namespace IpAddressMatcher
