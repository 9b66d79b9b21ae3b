#pragma once

#include "problem.h"

class QFileDevice;

// Why a system call failed (an errno value).
FileReason reasonOfError(int error);

// Why a QFile or QSaveFile failed. Qt keeps only its own text of the
// reason, so that text is matched to the system's reasons, and what is
// there on disk names the rest.
FileReason reasonOfFile(const QFileDevice &file);
