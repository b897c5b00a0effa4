#include "panels/object_setup.h"

#include "geodesy/text.h"
#include "links/tx_setup.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/tx_setup_panel.h"
#include "platform/paths.h"
#include "reception/station_record.h"
#include "settings/text_files.h"

namespace zeblon::panels {

ObjectTaken TakeObjectEntries(const ObjectEntries& e) {
  ObjectTaken t;
  t.symbolIndex = links::SymbolNumberOf(e.symbol);
  if (!links::SymbolIndexValid(t.symbolIndex)) t.refusal = links::kSymbolRangeMessage;
  t.name = reception::Printable(platform::UpperAscii(Trim(e.name)));
  if (!t.name.empty()) t.name.resize(9, ' ');
  t.text = reception::Printable(Trim(e.text));
  std::string overlay = reception::Printable(platform::UpperAscii(Trim(e.overlay)));
  if (overlay.size() > 1) overlay = overlay.substr(overlay.size() - 1);
  t.overlay = overlay;
  return t;
}

ObjectSetup::ObjectSetup(ObjectSetupPanel& frame, TxSetupPanel& picker, ControlColumn& column, Settings& settings,
                         links::CycleControl& cycle, MapActions& mapActions, ObjectSetupPort& port)
    : frame_(frame),
      picker_(picker),
      column_(column),
      settings_(settings),
      cycle_(cycle),
      map_actions_(mapActions),
      port_(port) {
  frame_.Command33->OnClick = [this] { Ok(); };
  frame_.Command31->OnClick = [this] { Delete(); };
  frame_.Command32->OnClick = [this] { Cancel(); };
  // Typing holds the main cycle until a button of the frame lets it go.
  for (platform::TextBox* box : {frame_.Text7, frame_.Text8}) {
    box->OnClick = [this] { cycle_.HoldCycle(); };
    box->OnKeyDown = [this](int, int) { cycle_.HoldCycle(); };
  }
  column_.Check18->OnMouseUp = [this](int button) { ObjMouseUp(button); };
}

ObjectSetup::~ObjectSetup() { picker_.TakeBackSymbolPicker(); }

void ObjectSetup::ObjMouseUp(int button) {
  platform::CheckBox& obj = *column_.Check18;
  if (button == 1) {
    if (column_.ObjCaptionGrey()) {
      obj.SetValue(0);
      return;
    }
    // TX off: the box does not stay ticked, as with TX greyed out.
    if (column_.Check6->Value() != 1) {
      obj.SetValue(0);
      return;
    }
    if (Trim(settings_.ObjectName).empty()) obj.SetValue(0);
    objectBeaconOn_ = obj.Value() == 1 ? 1 : 0;
    if (objectBeaconOn_ == 1) port_.MakeObjectDue();
    map_actions_.DrawMap();
    return;
  }
  if (button == 2 && picker_.isHidden()) Open();
}

void ObjectSetup::Open() {
  cycle_.HoldCycle();
  frame_.move(port_.MapLeft(), 0);
  frame_.show();
  frame_.raise();
  frame_.Text7->SetText(settings_.ObjectName);
  frame_.Text8->SetText(settings_.ObjectText);
  // The number first: a change of the overlay shows the symbol of the number box.
  picker_.fr4Text8->SetText(NumberText(settings_.ObjectSymbolIndex));
  picker_.fr4Text10->SetText(settings_.ObjectOverlay);
  picker_.ShowSymbol(settings_.ObjectSymbolIndex);
  picker_.LendSymbolPicker(&frame_, ObjectSetupPanel::SymbolLeft, ObjectSetupPanel::SymbolTop);
  if (!Trim(settings_.ObjectName).empty()) port_.CentreOnObject();
  map_actions_.DrawMap();
  cycle_.HoldCycle();
  frame_.Text7->setFocus();
}

void ObjectSetup::Store(const ObjectTaken& t, bool keepName) {
  settings_.ObjectName = keepName ? t.name : std::string();
  settings_.ObjectText = t.text;
  settings_.ObjectSymbolIndex = t.symbolIndex;
  settings_.ObjectOverlay = t.overlay;
  settings_.ObjectEast = settings_.CentreEast;
  settings_.ObjectNorth = settings_.CentreNorth;
}

void ObjectSetup::Close() {
  picker_.TakeBackSymbolPicker();
  frame_.hide();
}

void ObjectSetup::Ok() {
  const ObjectTaken t = TakeObjectEntries(
      {frame_.Text7->Text(), frame_.Text8->Text(), picker_.fr4Text8->Text(), picker_.fr4Text10->Text()});
  if (!t.refusal.empty()) {
    // The frame stays open with the user's entries; nothing is taken.
    port_.Refuse(t.refusal);
    return;
  }
  if (t.name.empty()) {
    // No name, no object: nothing nameless is ever announced.
    Delete();
    return;
  }
  Store(t, true);
  port_.WriteSettings();
  Close();
  map_actions_.DrawMap();
  if (objectBeaconOn_ == 1) port_.MakeObjectDue();
  cycle_.StartCycle();
}

void ObjectSetup::Delete() {
  ObjectTaken t =
      TakeObjectEntries({std::string(), frame_.Text8->Text(), picker_.fr4Text8->Text(), picker_.fr4Text10->Text()});
  // The object goes all the same; a symbol number outside the table is not stored.
  if (!t.refusal.empty()) t.symbolIndex = settings_.ObjectSymbolIndex;
  column_.Check18->SetValue(0);
  objectBeaconOn_ = 0;
  Store(t, false);
  port_.WriteSettings();
  Close();
  map_actions_.DrawMap();
  cycle_.StartCycle();
}

void ObjectSetup::Cancel() {
  frame_.Text7->SetText(settings_.ObjectName);
  frame_.Text8->SetText(settings_.ObjectText);
  Close();
  cycle_.StartCycle();
}

}  // namespace zeblon::panels
