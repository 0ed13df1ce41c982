// Ordering the point table's rows by a column, up or down, with NaN keys last.
#include "workspace/ValueTableRowSorter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace
{
using Row = FrequencyValueTableComponent::Row;

std::vector<std::array<double, 3>> valuesOf (const juce::Array<Row>& rows)
{
    std::vector<std::array<double, 3>> values;
    for (const auto& r : rows)
        values.push_back ({ r.frequency, r.magnitude, r.phase });
    return values;
}
} // namespace

TEST (ValueTableRowSorterTest, SortsByEveryColumnInBothDirectionsAndMovesWholeRows)
{
    // Each column orders the rows differently.
    const juce::Array<Row> original { Row { 1000.0, -3.0, 45.0 }, Row { 100.0, 6.0, -90.0 }, Row { 500.0, 0.0, 10.0 }, Row { 20.0, 12.0, 0.0 } };
    for (int columnId = 1; columnId <= 3; ++columnId)
        for (int direction : { 1, -1 })
        {
            auto rows = original;
            ValueTableRowSorter sorter (columnId, direction);
            rows.sort (sorter);

            auto expected = valuesOf (original);
            std::sort (expected.begin(), expected.end(), [&] (const auto& a, const auto& b)
                       { return direction > 0 ? a[(size_t) columnId - 1] < b[(size_t) columnId - 1]
                                              : a[(size_t) columnId - 1] > b[(size_t) columnId - 1]; });
            EXPECT_EQ (valuesOf (rows), expected) << "column " << columnId << ", direction " << direction;
        }

    // An unknown column leaves every pair equal.
    for (int columnId : { 0, 4, 9, -1 })
        EXPECT_EQ (ValueTableRowSorter (columnId, 1).compareElements (original[0], original[1]), 0);
}

TEST (ValueTableRowSorterTest, NanKeysGoAfterNumbersAndTheRestStaysSorted)
{
    // Enough rows that std::sort leaves its insertion-sort path, where an inconsistent comparison
    // would read outside the array.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    juce::Array<Row> rows;
    juce::Random random (42);
    for (int i = 0; i < 200; ++i)
        rows.add ({ i % 7 == 3 ? nan : random.nextDouble() * 20000.0, 0.0, 0.0 });

    ValueTableRowSorter sorter (1, 1);
    rows.sort (sorter);

    const int numbers = 200 - 29; // rows 3, 10, ..., 199 hold NaN
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ (std::isnan (rows[i].frequency), i >= numbers) << i;
    for (int i = 1; i < numbers; ++i)
        EXPECT_LE (rows[i - 1].frequency, rows[i].frequency) << i;
}
