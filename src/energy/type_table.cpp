#include "energy/type_table.h"

#include <set>
#include <string>
#include <string_view>

#include "run/warning.h"

namespace packscan {
namespace {

struct ElementRow {
  std::string_view label;
  float EPS;
  float RSTAR;
};

// Tried in this order; the first label equal to an atom's element label wins.
constexpr ElementRow kElements[] = {
    {"S   ", 0.8452f, 2.15f},
    {"C   ", 0.2343f, 1.96f},
    {"H   ", 0.0837f, 1.62f},
    {"N   ", 0.1797f, 1.93f},
    {"O   ", 0.2466f, 1.82f},
};

const ElementRow* findElement(const Label& label) {
  const std::string_view text(label.data(), label.size());
  for (const ElementRow& row : kElements)
    if (row.label == text) return &row;
  return nullptr;
}

// One warning per type that atoms carry but that has no parameters.
void warnUnparameterisedTypes(const Cood& cood, const RunParameters& run, const std::set<int>& assigned) {
  std::set<std::int32_t> warned;
  for (int i = 1; i <= run.NATOM; ++i) {
    const std::int32_t type = cood.ITYPE[i];
    if (assigned.count(typeSlot(type)) || !warned.insert(type).second) continue;
    std::string labels;
    std::set<std::string> seen;
    for (int j = i; j <= run.NATOM; ++j) {
      if (cood.ITYPE[j] != type) continue;
      const std::string label(cood.NAME2[j].data(), cood.NAME2[j].size());
      if (seen.insert(label).second) labels += (labels.empty() ? "\"" : ", \"") + label + "\"";
    }
    const char* why = type < 1 ? " is below 1" : " has no element parameters";
    warn("type " + std::to_string(type) + " (labels " + labels + ")" + why +
         "; its van der Waals terms are zero");
  }
}

}  // namespace

void assignTypeParameters(const Cood& cood, const RunParameters& run, TypeTable& types,
                          ReportWriter& report) {
  std::set<int> assigned;
  for (std::int32_t t = 1; t <= run.NTYPE && t <= kMaxTypes; ++t) {
    for (int i = 1; i <= run.NATOM; ++i) {
      if (cood.ITYPE[i] != t) continue;
      if (const ElementRow* row = findElement(cood.NAME2[i])) {
        types.EPS[t] = row->EPS;
        types.RSTAR[t] = row->RSTAR;
        assigned.insert(t);
        break;
      }
    }
  }
  warnUnparameterisedTypes(cood, run, assigned);
  for (std::int32_t t = 1; t <= run.NTYPE && t <= kMaxTypes; ++t)
    writeReport(report, ReportRecord::R5, {t, types.EPS[t], types.RSTAR[t]});
}

}  // namespace packscan
