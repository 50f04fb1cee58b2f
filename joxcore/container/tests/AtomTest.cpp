#include <joxcore/AbstractContainer.h>
#include <joxcore/AbstractContainerAtom.h>
#include <joxcore/AbstractContainerAtomBoolean.h>
#include <joxcore/AbstractContainerAtomNumeric.h>
#include <joxcore/AbstractContainerAtomReal.h>
#include <joxcore/AbstractContainerAtomTextual.h>
#include <joxcore/ContainerHook.h>

#include <QSize>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>

namespace {

using namespace JoxCore;
using Values = QList<QVariant>;

const QVariant cEmpty = QVariant(QString(""));

// Counts ValuesChanged calls.
class CountingAtom : public AbstractContainerAtom
{
public:
    using AbstractContainerAtom::AbstractContainerAtom;
    void ValuesChanged(const QString&, const Values&, const Values&) override { ++mChanges; }
    int mChanges = 0;
};

// Counts its calls.
class CountingHook : public ContainerHook
{
public:
    using ContainerHook::ContainerHook;
    void Invoke(AbstractContainer*, const QString&, const Values&, const Values&) override { ++mCalls; }
    int mCalls = 0;
};

TEST(AtomTest, NewAtomsHoldOneEmptyStringPerState)
{
    const std::unique_ptr<AbstractContainerAtom> atoms[] = {
        std::make_unique<AbstractContainerAtom>(), std::make_unique<AbstractContainerAtomTextual>(),
        std::make_unique<AbstractContainerAtomNumeric>(), std::make_unique<AbstractContainerAtomReal>(),
        std::make_unique<AbstractContainerAtomBoolean>()};
    const char* names[] = {"Atom", "AtomTextual", "AtomNumeric", "AtomReal", "AtomBoolean"};
    for (size_t i = 0; i < std::size(atoms); ++i) {
        EXPECT_EQ(atoms[i]->GetTypeName().toStdString(), names[i]);
        for (int state = -1; state <= 4; ++state)
            EXPECT_EQ(atoms[i]->GetValues(state), Values{cEmpty}) << names[i] << " " << state;
    }
    EXPECT_EQ(atoms[4]->GetAllowedValues(), (Values{true, false}));
}

TEST(AtomTest, ValueChecksPerKind)
{
    using Setup = std::function<void(AbstractContainerAtom&)>;
    const Setup none = [](AbstractContainerAtom&) {};
    struct Case
    {
        const char* what;
        std::function<AbstractContainerAtom*()> make;
        Setup setup;
        QVariant value;
        bool valid;
    };
    auto textual = [] { return new AbstractContainerAtomTextual(); };
    auto numeric = [] { return new AbstractContainerAtomNumeric(); };
    auto real = [] { return new AbstractContainerAtomReal(); };
    auto boolean = [] { return new AbstractContainerAtomBoolean(); };
    auto plain = [] { return new AbstractContainerAtom(); };
    const Setup digits = [](AbstractContainerAtom& a) { a.SetRegExp(QRegExp(QStringLiteral("\\d+"))); };
    const Setup length3 = [](AbstractContainerAtom& a) { a.SetMaxLength(3); };
    const Setup noUpper = [](AbstractContainerAtom& a) {
        a.SetMin(10);
        a.SetMax(-1);
    };
    const Setup range = [](AbstractContainerAtom& a) {
        a.SetMin(-5);
        a.SetMax(5);
    };
    const Setup empty = [](AbstractContainerAtom& a) { a.SetAllowedValues({}); };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"plain takes anything", plain, none, QVariant(QSize(1, 2)), true},
        {"text", textual, none, QVariant(QStringLiteral("x")), true},
        {"text refuses int", textual, none, QVariant(3), false},
        {"pattern whole match", textual, digits, QVariant(QStringLiteral("123")), true},
        {"pattern partial", textual, digits, QVariant(QStringLiteral("12a")), false},
        {"length at limit", textual, length3, QVariant(QStringLiteral("123")), true},
        {"length past limit", textual, length3, QVariant(QStringLiteral("1234")), false},
        {"int", numeric, none, QVariant(std::numeric_limits<int>::min()), true},
        {"unsigned refused", numeric, none, QVariant(1u), false},
        {"double refused", numeric, none, QVariant(1.0), false},
        {"no upper limit", numeric, noUpper, QVariant(std::numeric_limits<int>::max()), true},
        {"below min", numeric, noUpper, QVariant(9), false},
        {"above max", numeric, range, QVariant(6), false},
        {"real zero within epsilon of min", real, none, QVariant(0.0), true},
        {"real negative", real, none, QVariant(-1.0), false},
        {"real max", real, none, QVariant(std::numeric_limits<double>::max()), true},
        {"real nan", real, none, QVariant(nan), false},
        {"real int refused", real, none, QVariant(1), false},
        {"boolean true", boolean, none, QVariant(true), true},
        {"boolean text", boolean, none, QVariant(QStringLiteral("yes")), false},
        {"boolean without allowed list", boolean, empty, QVariant(QStringLiteral("yes")), true},
    };
    for (const Case& c : cases) {
        std::unique_ptr<AbstractContainerAtom> atom(c.make());
        c.setup(*atom);
        EXPECT_EQ(atom->IsValueAllowed(c.value), c.valid) << c.what;
    }
}

class AtomInContainerTest : public ::testing::Test
{
protected:
    // Attaches pAtom under /a with a counting "PostSet" hook.
    template <typename T>
    T* Attach(T* pAtom)
    {
        mContainer.AddHook(&mHook);
        EXPECT_TRUE(mContainer.SetAtom(QStringLiteral("a"), pAtom));
        return pAtom;
    }
    // Declared first so it outlives the container it is registered with.
    CountingHook mHook{QStringLiteral("PostSet")};
    AbstractContainer mContainer;
};

TEST_F(AtomInContainerTest, ListLongerThanTheMaximumIsNotStoredButNotifies)
{
    auto* pAtom = Attach(new CountingAtom(&mContainer));
    ASSERT_TRUE(pAtom->SetValues(0, {1}));
    pAtom->mChanges = mHook.mCalls = 0;
    EXPECT_TRUE(pAtom->SetValues(0, {2, 3}));
    EXPECT_EQ(pAtom->GetValues(0), Values{1});
    EXPECT_EQ(pAtom->mChanges, 1);
    EXPECT_EQ(mHook.mCalls, 1);
    // An unchanged list notifies nobody.
    EXPECT_TRUE(pAtom->SetValues(0, {1}));
    EXPECT_EQ(pAtom->mChanges, 1);
    EXPECT_EQ(mHook.mCalls, 1);
}

TEST_F(AtomInContainerTest, SetValuePadsWithEmptyStrings)
{
    auto* pAtom = Attach(new AbstractContainerAtom(&mContainer));
    pAtom->SetMaxNumberStateValues(4);
    ASSERT_TRUE(pAtom->SetValue(1, QStringLiteral("old"), -1));
    EXPECT_TRUE(pAtom->SetValue(1, QStringLiteral("new"), 3));
    EXPECT_EQ(pAtom->GetValues(1), (Values{QStringLiteral("old"), cEmpty, cEmpty, QStringLiteral("new")}));
    // A typed atom drops the padding as values its check refuses.
    auto* pNumbers = new AbstractContainerAtomNumeric(&mContainer);
    ASSERT_TRUE(mContainer.SetAtom(QStringLiteral("n"), pNumbers));
    pNumbers->SetMaxNumberStateValues(4);
    ASSERT_TRUE(pNumbers->SetValue(0, 1, 0));
    EXPECT_TRUE(pNumbers->SetValue(0, 4, 3));
    EXPECT_EQ(pNumbers->GetValues(0), (Values{1, 4}));
}

TEST_F(AtomInContainerTest, BadStatesAndIndexesAreRefused)
{
    auto* pAtom = Attach(new AbstractContainerAtom(&mContainer));
    pAtom->SetMaxNumberStateValues(std::numeric_limits<int>::max());
    mHook.mCalls = 0;
    const struct
    {
        int state;
        int index;
    } cases[] = {{4, 0},
                 {-1, 0},
                 {0, -2},
                 {0, std::numeric_limits<int>::min()},
                 {0, AbstractContainerAtom::MaxValueIndex + 1},
                 {0, std::numeric_limits<int>::max()}};
    for (const auto& c : cases)
        EXPECT_FALSE(pAtom->SetValue(c.state, 7, c.index)) << c.state << " " << c.index;
    EXPECT_FALSE(pAtom->SetValues(4, {7}));
    EXPECT_FALSE(pAtom->SetValues(-1, {7}));
    EXPECT_EQ(pAtom->GetValues(0), Values{cEmpty});
    EXPECT_EQ(mHook.mCalls, 0);
    EXPECT_TRUE(pAtom->SetValue(0, 7, AbstractContainerAtom::MaxValueIndex));
    EXPECT_EQ(pAtom->GetValues(0).size(), AbstractContainerAtom::MaxValueIndex + 1);
}

TEST_F(AtomInContainerTest, InvalidValueNeverReplacesAValidOne)
{
    auto* pAtom = Attach(new AbstractContainerAtomNumeric(&mContainer));
    pAtom->SetMaxNumberStateValues(2);
    ASSERT_TRUE(pAtom->SetValue(0, 5, -1));
    mHook.mCalls = 0;
    EXPECT_FALSE(pAtom->SetValue(0, QStringLiteral("abc"), -1));
    EXPECT_FALSE(pAtom->SetValue(0, 5u, 0));
    EXPECT_FALSE(pAtom->SetValues(0, {6, QStringLiteral("abc")}));
    EXPECT_EQ(pAtom->GetValues(0), Values{5});
    EXPECT_EQ(mHook.mCalls, 0);
    // The empty string stands for "no value" and clears.
    EXPECT_TRUE(pAtom->SetValues(0, {cEmpty}));
    EXPECT_EQ(pAtom->GetValues(0), Values{cEmpty});
}

TEST_F(AtomInContainerTest, RuleChangesRevalidateEveryState)
{
    auto* pAtom = Attach(new AbstractContainerAtomNumeric(&mContainer));
    pAtom->SetMaxNumberStateValues(3);
    for (int state = 0; state < 4; ++state)
        ASSERT_TRUE(pAtom->SetValues(state, {1, 50, 2}));
    mHook.mCalls = 0;
    pAtom->SetMax(10);
    pAtom->Revalidate(pAtom->GetValues(0));
    for (int state = 0; state < 4; ++state)
        EXPECT_EQ(pAtom->GetValues(state), (Values{1, 2})) << state;
    EXPECT_EQ(mHook.mCalls, 1);
    pAtom->SetAllowedValues({7});
    EXPECT_EQ(pAtom->GetValues(0), Values{cEmpty});
    EXPECT_EQ(mHook.mCalls, 2);
}

TEST_F(AtomInContainerTest, CopiesKeepListsAndRulesAsTheyAre)
{
    auto* pAtom = Attach(new AbstractContainerAtomTextual(&mContainer));
    pAtom->SetMaxNumberStateValues(3);
    ASSERT_TRUE(pAtom->SetValues(0, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    ASSERT_TRUE(pAtom->SetValues(3, {QStringLiteral("auto")}));
    // A lower maximum does not cut stored lists; a copy keeps them too.
    pAtom->SetMaxNumberStateValues(1);
    pAtom->SetMaxLength(8);
    pAtom->SetRegExp(QRegExp(QStringLiteral("[a-z]+")));
    const AbstractContainerAtom copy(*pAtom);
    EXPECT_EQ(copy.GetValues(0), pAtom->GetValues(0));
    EXPECT_EQ(copy.GetValues(3), Values{QStringLiteral("auto")});
    EXPECT_EQ(copy.GetMaxNumberStateValues(), 1);
    EXPECT_EQ(copy.GetMaxLength(), 8);
    EXPECT_EQ(copy.GetRegExp().pattern().toStdString(), "[a-z]+");
    EXPECT_EQ(copy.GetTypeName().toStdString(), "Atom");
    EXPECT_EQ(copy.GetContainer(), nullptr);
    EXPECT_EQ(copy.GetNode(), nullptr);
}

TEST_F(AtomInContainerTest, ActionsCopyBetweenStates)
{
    auto* pAtom = Attach(new AbstractContainerAtom(&mContainer));
    ASSERT_TRUE(pAtom->SetValues(1, {QStringLiteral("default")}));
    ASSERT_TRUE(pAtom->SetValues(3, {QStringLiteral("auto")}));
    ASSERT_TRUE(pAtom->SetValues(0, {QStringLiteral("current")}));
    EXPECT_TRUE(pAtom->SaveCurrentStateAsUndoState());
    EXPECT_TRUE(pAtom->Reset());
    EXPECT_EQ(pAtom->GetValues(0), Values{QStringLiteral("default")});
    EXPECT_TRUE(pAtom->Auto());
    EXPECT_EQ(pAtom->GetValues(0), Values{QStringLiteral("auto")});
    EXPECT_TRUE(pAtom->Undo());
    EXPECT_EQ(pAtom->GetValues(0), Values{QStringLiteral("current")});
}

} // namespace
