#include <gtest/gtest.h>

#include "sim.h"

namespace {
void FailTest(const std::string& message) {
  ADD_FAILURE() << "simulated game: " << message;
}
}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  sim::Reset();
  sim::SetFailureHandler(FailTest);
  return RUN_ALL_TESTS();
}
