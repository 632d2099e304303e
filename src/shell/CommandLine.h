// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Entry of the executable: a sub-command, the headless capture pipeline, or the tray app.
namespace CommandLine {

int main(int argc, char **argv);

} // namespace CommandLine
