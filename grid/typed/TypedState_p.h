#pragma once
// State of typed access, graphics, headers and selection lists.

#include <vector>

struct TGridTypedState {
    std::vector<char> rowMarks; // disjunct row selection, grown on demand
    std::vector<char> colMarks;
};
