#pragma once

#include <cmath>

namespace packscan {

// The elementary functions of the calculation: the single-precision argument
// is widened to double, evaluated there and the result rounded back to single.
inline float expSingle(float x) { return static_cast<float>(std::exp(static_cast<double>(x))); }
inline float cosSingle(float x) { return static_cast<float>(std::cos(static_cast<double>(x))); }
inline float sinSingle(float x) { return static_cast<float>(std::sin(static_cast<double>(x))); }
inline float atanSingle(float x) { return static_cast<float>(std::atan(static_cast<double>(x))); }

}  // namespace packscan
