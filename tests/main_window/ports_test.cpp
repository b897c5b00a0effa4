// What the window's controllers ask of the window are ports whose functions are
// all pure virtual: a port the window leaves unimplemented, or implements with a
// function missing, is a compile error in the window (its `make_unique` of the
// implementing class), not a step that silently does nothing. Each port must
// stay abstract: one that gains default bodies for every function could be
// instantiated empty again.
#include <type_traits>

#include "main_window/form1.h"
#include "start_window/start_window_host.h"

namespace zeblon {
namespace {

template <typename... Ports>
constexpr bool AllAbstract() {
  return (std::is_abstract_v<Ports> && ...);
}

static_assert(AllAbstract<links::CycleControl, links::TickSteps, links::RadioLinkWindow, panels::MapActions,
                          panels::InfoPort, panels::ChatPort, panels::TxSetupPort, panels::MoniOneSelectPort,
                          panels::RawListPort, panels::EmergencyWindowPort, panels::GpsStepPort,
                          panels::ObjectSetupPort, StationControlsPort, MoniOneFramesPort, panels::InternetBoxesPort,
                          internet::InternetControls, internet::InternetWindow, reception::ReceptionHost, map::MapPort,
                          map::ToolPort, map::MapWidgetPort, map::MapPressTools, StartWindowHost>());

}  // namespace
}  // namespace zeblon
