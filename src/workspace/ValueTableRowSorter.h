#pragma once

#include "workspace/FrequencyValueTableComponent.h"

/**
    Orders the rows of the point table by one column: frequency (column 1), magnitude (2) or phase
    (3); any other column makes every pair equal. Direction +1 sorts ascending, -1 descending.
    A NaN key counts as larger than any number.

    Rows with equal keys keep their order (sortRows): two points at one frequency form a step, and
    which magnitude lies on which side of it is their order.
*/
class ValueTableRowSorter
{
public:
    /** Sorter for a column id and a direction (+1 ascending, -1 descending). */
    ValueTableRowSorter (int columnIdToSortBy, int sortDirection) noexcept;

    /** Negative when a goes before b: the sign of key(a) - key(b) times the direction. */
    int compareElements (const FrequencyValueTableComponent::Row& a,
                         const FrequencyValueTableComponent::Row& b) const noexcept;

    /** Sorts `rows` by the column in the direction, keeping rows with equal keys in their order. */
    static void sortRows (juce::Array<FrequencyValueTableComponent::Row>& rows, int columnId, int direction);

    int columnId;
    int direction;
};
