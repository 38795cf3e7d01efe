// Labelling of the measurement grid at start.
#pragma once

class TStringGrid;

namespace app {

// Writes the header row and column and empties every data cell.
void LabelMeasurementGrid(TStringGrid& grid);

}  // namespace app
