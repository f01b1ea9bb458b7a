#pragma once
// The one path by which the plugin calls a native: start the call, push one
// 64-bit slot per argument, run it, read the result at once.
#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "game/hook.h"

namespace sagebrook {

// x, y, z each at the start of its own 8-byte slot, as the hook exchanges vectors.
struct alignas(8) ScriptVector {
  float x = 0.0f;
  uint32_t padX = 0;
  float y = 0.0f;
  uint32_t padY = 0;
  float z = 0.0f;
  uint32_t padZ = 0;
};
static_assert(sizeof(ScriptVector) == 24);

inline ScriptVector MakeVector(float x, float y, float z) {
  ScriptVector v;
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

// A game text string made by CreateLiteralTextString; passed on unchanged.
using GameString = uint64_t;

namespace native {

// 32-bit values travel zero-extended, so -1 becomes 0x00000000FFFFFFFF.
inline uint64_t Slot(int32_t v) {
  return static_cast<uint32_t>(v);
}
inline uint64_t Slot(uint32_t v) {
  return v;
}
inline uint64_t Slot(bool v) {
  return v ? 1u : 0u;
}
inline uint64_t Slot(float v) {
  return std::bit_cast<uint32_t>(v);
}
inline uint64_t Slot(uint64_t v) {
  return v;
}
inline uint64_t Slot(const char* s) {
  return reinterpret_cast<uintptr_t>(s);
}
template <class T>
inline uint64_t Slot(T* p) {
  return reinterpret_cast<uintptr_t>(p);
}

template <class R>
inline R Read(const uint64_t* result) {
  if constexpr (std::is_same_v<R, bool>) {
    uint32_t v;
    std::memcpy(&v, result, sizeof v);
    return v != 0;
  } else if constexpr (std::is_same_v<R, ScriptVector>) {
    float xyz[6];  // x at byte 0, y at 8, z at 16
    std::memcpy(xyz, result, sizeof xyz);
    return MakeVector(xyz[0], xyz[2], xyz[4]);
  } else {
    static_assert(sizeof(R) == 4 || sizeof(R) == 8);
    R v;
    std::memcpy(&v, result, sizeof v);
    return v;
  }
}

template <class R = void, class... Args>
inline R Invoke(uint64_t hash, Args... args) {
  hook::nativeInit(hash);
  (hook::nativePush64(Slot(args)), ...);
  const uint64_t* result = hook::nativeCall();
  if constexpr (!std::is_void_v<R>) return Read<R>(result);
}

}  // namespace native
}  // namespace sagebrook
