// The simulated game's answers for the natives every frame touches: the
// player, entities, name hashing, text and rectangles.
#include <bit>
#include <cstring>

#include "handlers.h"

namespace sim {

void SetInt(uint64_t* result, int32_t value) {
  result[0] = static_cast<uint32_t>(value);
}
void SetFloat(uint64_t* result, float value) {
  result[0] = std::bit_cast<uint32_t>(value);
}
void SetVector(uint64_t* result, Vec3 v) {
  result[0] = std::bit_cast<uint32_t>(v.x);
  result[1] = std::bit_cast<uint32_t>(v.y);
  result[2] = std::bit_cast<uint32_t>(v.z);
}

namespace {

// Text style set by the SetNextText* natives, used by the next draw.
struct TextStyle {
  float scale = 0.0f;
  int r = 255, g = 255, b = 255, a = 255;
  bool centred = false;
  bool shadow = false;
};
TextStyle NextStyle;
std::vector<std::string> LiteralStrings;  // game strings of the current frame

bool Alive(int32_t handle) {
  const Entity* e = FindEntity(handle);
  return e && e->exists;
}

}  // namespace

void InstallBaseHandlers() {
  NextStyle = TextStyle{};
  LiteralStrings.clear();

  SetHandler("HashName", [](Call& c, uint64_t* r) {
    c.text = c.String(0);
    SetInt(r, static_cast<int32_t>(HashName(c.String(0))));
  });
  SetHandler("GetPlayerIndex", [](Call&, uint64_t* r) { SetInt(r, GetWorld().playerIndex); });
  SetHandler("GetPlayerPed", [](Call&, uint64_t* r) { SetInt(r, GetWorld().playerPed); });
  SetHandler("IsPlayerInControl", [](Call& c, uint64_t* r) {
    SetInt(r, c.Int(0) == GetWorld().playerIndex && GetWorld().playerInControl);
  });
  SetHandler("EntityExists", [](Call& c, uint64_t* r) { SetInt(r, Alive(c.Int(0))); });
  SetHandler("IsEntityDead", [](Call& c, uint64_t* r) {
    const Entity* e = FindEntity(c.Int(0));
    SetInt(r, e && e->exists && e->dead);
  });
  SetHandler("GetEntityCoords", [](Call& c, uint64_t* r) {
    const Entity* e = FindEntity(c.Int(0));
    SetVector(r, e && e->exists ? e->position : Vec3{});
  });

  SetHandler("QueryScreenSize", [](Call& c, uint64_t*) {
    *c.Pointer<int32_t>(0) = GetWorld().screenWidth;
    *c.Pointer<int32_t>(1) = GetWorld().screenHeight;
  });
  SetHandler("SetNextTextScale", [](Call& c, uint64_t*) { NextStyle.scale = c.Float(1); });
  SetHandler("SetNextTextColour", [](Call& c, uint64_t*) {
    NextStyle.r = c.Int(0);
    NextStyle.g = c.Int(1);
    NextStyle.b = c.Int(2);
    NextStyle.a = c.Int(3);
  });
  SetHandler("SetNextTextCentred", [](Call& c, uint64_t*) { NextStyle.centred = c.Int(0) != 0; });
  SetHandler("SetNextTextShadow", [](Call&, uint64_t*) { NextStyle.shadow = true; });
  SetHandler("CreateLiteralTextString", [](Call& c, uint64_t* r) {
    c.text = c.String(2);
    LiteralStrings.push_back(c.text);
    r[0] = LiteralStrings.size();  // a token, not an address
  });
  SetHandler("DrawPreparedText", [](Call& c, uint64_t*) {
    DrawnText t;
    uint64_t token = c.args[0];
    if (token == 0 || token > LiteralStrings.size()) return Fail("drawing an unknown game string");
    t.text = LiteralStrings[token - 1];
    t.x = c.Float(1);
    t.y = c.Float(2);
    t.scale = NextStyle.scale;
    t.r = NextStyle.r;
    t.g = NextStyle.g;
    t.b = NextStyle.b;
    t.a = NextStyle.a;
    t.centred = NextStyle.centred;
    t.shadow = NextStyle.shadow;
    GetWorld().drawing.texts.push_back(std::move(t));
    NextStyle = TextStyle{};
  });
  SetHandler("DrawFilledRect", [](Call& c, uint64_t*) {
    DrawnRect rect{c.Float(0), c.Float(1), c.Float(2), c.Float(3),
                   c.Int(4),   c.Int(5),   c.Int(6),   c.Int(7)};
    GetWorld().drawing.rects.push_back(rect);
  });
}

void ForgetFrameStrings() {
  LiteralStrings.clear();
}

}  // namespace sim
