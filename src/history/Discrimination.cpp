#include "Discrimination.h"

#include <cmath>

namespace discrimination {

bool clearlyNegative(int sheets, const std::optional<double> &value)
{
    // As shown: −0,195 reads −0,20 and is flagged, −0,194 reads −0,19.
    return sheets >= kMinimumSheets && value &&
           std::round(*value * 100) <= std::round(kClearlyNegative * 100);
}

} // namespace discrimination
