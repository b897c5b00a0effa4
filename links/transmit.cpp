#include "links/transmit.h"

#include "links/agw_tcp_link.h"
#include "platform/wait.h"
#include "settings/interface_kind.h"

namespace zeblon::links {

bool TransmitInfoField(const TransmitLink& link, const std::string& infoField) {
  bool sent = false;
  switch (InterfaceKindOf(link.interfaceKind)) {
    case InterfaceKind::AgwLocal:
      // The engine on this computer: radio port 1 for "1200", 0 for every other mode.
      if (link.engine != nullptr)
        sent = link.engine->SendUiFrame(link.txCall, link.destination, link.path, infoField,
                                        link.radioMode == "1200" ? "1200" : "300");
      break;
    case InterfaceKind::AgwRemote:
      if (link.engine != nullptr)
        sent = link.engine->SendUiFrame(link.txCall, link.destination, link.path, infoField, link.radioMode);
      break;
    case InterfaceKind::Pk232:
    case InterfaceKind::ScsTnc:
    case InterfaceKind::ScsPtc:
      // A serial TNC sends each CR-ended line as one UI frame (CR alone, never CR LF).
      if (link.writeTnc) sent = link.writeTnc(infoField + "\r");
      break;
    default: return false;  // no radio: nothing sent, no wait
  }
  if (link.pause)
    link.pause(0.8f);
  else
    platform::Pause(0.8f);
  return sent;
}

}  // namespace zeblon::links
