#pragma once

#include <initializer_list>

#include "recio/record_file.h"
#include "recio/record_format.h"

namespace packscan {

// The records of the report file rb872.dat, in the order a run writes them.
enum class ReportRecord {
  R1, R2, R3, R4, R5, R6, R7, R8, R9, R10, R11,
  R12, R13, R14, R15, R16, R17, R18, R19, R20, R21,
};

// R8 has two forms: " a < b " after the cell edges were exchanged, " a > b " otherwise.
enum class R8Form { First, Second };

// Owns the report file and the layout of every record in it.
struct ReportWriter {
  RecordFile* file;
};

// Writes one record (or the records of one format) with the values in the
// catalogue's order. The form matters for R8 only.
void writeReport(ReportWriter& writer, ReportRecord id, std::initializer_list<FieldValue> values,
                 R8Form form = R8Form::First);

// The format text of a record, for tests of the layouts.
const RecordFormat& reportFormat(ReportRecord id, R8Form form = R8Form::First);

}  // namespace packscan
