#include "map/layers/layer_stack.h"

#include <algorithm>

namespace zeblon::map {

void LayerStack::Add(LayerPlace place, Layer* layer) {
  const auto after =
      std::find_if(entries_.begin(), entries_.end(), [place](const Entry& e) { return e.place > place; });
  entries_.insert(after, Entry{place, layer});
}

void LayerStack::Remove(Layer* layer) {
  std::erase_if(entries_, [layer](const Entry& e) { return e.layer == layer; });
}

void LayerStack::SetShown(LayerPlace place, bool shown) { shown_[static_cast<std::size_t>(place)] = shown; }

bool LayerStack::Shown(LayerPlace place) const { return shown_[static_cast<std::size_t>(place)]; }

std::vector<Layer*> LayerStack::Ordered() const {
  std::vector<Layer*> out;
  for (const Entry& e : entries_) out.push_back(e.layer);
  return out;
}

void LayerStack::render(QPainter& painter, const MapView& view) {
  for (const Entry& e : entries_)
    if (Shown(e.place)) e.layer->render(painter, view);
}

}  // namespace zeblon::map
