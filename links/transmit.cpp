#include "links/transmit.h"

#include "links/agw_tcp_link.h"
#include "platform/wait.h"

namespace zeblon::links {

bool TransmitInfoField(const TransmitLink& link, const std::string& infoField) {
  bool sent = false;
  switch (link.interfaceKind) {
    case 0:
      // The engine on this computer: radio port 1 for "1200", 0 for every other mode.
      if (link.engine != nullptr)
        sent = link.engine->SendUiFrame(link.txCall, link.destination, link.path, infoField,
                                        link.radioMode == "1200" ? "1200" : "300");
      break;
    case 3:
      if (link.engine != nullptr)
        sent = link.engine->SendUiFrame(link.txCall, link.destination, link.path, infoField, link.radioMode);
      break;
    case 1:
    case 5:
    case 6:
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
