// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a floating thumbnail asks its owner to do.
enum class ThumbnailAction { tagScreenshot, annotate, deleteScreenshot, redactPII };
