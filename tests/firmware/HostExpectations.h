// SPDX-License-Identifier: MIT
// The probe's expected.c: what the host computes for the probe's floating-point
// tables, snprintf formats and libm calls (probe/cases.h).
#pragma once

#include <QByteArray>

QByteArray hostExpectations();
