#pragma once

#include <QtGlobal>

// A 64-bit signed frame position.
typedef qint64 MESK_QUAD;
