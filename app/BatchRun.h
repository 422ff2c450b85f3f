// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A batch run: the program started up and its dialog worked without a person.

#include "app/CommandLine.h"

/// Makes the files the command line names stand in for drives, then runs the program with a
/// BatchOperator; returns the exit status.
int RunBatch(const ProgramCommandLine& line);
