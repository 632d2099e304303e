// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

// The log goes to standard output: what a call prints there, and the one-line failures.
namespace TestLog {

template <typename Call>
std::string printed(Call &&call)
{
    testing::internal::CaptureStdout();
    call();
    return testing::internal::GetCapturedStdout();
}

inline bool oneLineStartingWith(const std::string &log, const std::string &prefix)
{
    return log.rfind(prefix, 0) == 0 && std::count(log.begin(), log.end(), '\n') == 1;
}

} // namespace TestLog
