#pragma once
// Many files at once: every source of the command is converted into its
// output folder by a process of its own (this program, for one file), up
// to the command's number of jobs at once.

#include "app/command_line/convert_options.h"

// Runs the conversions to their end, or until Ctrl+C, showing one line per
// file on standard error (`terminal`: updated in place). Returns the exit
// status: 0 only when every file was written, 130 when stopped, else 1.
int ConvertMany(const ConvertCommand& command, bool terminal);
