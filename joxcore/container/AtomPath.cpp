#include <joxcore/AtomPath.h>

namespace JoxCore {

namespace {

const QString cWildcard = QStringLiteral("*");

// A decimal number with an optional sign.
bool IsNumberText(const QString& rText)
{
    int start = (rText.startsWith(QLatin1Char('-')) || rText.startsWith(QLatin1Char('+'))) ? 1 : 0;
    if (rText.size() <= start)
        return false;
    for (int i = start; i < rText.size(); ++i)
        if (!rText.at(i).isDigit() || rText.at(i).unicode() > 127)
            return false;
    return true;
}

} // namespace

AtomPath::AtomPath(const QString& rText) : AtomPath(Parse(rText)) {}

AtomPath AtomPath::Parse(const QString& rText)
{
    AtomPath path;
    if (rText.isEmpty())
        return path;
    QString rest = rText;
    if (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    const QStringList parts = rest.split(QLatin1Char('/'), Qt::KeepEmptyParts);
    if (parts.size() > MaxDepth) {
        path.MakeInvalid();
        return path;
    }
    for (const QString& rPart : parts) {
        path.Append(rPart);
        if (!path.mValid)
            break;
    }
    return path;
}

bool AtomPath::ParseElement(const QString& rText, QString& rName, int& rIndex)
{
    const int open = rText.indexOf(QLatin1Char('['));
    if (open < 0) {
        rName = rText;
        rIndex = -1;
        return true;
    }
    rName = rText.left(open);
    const int close = rText.indexOf(QLatin1Char(']'), open + 1);
    if (close < 0)
        return false;
    const QString number = rText.mid(open + 1, close - open - 1).trimmed();
    // Text that is no number reads as 0 ("x[abc]" is x[0]); a number must lie
    // within 0..MaxIndex.
    if (!IsNumberText(number)) {
        rIndex = 0;
        return true;
    }
    bool ok = false;
    const qlonglong value = number.toLongLong(&ok, 10);
    if (!ok || value < 0 || value > MaxIndex)
        return false;
    rIndex = static_cast<int>(value);
    return true;
}

void AtomPath::MakeInvalid()
{
    mNames.clear();
    mIndexes.clear();
    mValid = false;
}

bool AtomPath::HasEmptyElement() const
{
    for (const QString& rName : mNames)
        if (rName.isEmpty())
            return true;
    return false;
}

QString AtomPath::ElementName(int element) const
{
    return (element >= 0 && element < Count()) ? mNames.at(element) : QString();
}

int AtomPath::ElementIndex(int element) const
{
    return (element >= 0 && element < Count()) ? mIndexes.at(element) : -1;
}

QString AtomPath::ElementText(int element) const
{
    if (element < 0 || element >= Count())
        return QString();
    if (mIndexes.at(element) == -1)
        return mNames.at(element);
    return QStringLiteral("%1[%2]").arg(mNames.at(element), QString::number(mIndexes.at(element)));
}

void AtomPath::SetElement(int element, const QString& rElementText)
{
    if (element < 0 || element >= Count())
        return;
    QString name;
    int index = -1;
    if (!ParseElement(rElementText, name, index)) {
        MakeInvalid();
        return;
    }
    SetElement(element, name, index);
}

void AtomPath::SetElement(int element, const QString& rName, int index)
{
    if (element < 0 || element >= Count())
        return;
    mNames[element] = rName;
    mIndexes[element] = index;
}

void AtomPath::Prepend(const QString& rElementText)
{
    InsertElement(0, rElementText);
}

void AtomPath::Append(const QString& rElementText)
{
    InsertElement(Count(), rElementText);
}

void AtomPath::InsertElement(int position, const QString& rElementText)
{
    QString name;
    int index = -1;
    if (!mValid || Count() >= MaxDepth || !ParseElement(rElementText, name, index)) {
        MakeInvalid();
        return;
    }
    mNames.insert(position, name);
    mIndexes.insert(position, index);
}

QString AtomPath::ToString() const
{
    QString text;
    for (int i = 0; i < Count(); ++i) {
        text += QLatin1Char('/');
        text += mNames.at(i);
        if (mIndexes.at(i) != -1)
            text += QStringLiteral("[%1]").arg(mIndexes.at(i), 10, 10, QLatin1Char('0'));
    }
    return text;
}

bool AtomPath::Matches(const AtomPath& rOther, bool checkIndex) const
{
    if (!mValid || !rOther.mValid)
        return false;
    if (Count() != rOther.Count())
        return false;
    for (int i = 0; i < Count(); ++i) {
        const QString& rName = mNames.at(i);
        const QString& rOtherName = rOther.mNames.at(i);
        if (rName == cWildcard || rOtherName == cWildcard)
            continue;
        if (rName != rOtherName)
            return false;
        const int index = mIndexes.at(i);
        const int otherIndex = rOther.mIndexes.at(i);
        if (checkIndex && index != -1 && otherIndex != -1 && index != otherIndex)
            return false;
    }
    return true;
}

} // namespace JoxCore
