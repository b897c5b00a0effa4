// The HF optimum frequency (Fopt) of a short-wave path from the map centre to
// a point, as the distance circles label it: a hop estimate (F1) at the middle
// of the first and last hop, a daylight estimate (F2) at the path's control
// points, weighted 2 : 1 and lowered by the geomagnetic K index.
//
// Input: longitudes and latitudes in degrees (east and north positive), the
// sunspot number R and the K index (the ionosphere data, as kept), the local
// clock (month, day, hour, minute) and the UTC offset of the settings.
// Output: MHz cut down to 0.1 (the largest multiple of 0.1 not above the
// value); 0 when no estimate is made: a coordinate out of range, a negative
// sunspot number, an input that is not a number, or any arithmetic fault of the
// formulas (a root or a fractional power of a negative number, a division by
// zero, an overflow). A result of 0 or below means "no label".
// Accuracy: an empirical estimate (a few MHz); the result follows the formulas
// exactly, with pi taken as 3.14159265.
#pragma once

namespace zeblon::map {

struct FoptInputs {
  double sunspotNumber = 0;  // R
  double kIndex = 0;         // K
  int utcOffsetHours = 0;    // local time minus UTC
  int month = 1;             // of the local clock, 1-12
  int day = 1;               // of the month
  int hour = 0;
  int minute = 0;
};

// Why an estimate gave 0.
enum class FoptFault {
  kNone,
  kOutOfRange,      // a coordinate outside -180..180 / -90..90, or R < 0
  kNotANumber,      // an input or a result that is not a number
  kNegativeRoot,    // the square root of a negative number
  kNegativePower,   // a fractional power of a negative number
  kDivisionByZero,  // a division by zero (a path of length 0, a cosine of exactly +/-1)
  kOverflow,        // a result beyond the range of a double
};

// The figures of one estimate.
struct FoptEstimate {
  double fopt = 0;  // the result, cut to 0.1; 0 on a fault
  double f1 = 0;    // hop estimate
  double f2 = 0;    // daylight estimate
  double fm = 0;    // (2 F1 + F2) / 3
  double utcHours = 0;
  int hops = 0;                // of the hop estimate
  int controlPointPasses = 0;  // of the daylight estimate
  FoptFault fault = FoptFault::kNone;
};

// Passes of the daylight estimate's control-point loop at most. Path angles a
// little above 1/1.59 radian make the loop's step tiny or zero; it stops here.
// When the step is negative and the loop would make no pass, the control point
// in the middle of the path (a = 0.5) is taken.
inline constexpr int kFoptControlPointCap = 1000;

// Hops of the hop estimate at most (the elevation reaches 1.5 degrees long
// before; the cap only bounds the loop).
inline constexpr int kFoptHopCap = 10000;

// The estimate with its figures. The caller adds 0.01 degree to the point's
// latitude and longitude.
FoptEstimate EstimateFoptDetail(double pointLon, double centreLon, double pointLat, double centreLat,
                                const FoptInputs& in);

// The estimate alone: EstimateFoptDetail(...).fopt.
double EstimateFopt(double pointLon, double centreLon, double pointLat, double centreLat, const FoptInputs& in);

// UTC hours of the local clock: hour - offset + minute / 60, plus 24 when
// below 0, minus 24 when above 24 (once each; exactly 24 stays 24).
double FoptUtcHours(int hour, int minute, int utcOffsetHours);

// The K index weight of a mean path latitude (degrees):
// (sin(3 lat - 120) / 2.7 + 0.3)^3 + 0.011; 70 -> 0.3123, 0 -> 0.0110.
double FoptLatitudeFactor(double meanLatitude);

// floor(10 x) / 10: 7.19 -> 7.1, 7.2 -> 7.2.
double CutToTenth(double x);

}  // namespace zeblon::map
