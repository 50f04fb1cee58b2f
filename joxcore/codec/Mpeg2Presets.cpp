#include <joxcore/Mpeg2Presets.h>

#include <QCoreApplication>

namespace JoxCore {

namespace {

QString Tr(const char* pText)
{
    return QCoreApplication::translate("JoxCore::CodecConfigMPEG2", pText, "CodecConfigMPEG2");
}

struct PresetRow
{
    int index;
    const char* pText;
    const char* pUuid;
    const char* pBitrate;
    const char* pGopN;
    const char* pGopM;
};

const PresetRow mpPresetRows[] = {
    {1, "Long-GOP, 10+MBit/s MPEG2-TS", "5a714323-02fa-4b3e-90aa-a2a16a115ecd", "10000000", "15", "3"},
    {2, "Long-GOP, 25+MBit/s MPEG2-TS", "b84f8aaf-6803-4221-a477-22db4ec20405", "25000000", "15", "3"},
    {3, "I-Frame only, 50+MBit/s MPEG2-TS", "4f2dfcd8-1bad-40b8-9565-e13d6097e689", "50000000", "1", "1"},
};

// The values are written as they stand, without the setters' checks.
std::map<QUuid, CodecConfigMPEG2> BuildPresets(CodecChoiceList& rChoices, std::map<int, QUuid>& rIndexes)
{
    std::map<QUuid, CodecConfigMPEG2> presets;
    rChoices.append({0, Tr("None")});
    for (const PresetRow& rRow : mpPresetRows) {
        const QUuid uuid(QLatin1String(rRow.pUuid));
        CodecConfigMPEG2& rPreset = presets[uuid];
        const std::pair<const char*, QString> options[] = {
            {"mpegvc_type", QStringLiteral("50")},
            {"mpegac_type", QStringLiteral("2")},
            {"mpegvc_profile", QStringLiteral("1")},
            {"mpegvc_level", QStringLiteral("4")},
            {"mpegvc_chromaformat", QStringLiteral("1")},
            {"mpegvc_bitratemode", QStringLiteral("0")},
            {"mpegvc_averagebitrate", QLatin1String(rRow.pBitrate)},
            {"mpegvc_maxbitrate", QLatin1String(rRow.pBitrate)},
            {"mpegvc_gopn", QLatin1String(rRow.pGopN)},
            {"mpegvc_gopm", QLatin1String(rRow.pGopM)},
            {"mpegac_bitratetype", QStringLiteral("14")},
            {"frequency", QString::number(44100.0, 'g', 6)},
        };
        for (const auto& rOption : options)
            rPreset.SetOption(rOption.first, rOption.second);
        rPreset.SetPresetUuid(uuid);
        rIndexes[rRow.index] = uuid;
        rChoices.append({rRow.index, Tr(rRow.pText)});
    }
    return presets;
}

// Built in this order: the list, the index map, then the preset map, whose
// build step fills all three.
CodecChoiceList mpChoiceTable;
std::map<int, QUuid> mpIndexTable;
std::map<QUuid, CodecConfigMPEG2> mpPresetTable = BuildPresets(mpChoiceTable, mpIndexTable);

} // namespace

const CodecChoiceList& Mpeg2PresetChoices = mpChoiceTable;
const std::map<int, QUuid>& Mpeg2PresetIndexes = mpIndexTable;
const std::map<QUuid, CodecConfigMPEG2>& Mpeg2Presets = mpPresetTable;

} // namespace JoxCore
