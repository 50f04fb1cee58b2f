#pragma once

#include <QList>
#include <QString>

namespace JoxCore {

// One entry of a codec choice list: the code stored in a configuration and
// its (translated) label.
struct CodecChoice
{
    int value = 0;
    QString text;
};

// Entries in the order a combo box shows them; the first is the fallback.
using CodecChoiceList = QList<CodecChoice>;

// value when some entry of rList has it; else the first entry's value; -1
// for an empty list.
int ValidateChoice(const CodecChoiceList& rList, int value);

} // namespace JoxCore
