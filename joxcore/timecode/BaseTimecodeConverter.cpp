#include <joxcore/BaseTimecodeConverter.h>

namespace JoxCore {

BaseTimecodeConverter::BaseTimecodeConverter(QObject* pParent) : QObject(pParent) {}

BaseTimecodeConverter::~BaseTimecodeConverter() = default;

} // namespace JoxCore
