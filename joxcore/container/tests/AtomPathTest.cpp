#include <joxcore/AbstractContainerAtom.h>
#include <joxcore/AtomNode.h>
#include <joxcore/AtomPath.h>

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace JoxCore;

std::string Str(const QString& rText)
{
    return rText.toStdString();
}

// "name:index,name:index" of a path's elements.
std::string Elements(const AtomPath& rPath)
{
    QStringList parts;
    for (int i = 0; i < rPath.Count(); ++i)
        parts << QStringLiteral("%1:%2").arg(rPath.ElementName(i)).arg(rPath.ElementIndex(i));
    return Str(parts.join(QLatin1Char(',')));
}

std::string Keys(const AtomNode::NodeMap& rMap)
{
    return Str(QStringList(rMap.keys()).join(QLatin1Char(' ')));
}

QString Repeat(const QString& rElement, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << rElement;
    return parts.join(QLatin1Char('/'));
}

TEST(AtomPathTest, ParseAndPrint)
{
    struct Case
    {
        QString text;
        bool valid;
        const char* elements;
        const char* printed;
    };
    const Case cases[] = {
        {"", true, "", ""},
        {"/a/b[2]", true, "a:-1,b:2", "/a/b[0000000002]"},
        {"a/b[2]", true, "a:-1,b:2", "/a/b[0000000002]"},
        {"/", true, ":-1", "/"},
        {"//a", true, ":-1,a:-1", "//a"},
        {"a//b", true, "a:-1,:-1,b:-1", "/a//b"},
        {"a/", true, "a:-1,:-1", "/a/"},
        {"*", true, "*:-1", "/*"},
        {"a/*/c[0]", true, "a:-1,*:-1,c:0", "/a/*/c[0000000000]"},
        {"x[abc]", true, "x:0", "/x[0000000000]"},
        {"x[2][3]", true, "x:2", "/x[0000000002]"},
        {"x[]", true, "x:0", "/x[0000000000]"},
        {"x[65535]", true, "x:65535", "/x[0000065535]"},
        // Malformed: no element survives.
        {"x[2", false, "", ""},
        {"a/x[-1]", false, "", ""},
        {"x[-7]", false, "", ""},
        {"x[65536]", false, "", ""},
        {"a[2000000000]", false, "", ""},
        {"a[99999999999999999999999]", false, "", ""},
    };
    for (const Case& c : cases) {
        const AtomPath path(c.text);
        EXPECT_EQ(path.IsValid(), c.valid) << Str(c.text);
        EXPECT_EQ(Elements(path), c.elements) << Str(c.text);
        EXPECT_EQ(Str(path.ToString()), c.printed) << Str(c.text);
    }

    const AtomPath path(QStringLiteral("/a/b[2]"));
    EXPECT_EQ(Str(path.ElementText(0)), "a");
    EXPECT_EQ(Str(path.ElementText(1)), "b[2]");
    EXPECT_EQ(Str(path.ElementText(2)), "");
    EXPECT_EQ(Str(path.ElementText(-1)), "");
    EXPECT_TRUE(path.IsLast(1));
    EXPECT_FALSE(path.IsLast(0));
}

TEST(AtomPathTest, DepthIsBounded)
{
    EXPECT_EQ(AtomPath(Repeat(QStringLiteral("a"), AtomPath::MaxDepth)).Count(), AtomPath::MaxDepth);
    EXPECT_FALSE(AtomPath(Repeat(QStringLiteral("a"), AtomPath::MaxDepth + 1)).IsValid());
    EXPECT_FALSE(AtomPath(Repeat(QStringLiteral("a"), 200000)).IsValid());

    AtomPath grown(Repeat(QStringLiteral("a"), AtomPath::MaxDepth));
    grown.Append(QStringLiteral("b"));
    EXPECT_FALSE(grown.IsValid());
}

TEST(AtomPathTest, Editing)
{
    AtomPath path(QStringLiteral("a/b"));
    path.SetElement(1, QStringLiteral("c[4]"));
    path.SetElement(5, QStringLiteral("ignored"));
    path.Prepend(QStringLiteral("root"));
    path.Append(QStringLiteral("*"));
    EXPECT_EQ(Str(path.ToString()), "/root/a/c[0000000004]/*");
    path.SetElement(0, QStringLiteral("x[-3]"));
    EXPECT_FALSE(path.IsValid());
    EXPECT_EQ(path.Count(), 0);
}

TEST(AtomPathTest, Matches)
{
    struct Case
    {
        QString left;
        QString right;
        bool checkIndex;
        bool expected;
    };
    const Case cases[] = {
        {"a/*", "a[3]/x", true, true},
        {"a[1]/x", "a[3]/x", true, false},
        {"a[1]/x", "a[3]/x", false, true},
        {"a/x", "a[3]/x[1]", true, true},
        {"*", "b[9]", true, true},
        {"a/b", "a", false, false},
        {"a/b", "a/c", false, false},
        {"", "", true, true},
        {"/a", "a", true, true},
        {"x[-1]", "x", false, false},
        {"x", "x[2", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AtomPath(c.left).Matches(AtomPath(c.right), c.checkIndex), c.expected)
            << Str(c.left) << " ~ " << Str(c.right) << " check " << c.checkIndex;
        EXPECT_EQ(AtomPath(c.right).Matches(AtomPath(c.left), c.checkIndex), c.expected)
            << Str(c.right) << " ~ " << Str(c.left) << " check " << c.checkIndex;
    }
}

class AtomTreeTest : public ::testing::Test
{
protected:
    AtomNode::NodeMap Search(const QString& rPath)
    {
        AtomNode::NodeMap result;
        mRoot->Search(AtomPath(rPath), 0, result);
        return result;
    }
    AtomNode::NodeMap Create(const QString& rPath)
    {
        AtomNode::NodeMap result;
        mRoot->FindOrCreate(AtomPath(rPath), 0, &result, true, nullptr);
        return result;
    }
    std::unique_ptr<AtomNode> mRoot = std::make_unique<AtomNode>(QString(""));
};

TEST_F(AtomTreeTest, CreatesMissingIndexedNodesAndFindsThem)
{
    const AtomNode::NodeMap created = Create(QStringLiteral("a[2]"));
    ASSERT_EQ(mRoot->GetChildren().size(), 3);
    ASSERT_EQ(created.size(), 1);
    EXPECT_EQ(created.first(), mRoot->GetChildren().at(2));
    EXPECT_EQ(Keys(Search(QStringLiteral("a"))), "/a[0000000000] /a[0000000001] /a[0000000002]");
    EXPECT_EQ(Keys(Search(QStringLiteral("a[1]"))), "/a[0000000001]");
    EXPECT_EQ(Keys(Search(QStringLiteral("a[3]"))), "");
    // A plain name creates one node, then finds all namesakes.
    EXPECT_EQ(Keys(Create(QStringLiteral("a/b"))),
              "/a[0000000000]/b[0000000000] /a[0000000001]/b[0000000000] /a[0000000002]/b[0000000000]");
    EXPECT_EQ(Keys(Create(QStringLiteral("c"))), "/c[0000000000]");
    EXPECT_EQ(mRoot->GetChildren().size(), 4);
}

TEST_F(AtomTreeTest, WildcardsSelectExistingNodesOnly)
{
    Create(QStringLiteral("a/x"));
    Create(QStringLiteral("a/y"));
    Create(QStringLiteral("b/x[1]"));
    EXPECT_EQ(Keys(Search(QStringLiteral("*/x"))),
              "/a[0000000000]/x[0000000000] /b[0000000000]/x[0000000000] /b[0000000000]/x[0000000001]");
    EXPECT_EQ(Keys(Search(QStringLiteral("a/*"))), "/a[0000000000]/x[0000000000] /a[0000000000]/y[0000000000]");
    EXPECT_EQ(Keys(Search(QStringLiteral("*/x[1]"))), "/b[0000000000]/x[0000000001]");
    EXPECT_EQ(Keys(Search(QStringLiteral("*/*/*"))), "");
    // Creating through a wildcard creates nothing at that level.
    EXPECT_EQ(Keys(Create(QStringLiteral("*/z"))), "/a[0000000000]/z[0000000000] /b[0000000000]/z[0000000000]");
    EXPECT_EQ(Keys(Create(QStringLiteral("q/*"))), "");
}

TEST_F(AtomTreeTest, RefusedPathsCreateAndSelectNothing)
{
    Create(QStringLiteral("x"));
    Create(QStringLiteral("x[1]"));
    const QString refused[] = {QStringLiteral("a[2000000000]"), QStringLiteral("x[-1]"),
                               QStringLiteral("a//b"),          QStringLiteral("a/"),
                               QStringLiteral("/"),             QStringLiteral("x[2"),
                               Repeat(QStringLiteral("d"), AtomPath::MaxDepth + 1)};
    for (const QString& rText : refused) {
        EXPECT_EQ(Keys(Create(rText)), "") << Str(rText).substr(0, 40);
        EXPECT_EQ(Keys(Search(rText)), "") << Str(rText).substr(0, 40);
    }
    AtomNode::NodeMap all;
    mRoot->CollectAll(AtomPath(), all);
    EXPECT_EQ(Keys(all), "/x[0000000000] /x[0000000001]");

    // The deepest path allowed is built and found.
    const QString deep = Repeat(QStringLiteral("d"), AtomPath::MaxDepth);
    EXPECT_EQ(Create(deep).size(), 1);
    EXPECT_EQ(Search(deep).size(), 1);
}

TEST_F(AtomTreeTest, CollectAllNodePathAndRemoval)
{
    Create(QStringLiteral("a/b"));
    Create(QStringLiteral("x[1]/y"));
    AtomNode::NodeMap all;
    mRoot->CollectAll(AtomPath(), all);
    EXPECT_EQ(Keys(all), "/a /a/b /x[0000000000] /x[0000000001] /x[0000000001]/y");
    EXPECT_EQ(Keys(Search(QStringLiteral("a"))), "/a[0000000000]");

    const AtomNode* pY = Search(QStringLiteral("x[1]/y")).first();
    EXPECT_EQ(Str(AtomNode::NodePath(pY).ToString()), "/x[0000000001]/y[0000000000]");
    EXPECT_EQ(Str(AtomNode::NodePath(mRoot.get()).ToString()), "");

    EXPECT_TRUE(mRoot->RemoveMatches(AtomPath(QStringLiteral("x[0]"))));
    all.clear();
    mRoot->CollectAll(AtomPath(), all);
    // The former x[1] is now the only x.
    EXPECT_EQ(Keys(all), "/a /a/b /x /x/y");
    EXPECT_TRUE(mRoot->RemoveMatches(AtomPath(QStringLiteral("*"))));
    EXPECT_TRUE(mRoot->GetChildren().isEmpty());
}

TEST_F(AtomTreeTest, DumpListsChildrenWithNamesakeNumbersAndValues)
{
    AtomNode::NodeMap x = Create(QStringLiteral("x"));
    auto* pAtom = new AbstractContainerAtom();
    pAtom->SetValues(0, {QVariant(5)});
    x.first()->AttachAtom(pAtom);
    // Attaching the same atom again keeps it.
    x.first()->AttachAtom(pAtom);
    EXPECT_EQ(pAtom->GetNode(), x.first());
    Create(QStringLiteral("x[1]/inner"));
    Create(QStringLiteral("y"));
    EXPECT_EQ(Str(mRoot->Dump(QString())), "x[0] = 5\nx[1]\n\tinner[0]\ny[0]\n");
    // A replaced atom is deleted (the sanitizer build checks nothing leaks).
    x.first()->AttachAtom(new AbstractContainerAtom());
    EXPECT_EQ(Str(mRoot->Dump(QString())), "x[0] = \nx[1]\n\tinner[0]\ny[0]\n");
}

} // namespace
