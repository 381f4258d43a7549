// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ReportRequest.h"

// Loads the report module (from beside zanvo-tool, or from its install folder)
// and writes the report. Throws ZanvoError when the module is missing or the
// report fails.
void RunReport(const ReportRequest& request);
