// A step-by-step transcription of the transverse Mercator and geocentric
// formulas, deriving every constant at each call and taking each sine, cosine
// and hyperbolic series separately. The library computes the same thing with
// its constants derived once and the multiple angles by recurrence; the tests
// hold the two together.
#pragma once

namespace literal {

void LatLonToTm(bool utm, double longitude, double latitude, double centralMeridian, double& easting, double& northing,
                double falseEasting);
void TmToLatLon(bool utm, double& longitude, double& latitude, double centralMeridian, double easting, double northing,
                double falseEasting);
void LatLonToGeocentric(bool grs80, double& x, double& y, double& z, double longitude, double latitude);
void GeocentricToLatLon(bool grs80, double x, double y, double z, double& longitude, double& latitude);

// RT90 -> UTM through the steps above and the forward Helmert.
void Rt90ToUtm(double rt90Easting, double rt90Northing, double utmCentralMeridian, double utmFalseEasting,
               double& utmEasting, double& utmNorthing);

}  // namespace literal
