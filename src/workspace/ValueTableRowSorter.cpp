#include "workspace/ValueTableRowSorter.h"

#include <cmath>

ValueTableRowSorter::ValueTableRowSorter (int columnIdToSortBy, int sortDirection) noexcept
    : columnId (columnIdToSortBy), direction (sortDirection)
{
}

int ValueTableRowSorter::compareElements (const FrequencyValueTableComponent::Row& a,
                                          const FrequencyValueTableComponent::Row& b) const noexcept
{
    if (columnId < 1 || columnId > 3)
        return 0;

    const double keyA = FrequencyValueTableComponent::getField (a, columnId);
    const double keyB = FrequencyValueTableComponent::getField (b, columnId);

    // A typed "nan" is a possible key. It counts as larger than every number and equal to another
    // NaN, so the order stays a strict weak ordering, which the sort needs to stay inside the array.
    const bool nanA = std::isnan (keyA);
    const bool nanB = std::isnan (keyB);

    int result = 0;

    if (nanA || nanB)
        result = (nanA ? 1 : 0) - (nanB ? 1 : 0);
    else if (keyA > keyB)
        result = 1;
    else if (keyB > keyA)
        result = -1;

    return result * direction;
}

void ValueTableRowSorter::sortRows (juce::Array<FrequencyValueTableComponent::Row>& rows, int columnId, int direction)
{
    ValueTableRowSorter sorter (columnId, direction);
    rows.sort (sorter, true);   // a stable sort
}
