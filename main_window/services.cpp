#include "main_window/services.h"

#include "links/tnc_commands.h"

namespace zeblon {

void MinimalRadioLink::BringUp() { radio_.reception->receiveBuffer.assign(1, '\n'); }

void MinimalRadioLink::Close() {
  links::TncRunOptions options;
  links::RunTncCommandSet(links::TncCloseSet(radio_.settings->InterfaceKind), radio_.link->MSComm1, options);
}

void MinimalRadioLink::Disconnect() { radio_.link->AgwDataPending = 0; }

}  // namespace zeblon
