#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace JoxCore {

// A slash-separated path to atoms of a parameter container: elements with a
// name, an optional "[index]", or the wildcard "*". One leading "/" is
// ignored; empty parts are kept ("a//b" has three elements).
//
// A text with an index that is negative or above MaxIndex, an unclosed "[",
// or more than MaxDepth elements is malformed: the path keeps no elements,
// IsValid is false, and it selects, creates and matches nothing.
class AtomPath
{
public:
    // Largest index an element may carry.
    static constexpr int MaxIndex = 65535;
    // Most elements a path may have.
    static constexpr int MaxDepth = 64;

    AtomPath() = default;
    explicit AtomPath(const QString& rText);

    // The path parsed from rText (see the class comment).
    static AtomPath Parse(const QString& rText);

    bool IsValid() const { return mValid; }
    int Count() const { return static_cast<int>(mNames.size()); }
    bool IsLast(int element) const { return element == Count() - 1; }
    // True when some element has an empty name.
    bool HasEmptyElement() const;

    // Name of the element; empty when out of range.
    QString ElementName(int element) const;
    // Index of the element, -1 when it has none or is out of range.
    int ElementIndex(int element) const;
    // The name followed by "[index]" when there is one (no zero fill).
    QString ElementText(int element) const;

    // Replaces an existing element; ignored when out of range. A malformed
    // element text makes the path malformed.
    void SetElement(int element, const QString& rElementText);
    // Replaces name and index of an existing element directly.
    void SetElement(int element, const QString& rName, int index);
    void Prepend(const QString& rElementText);
    void Append(const QString& rElementText);

    // "/name[0000000002]/..." with every index zero-filled to ten digits; the
    // empty text for no elements.
    QString ToString() const;

    // Same element count, and element by element: either name is "*", or the
    // names are equal and (checkIndex is off, or either index is -1, or the
    // indexes are equal). A malformed path matches nothing.
    bool Matches(const AtomPath& rOther, bool checkIndex) const;

private:
    // Reads "name[index]"; false when the element is malformed.
    static bool ParseElement(const QString& rText, QString& rName, int& rIndex);
    // Inserts one parsed element before `position`; a full or invalid path,
    // or a malformed element, makes the path invalid.
    void InsertElement(int position, const QString& rElementText);
    void MakeInvalid();

    QStringList mNames;
    QList<int> mIndexes;
    bool mValid = true;
};

} // namespace JoxCore
