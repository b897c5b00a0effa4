// SendAprsMessage: the road of a message by interface kind and text, the
// HF-DUAL switch of the SCS TNC, and what reaches the link.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "links/message_sender.h"

namespace zeblon::links {
namespace {

TEST(MessageSender, RoadByKindAndText) {
  const struct {
    int kind;
    bool hfDual;
    const char* outgoing;
    MessageRoad road;
  } cases[] = {
      {0, false, ":AB1CD    :hi{01", MessageRoad::Radio},      {1, false, ":AB1CD    :hi{01", MessageRoad::Radio},
      {3, false, ":AB1CD    :hi{01", MessageRoad::Radio},      {5, false, ":AB1CD    :hi{01", MessageRoad::Radio},
      {5, true, ":AB1CD    :hi{01", MessageRoad::RadioHfDual}, {6, true, ":AB1CD    :hi{01", MessageRoad::Radio},
      {4, false, ":AB1CD    :hi{01", MessageRoad::Web},        {2, false, ":AB1CD    :hi{01", MessageRoad::None},
      {0, false, ":AB1CD    :mok07", MessageRoad::Web},     // a web acknowledgement whatever the kind
      {3, false, ":AB1CD    :mokka{02", MessageRoad::Web},  // a text the user began with "mok" too
      {0, false, ":AB1CD    :ack07", MessageRoad::Radio},      {0, false, ":LONGCALL-15:mok1", MessageRoad::Radio},
  };
  for (const auto& c : cases) EXPECT_EQ(RoadFor(c.kind, c.hfDual, c.outgoing), c.road) << c.kind << c.outgoing;
}

TEST(MessageSender, WhatReachesTheLink) {
  std::vector<std::string> events;
  MessageLink l;
  l.transmit = [&](const std::string& info) {
    events.push_back("tx " + info);
    return true;
  };
  l.writeTnc = [&](const std::string& bytes) {
    events.push_back("tnc " + bytes);
    return true;
  };
  l.pause = [&](float s) { events.push_back("pause " + std::to_string(static_cast<int>(s * 10))); };
  l.web = [&](const std::string& out) { events.push_back("web " + out); };

  l.interfaceKind = 5;
  l.hfDualOn = true;
  EXPECT_EQ(SendAprsMessage(l, ":AB1CD    :hi{01"), MessageSent::Yes);
  EXPECT_EQ(events, (std::vector<std::string>{"tnc \x1b%AU0\r", "pause 1", "tx :AB1CD    :hi{01"}));

  events.clear();
  l.interfaceKind = 3;
  // A control byte carried in from a received call never goes on the air.
  EXPECT_EQ(SendAprsMessage(l, ":AB\r1CD   :ack\n7"), MessageSent::Yes);
  EXPECT_EQ(SendAprsMessage(l, ":AB1CD    :mok7"), MessageSent::ToWeb);
  EXPECT_EQ(events, (std::vector<std::string>{"tx :AB1CD   :ack7", "web :AB1CD    :mok7"}));

  l.transmit = [](const std::string&) { return false; };  // the link is down
  EXPECT_EQ(SendAprsMessage(l, ":AB1CD    :hi{01"), MessageSent::No);
  l.interfaceKind = 2;
  EXPECT_EQ(SendAprsMessage(l, ":AB1CD    :hi{01"), MessageSent::No);
  l.interfaceKind = 4;
  l.web = nullptr;
  EXPECT_EQ(SendAprsMessage(l, ":AB1CD    :hi{01"), MessageSent::No);
}

}  // namespace
}  // namespace zeblon::links
