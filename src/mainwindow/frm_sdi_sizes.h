#pragma once

// Sizes of the main window's controls in the classic window units (see classic_units.h).
namespace kinetra::sizes {

// Classic sizes: entry boxes 1215 units wide, lists 1815, picture buttons 615 square.
inline constexpr int kBoxWidth = 1215;
inline constexpr int kListWidth = 1815;
inline constexpr int kPictureButton = 615;
// The diagnosis chart: 5000 x 1395 units.
inline constexpr int kChartWidth = 5000;
inline constexpr int kChartHeight = 1395;
// The correction bar's well: the bar grows upward from 2250 units.
inline constexpr int kCorrWellWidth = 450;
inline constexpr int kCorrWellHeight = 2250;
// A frame with more fields than this splits them over two columns.
inline constexpr int kRowsPerColumn = 9;

} // namespace kinetra::sizes
