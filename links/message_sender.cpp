#include "links/message_sender.h"

#include "links/tnc_commands.h"
#include "reception/messages.h"
#include "settings/interface_kind.h"

namespace zeblon::links {

MessageRoad RoadFor(int interfaceKind, bool hfDualOn, std::string_view outgoing) {
  if (outgoing.size() >= 14 && outgoing.substr(10, 4) == ":mok") return MessageRoad::Web;
  switch (InterfaceKindOf(interfaceKind)) {
    case InterfaceKind::NoRadio: return MessageRoad::Web;
    case InterfaceKind::ScsTnc: return hfDualOn ? MessageRoad::RadioHfDual : MessageRoad::Radio;
    case InterfaceKind::AgwLocal:
    case InterfaceKind::Pk232:
    case InterfaceKind::AgwRemote:
    case InterfaceKind::ScsPtc: return MessageRoad::Radio;
    default: return MessageRoad::None;
  }
}

MessageSent SendAprsMessage(const MessageLink& link, const std::string& outgoing) {
  // Nothing a received text carried into the field goes on the air.
  const std::string info = reception::WithoutControlBytes(outgoing);
  switch (RoadFor(link.interfaceKind, link.hfDualOn, info)) {
    case MessageRoad::Web:
      if (!link.web) return MessageSent::No;
      link.web(info);
      return MessageSent::ToWeb;
    case MessageRoad::RadioHfDual:
      if (link.writeTnc) link.writeTnc(std::string(1, kEsc) + "%AU0\r");
      if (link.pause) link.pause(0.1f);
      [[fallthrough]];
    case MessageRoad::Radio: return link.transmit && link.transmit(info) ? MessageSent::Yes : MessageSent::No;
    case MessageRoad::None: break;
  }
  return MessageSent::No;
}

}  // namespace zeblon::links
