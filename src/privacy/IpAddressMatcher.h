// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privacy/TextMatch.h"

#include <QStringView>

// IP addresses: IPv4, then full IPv6, then compressed IPv6, then the IPv6 forms those miss
// ("::1", "::ffff:192.0.2.1"). IPv6 candidates must stand alone (no word character or ":"
// next to them) and be real addresses, so fingerprints and "fe80::1text" stay unboxed. A zone
// ("%eth0") or prefix length ("/32") belongs to the address it follows. A four-part number
// after a version word or program name, before an architecture, or in a column headed by a
// version word is a version. On a line of sockets a port glued on with a full stop
// ("192.0.2.10.443", "2001:db8::5.443") is left out of the address.
struct LineContext;

namespace IpAddressMatcher {

TextMatches find(QStringView line);
// With the cells beside the line and its column heading taken into account.
TextMatches find(QStringView line, const LineContext &context);

} // namespace IpAddressMatcher
