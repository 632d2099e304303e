// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Log.h"

#include <QByteArray>

#include <cstdio>
#include <mutex>

namespace Log {

void line(const QString &message)
{
    static std::mutex mutex;
    QByteArray bytes = "Pictrove: " + message.toUtf8();
    // A message must stay one line: embedded line breaks would split it.
    bytes.replace('\n', ' ');
    bytes.append('\n');
    std::lock_guard<std::mutex> lock(mutex);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace Log
