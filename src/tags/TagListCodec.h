// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/TagItem.h"

#include <QByteArray>
#include <QList>

#include <optional>

// The stored form of a tag list: a compact JSON array of objects with the members "id"
// (upper-case UUID), "name" and "colorIndex", written in that order.
namespace TagListCodec {

QByteArray encode(const QList<TagItem> &tags);

// The list, or nothing when the bytes are not such an array (any member missing or of
// the wrong kind makes the whole list undecodable).
std::optional<QList<TagItem>> decode(const QByteArray &bytes);

} // namespace TagListCodec
