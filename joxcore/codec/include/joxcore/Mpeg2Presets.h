#pragma once

#include <joxcore/CodecChoice.h>
#include <joxcore/CodecConfigMPEG2.h>

#include <QUuid>

#include <map>

namespace JoxCore {

// The MPEG-2 preset table, built during static initialisation and only read
// afterwards: the combo box entries (index 0 "None" first), preset index to
// UUID, and UUID to preset.
extern const CodecChoiceList& Mpeg2PresetChoices;
extern const std::map<int, QUuid>& Mpeg2PresetIndexes;
extern const std::map<QUuid, CodecConfigMPEG2>& Mpeg2Presets;

} // namespace JoxCore
