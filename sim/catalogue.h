#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
namespace sim {
// One native as the simulated game knows it: its hash, its name, and the number of argument
// slots it takes.
struct CatalogueEntry {
  uint64_t hash;
  const char* name;
  int slots;
};
std::span<const CatalogueEntry> Catalogue();
const CatalogueEntry* FindNative(uint64_t hash);  // nullptr when unknown
}  // namespace sim
