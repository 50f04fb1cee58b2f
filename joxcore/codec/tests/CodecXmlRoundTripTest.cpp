// The stored XML read and written by an independent implementation
// (Python's xml.etree, codec_xml.py).
#include <joxcore/CodecConfigFFMedia.h>
#include <joxcore/CodecConfigH264.h>
#include <joxcore/CodecConfigJPEG2000.h>
#include <joxcore/CodecConfigMOV.h>
#include <joxcore/CodecConfigMPEG2.h>

#include "TempDir.h"

#include <QDomDocument>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace JoxCore;

QJsonObject MapToJson(const CodecConfig::ValueMap& rValues)
{
    QJsonObject object;
    for (auto it = rValues.cbegin(); it != rValues.cend(); ++it)
        object.insert(QString::fromLatin1(it.key()), it.value());
    return object;
}

QJsonObject ConfigToJson(const CodecConfig& rConfig)
{
    QJsonObject effects;
    for (auto it = rConfig.Effects().cbegin(); it != rConfig.Effects().cend(); ++it)
        effects.insert(QString::fromLatin1(it.key()), MapToJson(it.value()));
    return {{"effects", effects},
            {"options", MapToJson(rConfig.Options())},
            {"additionals", MapToJson(rConfig.Additionals())}};
}

// Runs the independent implementation; its standard output, or a failure.
QByteArray RunScript(const QString& rMode, const QString& rFile, const QByteArray& rInput = {})
{
    QProcess process;
    process.start(QStringLiteral(TANDRIL_PYTHON), {QStringLiteral(CODEC_XML_SCRIPT), rMode, rFile});
    EXPECT_TRUE(process.waitForStarted());
    process.write(rInput);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    return process.readAllStandardOutput();
}

// Each kind filled through its own setters, plus values that need care.
std::vector<std::unique_ptr<CodecConfig>> FilledConfigurations()
{
    std::vector<std::unique_ptr<CodecConfig>> configs;

    auto pFFMedia = std::make_unique<CodecConfigFFMedia>();
    pFFMedia->SetAdditional("formattype", QStringLiteral("h264stream"));
    pFFMedia->SetAdditional("video", QStringLiteral("true"));
    pFFMedia->SetAdditional("audio", QStringLiteral("true"));
    pFFMedia->SetUserPreset(CodecConfigFFMedia::PresetBluray);
    pFFMedia->SetOption("ffmedia_note", QStringLiteral("  "));
    configs.push_back(std::move(pFFMedia));

    auto pH264 = std::make_unique<CodecConfigH264>();
    pH264->SetProfile(3);
    pH264->SetLevel(11);
    pH264->SetVideoMaxrate(20000);
    pH264->SetVideoBitrate(8000);
    pH264->SetGopSize(60);
    pH264->SetAudioBitrate(192);
    configs.push_back(std::move(pH264));

    auto pJpeg = std::make_unique<CodecConfigJPEG2000>();
    pJpeg->SetAdditional("frame_rate", QStringLiteral("25"));
    pJpeg->SetConstantBitRate(100);
    pJpeg->SetTransform(true);
    pJpeg->SetEditLag(3);
    pJpeg->SetAdditional("comment", QStringLiteral("tab\there\r\nbell\x07"));
    configs.push_back(std::move(pJpeg));

    auto pMov = std::make_unique<CodecConfigMOV>();
    pMov->SetAudioPacking(2);
    pMov->SetClosedCaptionType(608);
    pMov->SetWriteSidecar(true);
    pMov->SetSidecarChunkSize(4096);
    pMov->SetOption("qtwc_path", QString::fromUtf8("<dir> & \xE2\x82\xAC"));
    pMov->SetOption("qtwc_label", QStringLiteral("half ") + QChar(0xD83D) + QStringLiteral(" pair"));
    configs.push_back(std::move(pMov));

    auto pMpeg2 = std::make_unique<CodecConfigMPEG2>();
    pMpeg2->ApplyPreset(2);
    pMpeg2->SetGopN(12);
    configs.push_back(std::move(pMpeg2));
    return configs;
}

TEST(CodecXmlRoundTripTest, EveryKindReadsBackTheSameInAnIndependentReader)
{
    tandriltest::TempDir folder;
    const QString file = QString::fromStdString(folder.File("codec.xml"));
    for (const auto& rpConfig : FilledConfigurations()) {
        QDomDocument document;
        QDomElement root = document.createElement(QStringLiteral("codec"));
        document.appendChild(root);
        rpConfig->WriteXml(root);
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(document.toByteArray());
        out.close();

        const QJsonDocument read = QJsonDocument::fromJson(RunScript(QStringLiteral("read"), file));
        EXPECT_EQ(read.object(), ConfigToJson(*rpConfig)) << document.toString().toStdString();
    }
}

TEST(CodecXmlRoundTripTest, DocumentsOfAnIndependentWriterAreRead)
{
    tandriltest::TempDir folder;
    const QString file = QString::fromStdString(folder.File("codec.xml"));
    for (const auto& rpConfig : FilledConfigurations()) {
        RunScript(QStringLiteral("write"), file, QJsonDocument(ConfigToJson(*rpConfig)).toJson());
        QFile in(file);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        QDomDocument document;
        ASSERT_TRUE(document.setContent(&in));

        CodecConfigMOV plain; // clears on SetDefaults, so it reads exactly what the document holds
        plain.ReadXml(document.documentElement(), nullptr);
        EXPECT_EQ(ConfigToJson(plain), ConfigToJson(*rpConfig));
    }
}

} // namespace
