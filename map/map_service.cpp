#include "map/map_service.h"

namespace zeblon::map {

MapService::MapService(MapDisplay& display, MapWidget& widget) : display_(display), widget_(widget) {}

MapService::~MapService() {
  tools_.reset();
  controller_.reset();
}

void MapService::Attach(const MapAttachment& attachment) {
  MapDisplayService::Attach(attachment);
  if (controller_ != nullptr || map_.port == nullptr || map_.toolPort == nullptr) return;
  controller_ =
      std::make_unique<MapController>(display_, widget_, *map_.settings, *map_.reception, map_.controls, *map_.port);
  tools_ = std::make_unique<MapTools>(display_, widget_, *map_.settings, *map_.reception, *map_.files,
                                      map_.toolControls, *map_.toolPort);
}

void MapService::BuildMapIndex() {
  if (controller_ != nullptr) controller_->BuildMapIndex();
}

void MapService::DrawMap() {
  if (controller_ != nullptr) controller_->PrepareAndDraw();
}

void MapService::FunctionKey(int key_code) {
  if (tools_ != nullptr) tools_->FunctionKey(key_code);
}

void MapService::FocusMap() {
  if (controller_ != nullptr) controller_->FocusMap();
}

void MapService::ClosePictureViewer() {
  if (tools_ != nullptr)
    tools_->ClosePictureViewer();
  else
    display_.SetPictureMode(0);
}

}  // namespace zeblon::map
