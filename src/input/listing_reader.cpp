#include "input/listing_reader.h"

#include <array>
#include <string>
#include <string_view>

#include "recio/record_format.h"
#include "recio/run_failure.h"
#include "run/warning.h"

namespace packscan {
namespace {

constexpr std::string_view kCellLine = "(7F10.4)";
constexpr std::string_view kFirstTableLine = "(I4,X,3F10.5,4X,A4,X,A4)";
constexpr std::string_view kMarkerLine = "(A16)";
constexpr std::string_view kAnglesLine = "(///,15X,3F10.5)";
constexpr std::string_view kCoordinateLine = "(I4,X,4F10.5)";
constexpr std::string_view kUnitLine = "(6X,A8,24X,3F10.5,2X,2F10.5)";

constexpr std::array<std::string_view, 6> kListingFormats = {
    kCellLine, kFirstTableLine, kMarkerLine, kAnglesLine, kCoordinateLine, kUnitLine,
};

constexpr std::string_view MARK_ORIENT = " Molecular orien";
constexpr std::string_view MARK_COORD = " Molecular Coord";
constexpr std::string_view MARK_UNIT = "UNIT p  ";

// Marker scans look at no more than this many lines.
constexpr int kScanLines = 300;
constexpr int kUnitCandidates = 3;
constexpr int kLinesBetweenCandidates = 4;

struct ListingFormats {
  RecordFormat cell = parseFormat(kCellLine);
  RecordFormat firstTable = parseFormat(kFirstTableLine);
  RecordFormat marker = parseFormat(kMarkerLine);
  RecordFormat angles = parseFormat(kAnglesLine);
  RecordFormat coordinate = parseFormat(kCoordinateLine);
  RecordFormat unit = parseFormat(kUnitLine);
};

const ListingFormats& formats() {
  static const ListingFormats parsed;
  return parsed;
}

template <std::size_t N>
bool equals(const std::array<char, N>& text, std::string_view marker) {
  return std::string_view(text.data(), N) == marker;
}

std::string quoted(std::string_view marker) { return "\"" + std::string(marker) + "\""; }

std::string numbered(const char* what, int number) {
  return std::string(what) + " " + std::to_string(number);
}

// Reads lines with "(A16)" until one holds the marker in columns 1-16 or
// kScanLines lines have been examined; gives the number of lines that did not
// match. The first line's columns go to firstLine when it is given.
int scanForMarker(RecordFile& listing, std::string_view marker, std::array<char, 16>* firstLine = nullptr) {
  const std::string what = "the lines searched for " + quoted(marker);
  std::array<char, 16> label;
  for (int examined = 0; examined < kScanLines; ++examined) {
    read(formats().marker, listing, {label}, false, what);
    if (examined == 0 && firstLine) *firstLine = label;
    if (equals(label, marker)) return examined;
  }
  return kScanLines;
}

void skipMarkerLines(RecordFile& listing, int count, const std::string& what) {
  std::array<char, 16> label;
  for (int k = 0; k < count; ++k) read(formats().marker, listing, {label}, false, what);
}

void readUnitLabel(RecordFile& listing, std::array<char, 8>& label, bool errorBranch,
                   const std::string& what) {
  // Only the label is taken, so no number of these lines is ever converted.
  read(formats().unit, listing, {label}, errorBranch, what);
}

bool inUnitWindow(float rz) { return (-5.1f < rz && rz < -3.0f) || (3.0f < rz && rz < 5.1f); }

void readCellLine(RecordFile& listing, ReportWriter& report, Cood& cood) {
  float unused = 0;
  read(formats().cell, listing, {cood.P[1], cood.P[2], cood.P[3], cood.P[4], cood.P[5], cood.P[6], unused},
       false, "the cell line");
  writeReport(report, ReportRecord::R1, {cood.P[1], cood.P[2], cood.P[3], cood.P[4], cood.P[5], cood.P[6]});
}

// The first atom table gives the atom count and the labels; it ends at a type 0
// (a blank type field reads as 0) or after kMaxAtoms lines. Gives true when it
// ended by its length.
bool readFirstAtomTable(RecordFile& listing, Cood& cood, RunParameters& run) {
  run.NATOM = kMaxAtoms;
  for (int j = 1; j <= kMaxAtoms; ++j) {
    read(formats().firstTable, listing,
         {cood.ITYPE[j], cood.X[j], cood.Y[j], cood.Z[j], cood.NAME1[j], cood.NAME2[j]}, false,
         numbered("line", j) + " of the first atom table");
    if (cood.ITYPE[j] == 0) {
      run.NATOM = j - 1;
      return false;
    }
  }
  return true;
}

// A full table has left atoms out only when the line after it holds another
// atom (a type number other than 0); the orientation scan examines that line
// first, so its columns are at hand.
void warnIfAtomsWereLeftOut(const RecordFile& listing, const std::array<char, 16>& lineAfterTable) {
  std::int32_t type = 0;
  if (!convertInteger(std::string_view(lineAfterTable.data(), 4), type).empty() || type == 0) return;
  warn("the first atom table of " + listing.name + " has more than " + std::to_string(kMaxAtoms) +
       " atom lines; only the first " + std::to_string(kMaxAtoms) + " atoms are used");
}

void readAngles(RecordFile& listing, RunParameters& run, bool tableFull) {
  const int lastTableLine = listing.lineNumber;
  std::array<char, 16> lineAfterTable;
  const int unmatched = scanForMarker(listing, MARK_ORIENT, &lineAfterTable);
  if (tableFull) warnIfAtomsWereLeftOut(listing, lineAfterTable);
  if (unmatched == kScanLines)
    warn("no " + quoted(MARK_ORIENT) + " marker in lines " + std::to_string(lastTableLine + 1) + "-" +
         std::to_string(lastTableLine + kScanLines) + " of " + listing.name + "; line " +
         std::to_string(listing.lineNumber) + " takes its place");
  read(formats().angles, listing, {run.FAI, run.DFAI, run.THETA}, false,
       "the angles line (the fourth line after the orientation marker)");
  if (run.THETA == 0.0f) run.THETA = 90.0f;
  if (run.DFAI == 0.0f) run.DFAI = 15.0f;
  run.B0 = 3.5f;
}

void readCoordinateBlock(RecordFile& listing, ReportWriter& report, Cood& cood, RunParameters& run) {
  rewindFile(listing);
  const int unmatched = scanForMarker(listing, MARK_COORD);
  const int KLINE = 2 + unmatched;
  if (unmatched == kScanLines)
    warn("no " + quoted(MARK_COORD) + " marker in lines 1-" + std::to_string(kScanLines) + " of " +
         listing.name + "; the coordinate block is read from line " + std::to_string(KLINE + 1));
  rewindFile(listing);
  skipMarkerLines(listing, KLINE, "the lines before the coordinate block");

  float XMIN = 0, XMAX = 0, YMIN = 0, YMAX = 0;
  for (int j = 1; j <= run.NATOM; ++j) {
    read(formats().coordinate, listing, {cood.ITYPE[j], cood.X[j], cood.Y[j], cood.Z[j], cood.Q[j]}, false,
         numbered("atom", j) + " of the coordinate block");
    writeReport(report, ReportRecord::R2,
                {cood.ITYPE[j], cood.X[j], cood.Y[j], cood.Z[j], cood.Q[j], cood.NAME1[j], cood.NAME2[j]});
    // The extents start at 0, so the origin always lies within them.
    if (cood.Y[j] < YMIN) YMIN = cood.Y[j];
    if (cood.Y[j] > YMAX) YMAX = cood.Y[j];
    if (cood.X[j] < XMIN) XMIN = cood.X[j];
    if (cood.X[j] > XMAX) XMAX = cood.X[j];
  }
  run.VV = YMAX - YMIN;
  run.VL = XMAX - XMIN;
  run.VVP2 = 2.0f + run.VV;
  run.VLP2 = 2.0f + run.VL;
  writeReport(report, ReportRecord::R3, {run.VV, run.VL, run.THETA});
}

// coord1.xyz gets its header while NTYPE still holds its starting value 1;
// the other files get theirs once NTYPE is known.
void writeCoordinateHeaders(ReportWriter& report, XyzWriter& xyz, const Cood& cood, RunParameters& run) {
  run.NTYPE = 1;
  writeHeader(xyz, 1, 3 * run.NATOM, run.NTYPE);
  writeBlock(xyz, 1, run.NATOM, cood.NAME2, cood.X, cood.Y, cood.Z);
  for (int j = 1; j <= run.NATOM; ++j)
    if (cood.ITYPE[j] > run.NTYPE) run.NTYPE = cood.ITYPE[j];
  writeReport(report, ReportRecord::R4, {run.NTYPE});
  for (int k = 2; k <= kOrientationSteps; ++k) writeHeader(xyz, k, 3 * run.NATOM, run.NTYPE);
}

void readUnitRecord(RecordFile& listing, RunParameters& run) {
  rewindFile(listing);
  std::array<char, 8> label;
  int KLINE = 0;
  const std::string scanWhat = "the lines searched for " + quoted(MARK_UNIT);
  while (KLINE < kScanLines) {
    readUnitLabel(listing, label, true, scanWhat);
    if (equals(label, MARK_UNIT)) break;
    ++KLINE;
  }
  if (KLINE == kScanLines)
    warn("no " + quoted(MARK_UNIT) + " marker in columns 7-14 of lines 1-" + std::to_string(kScanLines) +
         " of " + listing.name + "; unit record candidates are read from line " +
         std::to_string(kScanLines + 1));
  rewindFile(listing);
  for (int k = 0; k < KLINE; ++k) readUnitLabel(listing, label, true, "the lines before the unit record");

  std::string candidateLines;
  for (int candidate = 1; candidate <= kUnitCandidates; ++candidate) {
    std::string fault;
    const ReadStatus status =
        read(formats().unit, listing, {label, run.RX, run.RY, run.RZ, run.THETAU, run.SGNIN}, true,
             numbered("unit record candidate", candidate), &fault);
    if (status == ReadStatus::ConversionError)
      throw RunFailure{FailureKind::UnitRecord,
                       fault + "; the run stops before the initial placement and the scan"};
    candidateLines += (candidate > 1 ? ", " : "") + std::to_string(listing.lineNumber);
    if (equals(label, MARK_UNIT) && inUnitWindow(run.RZ)) return;
    for (int k = 0; k < kLinesBetweenCandidates; ++k)
      readUnitLabel(listing, label, false, "the lines after unit record candidate " + std::to_string(candidate));
  }
  warn("none of the unit record candidates on lines " + candidateLines + " of " + listing.name +
       " has " + quoted(MARK_UNIT) + " in columns 7-14 with RZ inside (-5.1, -3.0) or (3.0, 5.1); the values of line " +
       candidateLines.substr(candidateLines.rfind(' ') + 1) + " are used");
}

}  // namespace

std::span<const std::string_view> listingFormatTexts() { return kListingFormats; }

void readInputListing(RecordFile& listing, ReportWriter& report, XyzWriter& xyz, Cood& cood,
                      RunParameters& run) {
  readCellLine(listing, report, cood);
  const bool tableFull = readFirstAtomTable(listing, cood, run);
  readAngles(listing, run, tableFull);
  readCoordinateBlock(listing, report, cood, run);
  writeCoordinateHeaders(report, xyz, cood, run);
  readUnitRecord(listing, run);
}

}  // namespace packscan
