// --motion perturbed|kepler: how the listed minor bodies move, for the
// commands that compute them (ephem, monitor, render, print).
#pragma once

#include "Cli.h"

#include "bodies/MinorBodyMotion.h"

#include <string>
#include <vector>

// "perturbed" or "kepler"; anything else is a UsageError.
TMinorBodyMotion ParseMotion(const std::string& value);

// One line on stderr naming the minor bodies that fell back to two-body
// motion; nothing when there are none.
void ReportMotionFailures(const std::vector<std::string>& bodies);
