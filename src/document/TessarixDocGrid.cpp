// The Grid Setting write-back of the document.
#include "document/TessarixDoc.h"

bool CTessarixDoc::SetGridDefinition(const GridDefinition& grid)
{
    CTessarixSettings& s = m_settings;
    const bool surfaceChanged = !(s.extent == grid.extent) || s.gridCountX != grid.countX ||
                                s.gridCountY != grid.countY || s.interpFunction != grid.function ||
                                s.interpParameter != grid.parameter;

    ApplyChange({StepGrid, surfaceChanged ? RECALC_ALL : 0}, [&] {
        s.extent = grid.extent;
        s.gridCountX = grid.countX;
        s.gridCountY = grid.countY;
        s.interpFunction = grid.function;
        s.interpParameter = grid.parameter;

        // Steps of a switched-off snap or rounding are not taken, so switching it on again brings
        // back the steps the user had.
        m_inputGrid.snapMouse = grid.input.snapMouse ? 1 : 0;
        if (m_inputGrid.snapMouse) {
            m_inputGrid.snapX = grid.input.snapX;
            m_inputGrid.snapY = grid.input.snapY;
        }
        m_inputGrid.roundKeyboard = grid.input.roundKeyboard ? 1 : 0;
        if (m_inputGrid.roundKeyboard) {
            m_inputGrid.roundX = grid.input.roundX;
            m_inputGrid.roundY = grid.input.roundY;
        }
    });
    return surfaceChanged;
}
