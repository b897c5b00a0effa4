// What the receive pass asks of the main window and the panels. The main
// window implements these; tests use fakes.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "reception/aprs_decode.h"

namespace zeblon::reception {

// A distance alarm for the alarm frame (Frame12 and Label25). MONI ALL alarms
// show white on the station colour, MONI 1 alarms yellow on black.
struct DistanceAlarm {
  bool moniOne = false;
  std::string frameCaption;  // "MONI ALL  < 5 km  ALARM   2024-05-01 12:34"
  std::string labelCaption;  // "CALL    D = 3.4 km !"
};

class ReceptionHost {
 public:
  virtual ~ReceptionHost() = default;

  // The computer's local date and time.
  virtual LocalTime Now() = 0;
  // DrawMap: every drawing switches Timer1 on at its end.
  virtual void DrawMap() = 0;
  virtual void SetTimer1(bool on) = 0;
  // The map procedure that turns map km into latitude and longitude texts.
  virtual void ConvertMapKmToLatLon(double northKm, double eastKm, std::string& latText, std::string& lonText) = 0;
  // Sends one APRS message payload at once (":" + addressee padded to 9 + ":" + text).
  virtual void SendAprsMessage(const std::string& outgoingMessage) = 0;

  // Every hook below changes what the user sees or hears: a host must fill each
  // one (a window without the control gives it an empty body of its own).
  // The RAW monitor list changed: refill List1 and select its newest line.
  virtual void MonitorListChanged() = 0;
  // Opens the EMERGENCY window for the last AlarmRecord (it redraws the map).
  virtual void ShowEmergencyWindow() = 0;
  // The INFO panel's record changed while the panel is shown (WX INFO frame, Label5).
  virtual void ShowWxInfoForRecord(const std::string& infoRecord) = 0;
  // The INFO panel's captions or record changed.
  virtual void InfoPanelChanged() = 0;
  // Shows the alarm frame, maximises the main window and focuses the map.
  virtual void ShowDistanceAlarm(const DistanceAlarm& alarm) = 0;
  // The computer's beep (the passes ask only while the tone is on).
  virtual void Beep() = 0;
  // A MONI 1 report: while the GPS fix has not moved the map follows the
  // watched station (CentreMode 1, Option1 cleared, Option2 set).
  virtual void FollowMoniOneStation() = 0;
  // PictureMode 0, Frame8 hidden.
  virtual void ClosePictureViewer() = 0;
  // PictureMode 1: the picture viewer lies over the map.
  virtual bool PictureViewerShown() = 0;
  // The end of a pass that drew nothing: DrawMap when the GPS fix moved (or
  // stopped moving), and the focus to the map when the main window is active
  // or the screen has fewer than 16 bits per pixel.
  virtual void AfterQuietPass() = 0;
};

// The chat window's eight lines Text1(0..7), newest at 7, and its controls.
class ChatPanel {
 public:
  virtual ~ChatPanel() = default;
  virtual std::string Line(int index) = 0;
  virtual int Colour(int index) = 0;
  virtual void SetColour(int index, int colour) = 0;
  // Lines 0..6 take text and colour of 1..7; line 7 gets the new one.
  virtual void ScrollIn(const std::string& text, int colour) = 0;
  virtual bool Visible() = 0;  // Frame3
  virtual bool MeOnly() = 0;   // Check8 "ME!"
  // Check7 ticked (opens the window), Frame3 shown, Check8 ticked, pending events run.
  virtual void OpenForUser() = 0;
  // Text2 = addressee, Text3 = text, then MessageKeyDown(13, 0): queues a numbered message.
  virtual void QueueChatMessage(const std::string& addressee, const std::string& text) = 0;
  // An acknowledgement of message number `number` for the user: every own line
  // sent and waiting for it (colour above 250, below &H5FFF) whose text after its
  // first "{", trailing blanks removed, is the number turns acknowledged. A
  // window that keeps pending lines beyond the eight it shows matches those too.
  virtual void Acknowledge(const std::string& number);
};

// Chat line colours.
inline constexpr int kChatQueued = 250;
inline constexpr int kChatGivenUp = 0x5FF0;
inline constexpr int kChatOthers = 0x505050;
inline constexpr int kChatToUser = 0x6000;
inline constexpr int kChatAcknowledged = 0x80;
inline constexpr int kChatPathReply = 0xA0;

// A chat panel that only keeps the eight lines (the main window may wrap it;
// tests use it directly).
class ChatLines : public ChatPanel {
 public:
  std::string text[8];
  int colour[8] = {};
  bool visible = false;
  bool meOnly = false;
  int openings = 0;
  std::vector<std::pair<std::string, std::string>> queued;

  std::string Line(int i) override { return text[i]; }
  int Colour(int i) override { return colour[i]; }
  void SetColour(int i, int c) override { colour[i] = c; }
  void ScrollIn(const std::string& t, int c) override {
    for (int i = 0; i < 7; ++i) {
      text[i] = text[i + 1];
      colour[i] = colour[i + 1];
    }
    text[7] = t;
    colour[7] = c;
  }
  bool Visible() override { return visible; }
  bool MeOnly() override { return meOnly; }
  void OpenForUser() override {
    visible = true;
    meOnly = true;
    ++openings;
  }
  // Queuing scrolls the message in as a pending line from ownCall, numbered
  // like the chat window's own lines.
  std::string ownCall;
  int nextNumber = 1;
  void QueueChatMessage(const std::string& addressee, const std::string& t) override {
    queued.emplace_back(addressee, t);
    std::string line(20, ' ');
    line.replace(0, std::min<std::size_t>(ownCall.size(), 9), ownCall.substr(0, 9));
    line[9] = ':';
    line.replace(10, std::min<std::size_t>(addressee.size(), 9), addressee.substr(0, 9));
    line[19] = ':';
    ScrollIn(line + t + "{" + std::to_string(nextNumber++), kChatQueued);
  }
};

}  // namespace zeblon::reception
