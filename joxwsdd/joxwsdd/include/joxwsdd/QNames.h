#pragma once

#include <joxwsdd/PelwickExport.h>

#include <list>
#include <string>

namespace JoxWsdd {

// The items joined with one blank between them; "" for an empty list.
PELWICK_EXPORT std::string JoinQNames(const std::list<std::string>& rList);

// Splits at blanks, a run of blanks counting as one separator: a leading or
// trailing run gives an empty first or last item, "" gives one empty item and
// a null text an empty list.
PELWICK_EXPORT std::list<std::string> SplitQNames(const char* pText);

// As above into rOut, whose contents are replaced; a null text leaves rOut
// untouched.
PELWICK_EXPORT void SplitQNames(const char* pText, std::list<std::string>& rOut);

} // namespace JoxWsdd
