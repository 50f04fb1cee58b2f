#include "LogCapture.h"

#include <joxcore/AbstractContainer.h>
#include <joxcore/AbstractContainerAtom.h>
#include <joxcore/AbstractContainerAtomNumeric.h>
#include <joxcore/AtomPath.h>
#include <joxcore/ContainerHook.h>

#include <QSize>
#include <QStringList>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace {

using namespace JoxCore;
using Values = QList<QVariant>;

const QVariant cEmpty = QVariant(QString(""));

std::string Str(const QString& rText)
{
    return rText.toStdString();
}

std::string Join(const QStringList& rList)
{
    return Str(rList.join(QLatin1Char(' ')));
}

// Records every call and runs an optional action inside it.
class RecordingHook : public ContainerHook
{
public:
    using ContainerHook::ContainerHook;
    void Invoke(AbstractContainer* pContainer, const QString& rAtomName, const Values& rOld,
                const Values& rNew) override
    {
        mCalls.push_back({rAtomName, rOld, rNew});
        if (mAction)
            mAction(pContainer);
    }
    struct Call
    {
        QString name;
        Values oldValues;
        Values newValues;
    };
    std::vector<Call> mCalls;
    std::function<void(AbstractContainer*)> mAction;
};

class ContainerTest : public ::testing::Test
{
protected:
    LogCapture mLog{"AbstractContainer"};
    AbstractContainer mContainer;
};

TEST_F(ContainerTest, SetStateCreatesPathAndTypedAtom)
{
    EXPECT_TRUE(mContainer.SetState(QStringLiteral("/a/b"), AbstractContainer::CurrentState, 5, -1));
    ASSERT_EQ(mLog.Messages().size(), 1u);
    EXPECT_EQ(mLog.Messages()[0],
              "GetState(\"/a/b\", CurrentState) could not create standalone atom (atom could not be found).");
    EXPECT_EQ(mLog.Records()[0].level, 2);
    EXPECT_EQ(mLog.Records()[0].function, "JoxCore::AbstractContainer::GetState");
    EXPECT_EQ(Join(mContainer.GetAtomNames(QString())), "/a /a/b");
    EXPECT_EQ(Join(mContainer.GetAtomNames(QStringLiteral("/a/b"))), "/a[0000000000]/b[0000000000]");
    EXPECT_EQ(mContainer.GetState(QStringLiteral("a/b"), 0), Values{5});
    // The atom is numeric: text is refused, an int in range is taken.
    EXPECT_FALSE(mContainer.SetState(QStringLiteral("a/b"), 0, QStringLiteral("x"), -1));
    EXPECT_TRUE(mContainer.SetState(QStringLiteral("a/b"), 0, 6, -1));
    EXPECT_EQ(Str(mContainer.ToString()), "a[0]\n\tb[0] = 6\n");

    // Atom kinds by the first value's type.
    const struct
    {
        const char* name;
        QVariant value;
        const char* kind;
    } kinds[] = {{"k/bool", true, "AtomBoolean"},   {"k/int", 1, "AtomNumeric"},
                 {"k/real", 1.5, "AtomReal"},        {"k/text", QStringLiteral("t"), "AtomTextual"},
                 {"k/unsigned", 7u, "Atom"},         {"k/size", QSize(1, 1), "Atom"}};
    for (const auto& k : kinds) {
        EXPECT_TRUE(mContainer.SetState(QString::fromLatin1(k.name), 0, Values{k.value})) << k.name;
        EXPECT_EQ(mContainer.GetState(QString::fromLatin1(k.name), 0), Values{k.value}) << k.name;
        // The kind shows in what it refuses: only the plain atom takes a list.
        EXPECT_EQ(mContainer.SetState(QString::fromLatin1(k.name), 0, Values{QVariantList{1}}),
                  std::string(k.kind) == "Atom")
            << k.name;
    }
}

TEST_F(ContainerTest, EmptyNameSelectsEveryNodeForListingsOnly)
{
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("a/b"), 0, 1, -1));
    mLog.Clear();
    EXPECT_EQ(mContainer.GetState(QString(), 0), Values{cEmpty});
    EXPECT_EQ(mLog.Messages(),
              std::vector<std::string>{"GetState(\"\", CurrentState) could not create standalone atom "
                                       "(atom could not be found)."});
    EXPECT_EQ(mContainer.CountAtoms(QString()), 2);
    EXPECT_TRUE(mContainer.HasAtoms(QString()));
    EXPECT_EQ(Str(mContainer.GetFirstAtomName(QString())), "/a");
    QList<StandaloneAtom> atoms;
    mContainer.GetAtoms(QString(), atoms);
    ASSERT_EQ(atoms.size(), 2);
    EXPECT_FALSE(atoms[0].IsValid());
    EXPECT_TRUE(atoms[1].IsValid());
    EXPECT_EQ(atoms[1].GetAtom().GetValues(0), Values{1});
    EXPECT_FALSE(mContainer.GetAtom(QString()).IsValid());
    EXPECT_FALSE(mContainer.SetState(QString(), 0, 1, -1));

    mLog.Clear();
    EXPECT_FALSE(mContainer.GetAtom(QStringLiteral("a")).IsValid());
    EXPECT_EQ(mContainer.GetState(QStringLiteral("a"), 9), Values{cEmpty});
    EXPECT_EQ(mLog.Messages(),
              (std::vector<std::string>{
                  "GetAtom(\"a\") could not create standalone atom (atom could be found but is not in model (weird)).",
                  "GetState(\"a\", UnknownState) could not create standalone atom (atom could be found but is "
                  "not in model (weird))."}));
}

TEST_F(ContainerTest, AtomParameters)
{
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("n[1]"), 0, 5, -1));
    mLog.Clear();
    EXPECT_EQ(mContainer.GetAtomParameter(AbstractContainer::ParameterMin, QStringLiteral("zz"), 42),
              QVariant(QString("")));
    EXPECT_EQ(mLog.Messages(), std::vector<std::string>{"GetAtomParameter(ParameterMin, \"zz\") could not find "
                                                        "atom with that name (unknown or empty name)."});
    // n[0] is an inner node: it keeps the default and n[1] answers.
    mLog.Clear();
    EXPECT_EQ(mContainer.GetAtomParameter(AbstractContainer::ParameterMax, QStringLiteral("n"), 42),
              QVariant(2147483647));
    ASSERT_EQ(mLog.Records().size(), 1u);
    EXPECT_EQ(mLog.Records()[0].level, 5);
    EXPECT_EQ(mContainer.GetAtomParameter(AbstractContainer::ParameterName, QStringLiteral("n[1]"), 0),
              QVariant(QStringLiteral("/n[0000000001]")));

    // Setting: a list walk that stops at the first node without atom.
    EXPECT_FALSE(mContainer.SetAtomParameter(AbstractContainer::ParameterMax, QStringLiteral("n"), 3));
    EXPECT_EQ(mContainer.GetState(QStringLiteral("n[1]"), 0), Values{5});
    EXPECT_TRUE(mContainer.SetAtomParameter(AbstractContainer::ParameterMax, QStringLiteral("n[1]"), 3));
    EXPECT_EQ(mContainer.GetState(QStringLiteral("n[1]"), 0), Values{cEmpty});
    EXPECT_TRUE(mContainer.SetAtomParameter(AbstractContainer::ParameterAllowedValues, QStringLiteral("n[1]"),
                                            QVariantList{1, 2}));
    EXPECT_EQ(mContainer.GetAtomParameter(AbstractContainer::ParameterAllowedValues, QStringLiteral("n[1]"), 0),
              QVariant(QVariantList{1, 2}));
    EXPECT_TRUE(mContainer.SetAtomParameter(AbstractContainer::ParameterRegExp, QStringLiteral("n[1]"),
                                            QStringLiteral("\\d")));
    EXPECT_EQ(mContainer.GetAtomParameter(AbstractContainer::ParameterRegExp, QStringLiteral("n[1]"), 0)
                  .value<QRegExp>()
                  .pattern()
                  .toStdString(),
              "\\d");

    mLog.Clear();
    EXPECT_FALSE(mContainer.SetAtomParameter(AbstractContainer::ParameterName, QStringLiteral("n[1]"), 1));
    EXPECT_FALSE(mContainer.SetAtomParameter(9, QStringLiteral("n[1]"), 1));
    EXPECT_FALSE(mContainer.SetAtomParameter(AbstractContainer::ParameterMin, QStringLiteral("none"), 1));
    EXPECT_EQ(mLog.Messages(),
              (std::vector<std::string>{
                  "SetAtomParameter(ParameterName, \"n[1]\") the name of an atom cannot be set.",
                  "SetAtomParameter(ParameterMin, \"none\") could not find atom with that name."}));
}

TEST_F(ContainerTest, HooksFollowTheirPaths)
{
    RecordingHook all(QStringLiteral("PostSet"));
    RecordingHook underA(QStringLiteral("PostSet:/a/*"));
    RecordingHook other(QStringLiteral("PreSet"));
    RecordingHook malformed(QStringLiteral("PostSet:a[-1]"));
    for (ContainerHook* pHook : std::initializer_list<ContainerHook*>{&all, &underA, &other, &malformed})
        mContainer.AddHook(pHook);
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("a/x[3]"), 0, 1, -1));
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("b/x"), 0, 1, -1));
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("a/x[3]"), 0, 2, -1));
    ASSERT_EQ(underA.mCalls.size(), 2u);
    EXPECT_EQ(Str(underA.mCalls[0].name), "/a[0000000000]/x[0000000003]");
    EXPECT_EQ(underA.mCalls[1].oldValues, Values{1});
    EXPECT_EQ(underA.mCalls[1].newValues, Values{2});
    ASSERT_EQ(all.mCalls.size(), 3u);
    EXPECT_EQ(Str(all.mCalls[1].name), "/b[0000000000]/x[0000000000]");
    EXPECT_EQ(all.mCalls[1].oldValues, Values{cEmpty});
    EXPECT_TRUE(other.mCalls.empty());
    EXPECT_TRUE(malformed.mCalls.empty());
    mContainer.RemoveHook(&all);
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("b/x"), 0, 9, -1));
    EXPECT_EQ(all.mCalls.size(), 3u);
    for (ContainerHook* pHook : std::initializer_list<ContainerHook*>{&underA, &other, &malformed})
        mContainer.RemoveHook(pHook);
}

TEST_F(ContainerTest, DroppingAValueByTheAllowedListShowsHooksTheOldValue)
{
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("n"), 0, 5, -1));
    RecordingHook hook(QStringLiteral("PostSet"));
    mContainer.AddHook(&hook);
    EXPECT_TRUE(mContainer.SetAtomParameter(AbstractContainer::ParameterAllowedValues, QStringLiteral("n"),
                                            QVariantList{1, 2}));
    mContainer.RemoveHook(&hook);
    ASSERT_EQ(hook.mCalls.size(), 1u);
    EXPECT_EQ(hook.mCalls[0].oldValues, Values{5});
    EXPECT_EQ(hook.mCalls[0].newValues, Values{cEmpty});
}

TEST_F(ContainerTest, NamesHoldingPercentAndDigitPrintAsTheyAre)
{
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("a%1b/c%2"), 0, 5, -1));
    EXPECT_EQ(Str(mContainer.ToString()), "a%1b[0]\n\tc%2[0] = 5\n");
    EXPECT_EQ(Str(AtomPath::Parse(QStringLiteral("a%1b[2]")).ElementText(0)), "a%1b[2]");
    EXPECT_EQ(Join(mContainer.GetAtomNames(QStringLiteral("a%1b/c%2"))), "/a%1b[0000000000]/c%2[0000000000]");
    mLog.Clear();
    // c%2 has no children, so "*" selects nothing.
    EXPECT_FALSE(mContainer.SetState(QStringLiteral("a%1b/c%2/*"), 0, QStringLiteral("v%1"), 1));
    const std::vector<std::string> messages = mLog.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "SetState(\"a%1b/c%2/*\", \"v%1\", 1) could not find atom with that name.");
}

// Vetoes every change.
class VetoContainer : public AbstractContainer
{
public:
    bool IsStateChangeAllowed(const QString&, const Values&, const Values&) override { return mAllow; }
    bool mAllow = true;
};

TEST(ContainerVetoTest, VetoKeepsValuesAndStillRunsHooks)
{
    RecordingHook hook(QStringLiteral("PostSet"));
    VetoContainer container;
    container.AddHook(&hook);
    ASSERT_TRUE(container.SetState(QStringLiteral("v"), 0, 1, -1));
    container.mAllow = false;
    hook.mCalls.clear();
    EXPECT_FALSE(container.SetState(QStringLiteral("v"), 0, 2, -1));
    EXPECT_EQ(container.GetState(QStringLiteral("v"), 0), Values{1});
    ASSERT_EQ(hook.mCalls.size(), 1u);
    EXPECT_EQ(hook.mCalls[0].oldValues, Values{1});
    EXPECT_EQ(hook.mCalls[0].newValues, Values{1});
}

TEST_F(ContainerTest, ActionsOnMatches)
{
    for (const char* name : {"s/a", "s/b"}) {
        ASSERT_TRUE(mContainer.SetState(QString::fromLatin1(name), AbstractContainer::DefaultState, 1, -1));
        ASSERT_TRUE(mContainer.SetState(QString::fromLatin1(name), AbstractContainer::CurrentState, 2, -1));
    }
    EXPECT_TRUE(mContainer.PerformAtomsAction(AbstractContainer::ActionSaveCurrentStateAsUndoState, QString()));
    EXPECT_TRUE(mContainer.PerformAtomsAction(AbstractContainer::ActionReset, QStringLiteral("s/*")));
    EXPECT_EQ(mContainer.GetState(QStringLiteral("s/b"), 0), Values{1});
    EXPECT_TRUE(mContainer.PerformAtomsAction(AbstractContainer::ActionUndo, QStringLiteral("s/a")));
    EXPECT_EQ(mContainer.GetState(QStringLiteral("s/a"), 0), Values{2});
    EXPECT_EQ(mContainer.GetState(QStringLiteral("s/b"), 0), Values{1});
    mLog.Clear();
    EXPECT_FALSE(mContainer.PerformAtomsAction(4, QStringLiteral("s/a")));
    EXPECT_FALSE(mContainer.PerformAtomsAction(AbstractContainer::ActionAuto, QStringLiteral("nothing")));
    EXPECT_EQ(mLog.Messages(), std::vector<std::string>{
                                   "PerformAtomsAction(ActionAuto, \"nothing\") could not find atom with that name."});
}

TEST_F(ContainerTest, EveryTreeChangeEmptiesTheLookupCache)
{
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("c"), 0, 1, -1));
    EXPECT_EQ(mContainer.CountAtoms(QStringLiteral("c")), 1);
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("c[1]"), 0, 1, -1));
    EXPECT_EQ(mContainer.CountAtoms(QStringLiteral("c")), 2);
    ASSERT_TRUE(mContainer.SetAtom(QStringLiteral("c[2]"), new AbstractContainerAtom()));
    EXPECT_EQ(mContainer.CountAtoms(QStringLiteral("c")), 3);
    ASSERT_TRUE(mContainer.RemoveAtoms(QStringLiteral("c[0]")));
    EXPECT_EQ(mContainer.CountAtoms(QStringLiteral("c")), 2);
    mContainer.Clear();
    EXPECT_EQ(mContainer.CountAtoms(QStringLiteral("c")), 0);
    EXPECT_EQ(Str(mContainer.ToString()), "");
}

TEST_F(ContainerTest, LookupCacheStaysBounded)
{
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("k"), 0, 1, -1));
    for (int i = 0; i < 3000; ++i)
        EXPECT_FALSE(mContainer.HasAtoms(QStringLiteral("missing%1").arg(i)));
    EXPECT_EQ(mContainer.CachedLookupCount(), 0);
    // Every "k[<no number>]" reads as k[0]: many texts, one hit.
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(mContainer.HasAtoms(QStringLiteral("k[q%1]").arg(i)));
    EXPECT_GT(mContainer.CachedLookupCount(), 0);
    EXPECT_LE(mContainer.CachedLookupCount(), AbstractContainer::MaxCachedLookups);
}

// Notes its own deletion.
class OwnedHook : public ContainerHook
{
public:
    OwnedHook(bool* pDeleted, bool model) : ContainerHook(QStringLiteral("PostSet")), mpDeleted(pDeleted)
    {
        if (model)
            SetProperty(QStringLiteral("model"), true);
    }
    ~OwnedHook() override
    {
        EXPECT_FALSE(HasProperty(QStringLiteral("model")));
        *mpDeleted = true;
    }
    bool* mpDeleted;
};

TEST(ContainerHookTest, ContainerDeletesOnlyModelHooks)
{
    bool modelDeleted = false;
    bool otherDeleted = false;
    OwnedHook* pOther = new OwnedHook(&otherDeleted, false);
    {
        AbstractContainer container;
        container.AddHook(new OwnedHook(&modelDeleted, true));
        container.AddHook(pOther);
        container.AddHook(nullptr);
        ASSERT_TRUE(container.SetState(QStringLiteral("x"), 0, 1, -1));
    }
    EXPECT_TRUE(modelDeleted);
    EXPECT_FALSE(otherDeleted);
    pOther->SetProperty(QStringLiteral("model"), QVariant());
    pOther->ClearProperties();
    delete pOther;
    EXPECT_TRUE(otherDeleted);
}

TEST_F(ContainerTest, SetAtomPlacesOwnsAndRefuses)
{
    // Placed at the first node the path selects; the old atom there goes.
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("p[1]"), 0, 1, -1));
    auto* pAtom = new AbstractContainerAtomNumeric();
    ASSERT_TRUE(mContainer.SetAtom(QStringLiteral("p[1]"), pAtom));
    EXPECT_EQ(pAtom->GetContainer(), &mContainer);
    EXPECT_EQ(Str(pAtom->GetName()), "/p[0000000001]");
    EXPECT_EQ(mContainer.GetState(QStringLiteral("p[1]"), 0), Values{cEmpty});
    // Attaching it again where it is changes nothing and frees nothing.
    EXPECT_TRUE(mContainer.SetAtom(QStringLiteral("p[1]"), pAtom));
    EXPECT_TRUE(mContainer.SetState(QStringLiteral("p[1]"), 0, 3, -1));
    EXPECT_EQ(pAtom->GetValues(0), Values{3});

    // Held elsewhere: refused, so it is never owned twice.
    EXPECT_FALSE(mContainer.SetAtom(QStringLiteral("q"), pAtom));
    AbstractContainer other;
    EXPECT_FALSE(other.SetAtom(QStringLiteral("p[1]"), pAtom));
    EXPECT_EQ(other.CountAtoms(QString()), 0);

    // A path that selects no node: false, and the caller keeps the atom.
    const QString nowhere[] = {QStringLiteral("p/*"), QStringLiteral("a//b"), QStringLiteral("t/"),
                               QString(), QStringLiteral("x[-1]"), QStringLiteral("x[70000]")};
    for (const QString& rName : nowhere) {
        auto* pSpare = new AbstractContainerAtom();
        EXPECT_FALSE(mContainer.SetAtom(rName, pSpare)) << Str(rName);
        EXPECT_EQ(pSpare->GetNode(), nullptr);
        delete pSpare;
    }
    EXPECT_FALSE(mContainer.SetAtom(QStringLiteral("n"), nullptr));
    EXPECT_EQ(Join(mContainer.GetAtomNames(QString())), "/p[0000000000] /p[0000000001]");
}

TEST_F(ContainerTest, MalformedNamesAndIndexesCreateNothing)
{
    ASSERT_TRUE(mContainer.SetState(QStringLiteral("x"), 0, 1, -1));
    const QString refused[] = {QStringLiteral("a[2000000000]"), QStringLiteral("x[-1]"), QStringLiteral("a//b"),
                               QStringLiteral("a/"), QStringLiteral("/"), QStringLiteral("x[2")};
    for (const QString& rName : refused) {
        EXPECT_FALSE(mContainer.SetState(rName, 0, 5, -1)) << Str(rName);
        EXPECT_FALSE(mContainer.SetState(rName, 0, Values{5})) << Str(rName);
        EXPECT_FALSE(mContainer.HasAtoms(rName)) << Str(rName);
    }
    EXPECT_FALSE(mContainer.SetState(QStringLiteral("x"), 0, 5, 2000000000));
    EXPECT_FALSE(mContainer.SetState(QStringLiteral("x"), 0, 5, -2));
    EXPECT_FALSE(mContainer.SetState(QStringLiteral("x"), 4, 5, -1));
    EXPECT_EQ(Join(mContainer.GetAtomNames(QString())), "/x");
    EXPECT_EQ(mContainer.GetState(QStringLiteral("x"), 0), Values{1});
}

TEST_F(ContainerTest, UnsignedValuesAreKept)
{
    EXPECT_TRUE(mContainer.SetState(QStringLiteral("u"), 0, QVariant(7u), -1));
    EXPECT_EQ(mContainer.GetState(QStringLiteral("u"), 0), Values{QVariant(7u)});
}

TEST_F(ContainerTest, HooksCannotFreeWhatTheRunningOperationUses)
{
    for (const char* name : {"h/a", "h/b", "h/c"})
        ASSERT_TRUE(mContainer.SetState(QString::fromLatin1(name), 0, 1, -1));
    RecordingHook hook(QStringLiteral("PostSet:h/*"));
    int round = 0;
    hook.mAction = [&round](AbstractContainer* pContainer) {
        // Inside a hook: reads and value changes work, removals are refused.
        EXPECT_EQ(pContainer->CountAtoms(QStringLiteral("h/*")), 3);
        EXPECT_FALSE(pContainer->RemoveAtoms(QStringLiteral("h")));
        auto* pAtom = new AbstractContainerAtom();
        EXPECT_FALSE(pContainer->SetAtom(QStringLiteral("h/c"), pAtom));
        if (pAtom->GetNode() == nullptr)
            delete pAtom;
        pContainer->Clear();
        if (round++ == 0) {
            EXPECT_TRUE(pContainer->SetState(QStringLiteral("other"), 0, 2, -1));
        }
    };
    mContainer.AddHook(&hook);
    EXPECT_TRUE(mContainer.SetState(QStringLiteral("h/*"), 0, 5, -1));
    EXPECT_TRUE(mContainer.SetAtomParameter(AbstractContainer::ParameterMax, QStringLiteral("h/*"), 10));
    EXPECT_TRUE(mContainer.PerformAtomsAction(AbstractContainer::ActionReset, QStringLiteral("h/*")));
    mContainer.RemoveHook(&hook);
    EXPECT_EQ(hook.mCalls.size(), 9u);
    EXPECT_EQ(mContainer.CountAtoms(QStringLiteral("h/*")), 3);
    EXPECT_EQ(mContainer.GetState(QStringLiteral("other"), 0), Values{2});
    // Outside hooks the same calls work.
    EXPECT_TRUE(mContainer.RemoveAtoms(QStringLiteral("h")));
    EXPECT_EQ(mContainer.CountAtoms(QString()), 1);
}

TEST(ContainerThreadsTest, EightThreadsSetAndReadAtOnce)
{
    AbstractContainer container;
    std::atomic<int> hookCalls{0};
    RecordingHook hook(QStringLiteral("PostSet:shared/*"));
    hook.mAction = [&hookCalls](AbstractContainer* pContainer) {
        ++hookCalls;
        pContainer->GetAtomNames(QStringLiteral("shared"));
    };
    container.AddHook(&hook);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    const int rounds = 300;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&container, &failures, t] {
            const QString own = QStringLiteral("t%1/value").arg(t);
            for (int i = 0; i < rounds; ++i) {
                if (!container.SetState(own, 0, i, -1))
                    ++failures;
                if (container.GetState(own, 0) != Values{i})
                    ++failures;
                container.SetState(QStringLiteral("shared/x[%1]").arg(i % 4), 0, i, -1);
                container.GetAtom(QStringLiteral("shared/*"));
                container.CountAtoms(QString());
                container.ToString();
                if (i % 50 == 0)
                    container.RemoveAtoms(QStringLiteral("shared/x[3]"));
            }
        });
    }
    for (std::thread& rThread : threads)
        rThread.join();
    container.RemoveHook(&hook);
    EXPECT_EQ(failures.load(), 0);
    for (int t = 0; t < 8; ++t)
        EXPECT_EQ(container.GetState(QStringLiteral("t%1/value").arg(t), 0), Values{rounds - 1});
    EXPECT_GT(hookCalls.load(), 0);
}

} // namespace
