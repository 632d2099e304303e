// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/TemporaryMount.h"

#include <QString>

#include <memory>

// Makes an existing folder read-only for the life of the object: by its permission bits, or,
// for root, who writes through those, by a read-only bind mount over it.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    // False when root may not mount here; the test then skips with skipMessage().
    bool ok() const { return m_ok; }
    static QString skipMessage();

private:
    QString m_folder;
    std::unique_ptr<TemporaryMount> m_mount;
    bool m_byPermissions = false;
    bool m_ok = false;
};
