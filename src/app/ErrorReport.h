#pragma once

// The error report lives with the dialogs, where the check dialog can reach it too.
#include "dialogs/ErrorReport.h"
