#pragma once

#include "workspace/FrequencyValueTableComponent.h"

/**
    Orders the rows of the point table by one column: frequency (column 1), magnitude (2) or phase
    (3); any other column makes every pair equal. Direction +1 sorts ascending, -1 descending.
    A NaN key counts as larger than any number.

    Used with juce::Array::sort, which sorts without keeping the order of equal rows.
*/
class ValueTableRowSorter
{
public:
    /** Sorter for a column id and a direction (+1 ascending, -1 descending). */
    ValueTableRowSorter (int columnIdToSortBy, int sortDirection) noexcept;

    /** Negative when a goes before b: the sign of key(a) - key(b) times the direction. */
    int compareElements (const FrequencyValueTableComponent::Row& a,
                         const FrequencyValueTableComponent::Row& b) const noexcept;

    int columnId;
    int direction;
};
