#include "editor/view_state.h"

#include <algorithm>
#include <cmath>

namespace editor {

void SetScrollPosition(TViewState& view, double position) {
  if (std::isnan(position)) return;
  view.ScrollPosition = std::clamp(position, double(view.ScrollMin),
                                   double(std::max(view.ScrollMin, view.ScrollMax)));
}

} // namespace editor
