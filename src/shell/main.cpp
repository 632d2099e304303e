// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CommandLine.h"

int main(int argc, char **argv) { return CommandLine::main(argc, argv); }
