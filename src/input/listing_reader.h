#pragma once

#include <span>
#include <string_view>

#include "input/cood.h"
#include "output/report_writer.h"
#include "output/xyz_writer.h"
#include "recio/record_file.h"

namespace packscan {

// Reads atp.dat into the molecule store and the run parameters, echoes it to
// the report (R1 to R4), writes every coordinate file header and molecule A's
// block in coord1.xyz, and selects the unit record. A unit record candidate
// with an unreadable number ends the run (RunFailure of kind UnitRecord).
void readInputListing(RecordFile& listing, ReportWriter& report, XyzWriter& xyz, Cood& cood,
                      RunParameters& run);

// Every format text the reader reads atp.dat with, for the fuzz targets.
std::span<const std::string_view> listingFormatTexts();

}  // namespace packscan
