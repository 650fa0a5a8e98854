#include "ReadingOrder.h"

#include <algorithm>

std::vector<int> ReadingOrder(const ControlTable& table) {
    std::vector<int> order(static_cast<size_t>(table.Count()));
    for (int position = 0; position < table.Count(); ++position) order[static_cast<size_t>(position)] = position;
    auto top = [&table](int position) { return table[position].top; };
    auto left = [&table](int position) { return table[position].left; };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return top(a) < top(b); });
    // Lines, each sorted from the left.
    for (size_t first = 0; first < order.size();) {
        const ControlRecord& head = table[order[first]];
        size_t end = first + 1;
        while (end < order.size()) {
            const ControlRecord& next = table[order[end]];
            const long long middle = (static_cast<long long>(next.top) + next.bottom) / 2;
            if (middle >= head.bottom) break;
            ++end;
        }
        std::stable_sort(order.begin() + static_cast<long>(first), order.begin() + static_cast<long>(end),
                         [&](int a, int b) { return left(a) < left(b); });
        first = end;
    }
    return order;
}
