// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <initializer_list>
#include <utility>
#include <vector>

// Sets environment variables for one scope and puts the old values back.
class ScopedEnv
{
public:
    ScopedEnv(std::initializer_list<std::pair<const char *, const char *>> vars)
    {
        for (const auto &[name, value] : vars) {
            m_saved.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
            if (value) {
                qputenv(name, value);
            } else {
                qunsetenv(name);
            }
        }
    }
    ~ScopedEnv()
    {
        for (const auto &s : m_saved) {
            if (s.wasSet) {
                qputenv(s.name, s.value);
            } else {
                qunsetenv(s.name);
            }
        }
    }

private:
    struct Saved
    {
        const char *name;
        QByteArray value;
        bool wasSet;
    };
    std::vector<Saved> m_saved;
};
