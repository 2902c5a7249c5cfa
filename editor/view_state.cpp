#include "editor/view_state.h"

#include <algorithm>

namespace editor {

void SetScrollPosition(TViewState& view, std::int32_t position) {
  view.ScrollPosition =
      std::clamp(position, view.ScrollMin, std::max(view.ScrollMin, view.ScrollMax));
}

} // namespace editor
