#pragma once
// State of scrolling and stretching.

struct TGridScrollState {
};
