#include "panelmodel.h"

#include "kn4/number.h"

namespace kn4::editor {

bool PanelModel::isTwoSided() const
{
    return leadingInteger(header.predisposizione) == kTwoSided;
}

} // namespace kn4::editor
