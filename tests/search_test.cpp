#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "search/pattern_search.h"

namespace packscan {
namespace {

// Drives the search with scripted totals and records each trial as its
// R19 row would show it: a, b, Rx to five decimals and the three flags.
struct ScriptedSearch {
  std::vector<float> totals;
  std::vector<std::string> trials;
  SearchPoint point;
  SearchOutcome outcome;

  ScriptedSearch(SearchPoint start, std::vector<float> scripted, std::int64_t bound = kTrialBound)
      : totals(std::move(scripted)), point(start) {
    outcome = searchParameters(
        point,
        [&](const SearchPoint& at, const SearchFlags& flags) {
          char row[96];
          std::snprintf(row, sizeof row, "%.5f %.5f %.5f %d %d %d", at.A, at.B, at.RXB, flags.FLAGA, flags.FLAGB,
                        flags.FLAGR);
          trials.push_back(row);
          const std::size_t k = trials.size() - 1;
          return k < totals.size() ? totals[k] : totals.back();
        },
        bound);
  }
};

// Repeats the moves of a search on one parameter in single precision.
float stepped(float value, std::initializer_list<int> moves, float step) {
  for (int d : moves) value = d > 0 ? step + value : value - step;
  return value;
}

TEST(PatternSearch, NineTrialLandscape) {
  const ScriptedSearch s({1.0f, 2.0f, 0.5f, 10.0f}, {9, 9.5, 8, 8.5, 8, 7, 6.5, 6.6, 6.5});
  const std::vector<std::string> expected = {
      "1.10000 2.00000 0.50000 0 0 0", "1.10000 2.10000 0.50000 1 0 0", "1.10000 1.90000 0.50000 1 0 0",
      "1.10000 1.90000 0.70000 1 -1 0", "1.10000 1.90000 0.30000 1 -1 0", "1.20000 1.90000 0.50000 1 -1 2",
      "1.20000 1.80000 0.50000 1 -1 2", "1.30000 1.80000 0.50000 1 -1 2", "1.20000 1.70000 0.50000 2 -1 2",
  };
  EXPECT_EQ(s.trials, expected);
  EXPECT_EQ(s.point.A, stepped(1.0f, {1, 1, 1, -1}, 0.1f));
  EXPECT_EQ(s.point.B, stepped(2.0f, {1, -1, -1, -1, -1, 1}, 0.1f));
  EXPECT_EQ(s.point.B, 1.79999983f);  // printed 1.7999998, not 1.8
  EXPECT_EQ(s.point.RXB, 0.5f);
  EXPECT_EQ(s.point.EBEST, 6.5f);
  EXPECT_FALSE(s.outcome.boundReached);
}

TEST(PatternSearch, FlatOrNanTotalMakesSixTrials) {
  const std::vector<std::string> expected = {
      "1.10000 2.00000 0.50000 0 0 0", "0.90000 2.00000 0.50000 0 0 0", "1.00000 2.10000 0.50000 2 0 0",
      "1.00000 1.90000 0.50000 2 0 0", "1.00000 2.00000 0.70000 2 2 0", "1.00000 2.00000 0.30000 2 2 0",
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const auto& [start, total] : std::vector<std::pair<float, float>>{{0.0f, 0.0f}, {nan, -5.0f}, {3.0f, nan}}) {
    const ScriptedSearch s({1.0f, 2.0f, 0.5f, start}, {total});
    EXPECT_EQ(s.trials, expected) << start << " " << total;
    EXPECT_EQ(s.point.A, 1.0f);
    EXPECT_EQ(s.point.B, 1.99999988f);  // stepped up and back
    EXPECT_EQ(s.point.RXB, 0.5f);
  }
}

TEST(PatternSearch, AcceptedMoveBeforeAFinishedParameterMovesTheOneAfterUp) {
  // A and RXB finish early; an accepted B then moves A up although its flag is 2.
  const ScriptedSearch s({1.0f, 2.0f, 0.5f, 10.0f}, {11, 11, 9, 9.5, 9.5, 8, 8.5, 8.5});
  const std::vector<std::string> expected = {
      "1.10000 2.00000 0.50000 0 0 0", "0.90000 2.00000 0.50000 0 0 0", "1.00000 2.10000 0.50000 2 0 0",
      "1.00000 2.10000 0.70000 2 1 0", "1.00000 2.10000 0.30000 2 1 0", "1.00000 2.20000 0.50000 2 1 2",
      "1.10000 2.20000 0.50000 2 1 2", "1.00000 2.30000 0.50000 2 1 2",
  };
  EXPECT_EQ(s.trials, expected);
  EXPECT_EQ(s.point.EBEST, 8.0f);
}

TEST(PatternSearch, RejectedMoveDownOfUndecidedParameterFinishesIt) {
  // B goes up (rejected), down (rejected): finished, the chain goes to RXB.
  const ScriptedSearch s({1.0f, 2.0f, 0.5f, 10.0f}, {9, 9.5, 9.5, 8, 8.5, 8.5, 8.5});
  ASSERT_GE(s.trials.size(), 5u);
  EXPECT_EQ(s.trials[3], "1.10000 2.00000 0.70000 1 2 0");
  EXPECT_EQ(s.trials[4], "1.20000 2.00000 0.70000 1 2 1");
}

TEST(PatternSearch, TrialBoundEndsARunawaySearchAfterJudging) {
  std::vector<float> falling;
  for (int k = 0; k < 50; ++k) falling.push_back(-1.0f * static_cast<float>(k + 1));
  const ScriptedSearch s({1.0f, 2.0f, 0.5f, 0.0f}, falling, 10);
  EXPECT_EQ(s.trials.size(), 10u);
  EXPECT_TRUE(s.outcome.boundReached);
  EXPECT_EQ(s.point.EBEST, -10.0f);  // the tenth trial was judged and accepted

  // A search that ends by itself exactly at the bound is not cut short.
  const ScriptedSearch flat({1.0f, 2.0f, 0.5f, 0.0f}, {0.0f}, 6);
  EXPECT_EQ(flat.trials.size(), 6u);
  EXPECT_FALSE(flat.outcome.boundReached);
}

TEST(PatternSearch, InvariantsHoldOnRandomLandscapes) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<float> total(0.0f, 1.0f);
  for (int landscape = 0; landscape < 300; ++landscape) {
    std::vector<float> totals;
    for (int k = 0; k < 400; ++k) totals.push_back(total(random));
    const ScriptedSearch s({1.0f, 2.0f, 0.5f, 0.9f}, totals);
    ASSERT_FALSE(s.outcome.boundReached);
    const std::size_t n = s.trials.size();
    ASSERT_GE(n, 6u);
    EXPECT_EQ(s.trials[0], "1.10000 2.00000 0.50000 0 0 0");
    int accepted = 0;
    bool lastAccepted = false;
    float best = 0.9f;
    for (std::size_t k = 0; k < n; ++k) {
      lastAccepted = totals[k] < best;
      if (lastAccepted) {
        best = totals[k];
        ++accepted;
      }
    }
    EXPECT_FALSE(lastAccepted) << "a search ends only on a rejected trial";
    EXPECT_LE(static_cast<int>(n) - accepted, accepted + 6);
    EXPECT_EQ(s.point.EBEST, best);
  }
}

}  // namespace
}  // namespace packscan
