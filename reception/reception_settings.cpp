#include "reception/reception_settings.h"

#include "geodesy/text.h"
#include "platform/paths.h"
#include "settings/text_files.h"

namespace zeblon::reception {

ReceptionSettings ReceptionSettingsFrom(const Settings& s, const ReceptionInputs& in) {
  ReceptionSettings r;
  r.interfaceKind = InterfaceKindOf(s.InterfaceKind);
  r.userCall = platform::UpperAscii(Trim(s.UserCall));
  r.txCall = in.txCall;
  r.ownEchoHeader = in.ownEchoHeader;
  r.moniOneCall = s.MoniOneCall;
  r.dataFolder = in.dataFolder;
  r.logsOn = s.LogsOn == 1;
  r.smartLog = s.SmartLog == 1;
  r.moniAllLimit = in.moniAllLimit;
  r.moniOneTrackLimit = 5 * in.moniAllLimit;
  r.mapZoneText = in.mapZoneText;
  r.mapCentralMeridian = in.mapCentralMeridian;
  r.mapFalseEasting = in.mapFalseEasting;
  r.utcOffsetHours = ToWholeNumber<int>(s.UtcOffsetHours);
  r.moniOneAlarmOn = s.MoniOneAlarmOn == 1;
  r.stationFilterMask = in.stationFilterMask;
  r.alarmDistanceKm = s.AlarmDistanceKm < 1 ? 1 : s.AlarmDistanceKm;
  r.userNorth = s.UserNorth;
  r.userEast = s.UserEast;
  r.toneOn = in.toneOn;
  r.autoAnswerOn = in.autoAnswerOn && r.interfaceKind != InterfaceKind::NoRadio;
  r.autoAnswerText = in.autoAnswerText;
  return r;
}

}  // namespace zeblon::reception
