#pragma once

#include <joxlog/JoxLog.h>

#include <QString>

// Writes a record of category "Config" with the call site.
#define JOXCONFIG_LOG(level, text, function)                                                       \
    JoxCore::Log((level), 0, "Config", QString(text).toUtf8().constData(), __FILE__, __LINE__,     \
                 (function))
