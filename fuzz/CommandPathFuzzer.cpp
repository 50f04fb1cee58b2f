// Feeds arbitrary bytes to the atom path parser (with the tree walks of a
// small atom tree) and to the command server's request handling after the
// socket read: the per-connection request reader, the request parse, the
// dispatch to a registered default context and the response text.

#include <joxcore/AtomNode.h>
#include <joxcore/AtomPath.h>
#include <joxcore/CommandArguments.h>
#include <joxcore/CommandContexts.h>
#include <joxcore/CommandRequestReader.h>
#include <joxcore/CommandServer.h>
#include <joxcore/ICommandContext.h>

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// Echoes every parameter as a result.
class EchoContext : public ICommandContext
{
public:
    bool Execute(const QString& rName, CommandArguments* pArguments) override
    {
        if (pArguments != nullptr)
            pArguments->mResults = pArguments->mParameters;
        return !rName.isEmpty();
    }
};

void FuzzPath(const QString& rText)
{
    using JoxCore::AtomNode;
    using JoxCore::AtomPath;
    const AtomPath path = AtomPath::Parse(rText);
    // Printing and parsing again gives the same path.
    const QString printed = path.ToString();
    if (AtomPath::Parse(printed).ToString() != printed)
        std::abort();
    path.Matches(AtomPath::Parse(QStringLiteral("a/*/b[1]")), true);
    for (int i = 0; i < path.Count(); ++i)
        path.ElementText(i);

    AtomNode root(QString(""));
    AtomNode::NodeMap found;
    root.FindOrCreate(AtomPath::Parse(QStringLiteral("a[1]/b/c[2]")), 0, nullptr, true, nullptr);
    // Creation up to the path's indexes: keep the tree small per input.
    long total = 0;
    for (int i = 0; i < path.Count(); ++i)
        total += path.ElementIndex(i) + 1;
    if (total <= 1024)
        root.FindOrCreate(path, 0, &found, true, nullptr);
    root.Search(path, 0, found);
    AtomNode::NodeMap all;
    root.CollectAll(AtomPath(), all);
    for (AtomNode* pNode : all)
        AtomNode::NodePath(pNode);
    root.Dump(QString());
    root.RemoveMatches(path);
}

// Answers the documents the reader holds, as the server does.
void AnswerAll(CommandRequestReader& rReader)
{
    QString document;
    while (rReader.TakeNext(document)) {
        if (rReader.TookTooDeep())
            CommandServer::FailedResponse(QStringLiteral("request nested too deeply"));
        else
            CommandServer::HandleRequest(document);
    }
}

void FuzzRequests(const std::uint8_t* pData, size_t size)
{
    // The first byte picks where the input is cut into two reads.
    const size_t cut = size > 0 ? (pData[0] * size) / 256 : 0;
    CommandRequestReader reader;
    reader.Append(QByteArray(reinterpret_cast<const char*>(pData), static_cast<int>(cut)));
    AnswerAll(reader);
    reader.Append(QByteArray(reinterpret_cast<const char*>(pData + cut), static_cast<int>(size - cut)));
    AnswerAll(reader);
    if (reader.IsOverflowing())
        CommandServer::FailedResponse(QStringLiteral("request too large"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    CommandContexts::Register(QString(), std::make_shared<EchoContext>());
    CommandContexts::Register(QStringLiteral("null"), nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(pData), static_cast<qsizetype>(size));
    FuzzPath(text);
    FuzzRequests(pData, size);
    return 0;
}
