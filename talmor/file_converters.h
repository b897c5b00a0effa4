// The picture name converter and the data file converter of TALMOR.
//
// Picture names: a position-named picture (NNNNEEEE.BMP by the map tile name rule,
// the south-west corner of a 1 km square in RT90 grid km) is copied byte for byte
// under the name of the UTM zone 33 square that holds its square's centre.
//
// Data files: the positions inside ZEBLON's station logs (.TXT), point files
// (.POI) and track files (.TRK) are rewritten from RT90 km into UTM zone 33 km,
// file by file, into files of the same name; everything else in a line stays.
#pragma once

#include <string>
#include <string_view>

#include "talmor/run.h"

namespace talmor {

// RT90 grid metres -> UTM zone 33 metres (false easting 500000); false when the
// point cannot be converted.
bool ConvertRt90PointToUtm33(double rt90_north, double rt90_east, double& utm_north, double& utm_east);

// The UTM zone 33 name of a picture named by its RT90 square (the first 8
// characters of `base_name`), with ".BMP".
std::string UtmPictureName(std::string_view base_name);

struct FileRunOptions {
  fs::path source;
  fs::path destination;
  bool deleteSources = false;
};

// The pictures (*.BMP) of the source folder. Two pictures that would get the same
// UTM name are refused before anything is copied.
RunResult ConvertImageNames(const FileRunOptions& options, const RunHooks& hooks);

// The column (from 1) of the northing field in the lines of a data file, chosen
// by its extension: 14 for .TXT (a station record), 2 for .POI and .TRK; 0 for
// any other name.
int PositionColumn(std::string_view file_name);

// One line converted. In a .TXT file (column 14) only station records, the lines
// with the position mark "þ" (byte 254) in column 13, are converted; a line that
// does not reach the start of the easting field stays as it is. The new fields
// are PositionText of the UTM metres (whole metres, rounded down; above 9999990
// held at 9999990, below -9999999 at -9999999); of a field that runs past the end
// of the line only the part inside it is replaced.
std::string ConvertDataLine(std::string_view line, int column);

// A whole data file converted: each line (ended by CR LF, LF or CR) converted by
// ConvertDataLine and ended by CR LF.
std::string ConvertDataText(const std::string& text, int column);

// A position field of 9 characters from UTM metres (see ConvertDataLine).
std::string DataFieldText(double metres);

// The *.TXT, *.POI and *.TRK files of the source folder.
RunResult ConvertDataFiles(const FileRunOptions& options, const RunHooks& hooks);

}  // namespace talmor
