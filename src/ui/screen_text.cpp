#include "ui/screen_text.h"

#include <cstdio>

#include "game/natives.h"
#include "game/timing.h"
#include "platform/platform.h"

namespace sagebrook {

NotificationRecord Notification;

void DrawMenuText(float x, float y, const char* text, int32_t red, int32_t green, int32_t blue,
                  float scale) {
  SetNextTextScale(scale);
  SetNextTextColour(red, green, blue, 255);
  SetNextTextCentred();
  SetNextTextShadow();
  DrawPreparedText(CreateLiteralTextString(text), x, y);
}

void DrawOutlinedText(float y, const char* text) {
  constexpr float d = 0.0011f;
  static constexpr float kOutline[8][2] = {{-d, 0.0f}, {d, 0.0f}, {0.0f, -d}, {0.0f, d},
                                           {-d, d},    {d, d},    {-d, -d},   {d, -d}};
  for (const auto& offset : kOutline) {
    SetNextTextScale(0.3f);
    SetNextTextCentred();
    SetNextTextColour(0, 0, 0, 210);
    DrawPreparedText(CreateLiteralTextString(text), 0.5f + offset[0], y + offset[1]);
  }
  SetNextTextScale(0.3f);
  SetNextTextCentred();
  SetNextTextColour(245, 240, 230, 255);
  DrawPreparedText(CreateLiteralTextString(text), 0.5f, y);
}

void DrawPanelRect(float centreX, float centreY, float width, float height, int32_t red,
                   int32_t green, int32_t blue, int32_t alpha) {
  DrawFilledRect(centreX, centreY, width, height, red, green, blue, alpha);
}

void ShowNotification(const char* message) {
  std::snprintf(Notification.text, sizeof Notification.text, "%s", message);
  Notification.expiresAt = platform::TickCount() + kNotificationMs;
}

void DrawNotification() {
  if (Notification.text[0] == '\0') return;
  if (TickAfter(platform::TickCount(), Notification.expiresAt)) {
    // Gone for good: an expiry 24.9 days old would read as ahead again.
    Notification.text[0] = '\0';
    return;
  }
  DrawOutlinedText(kNotificationY, Notification.text);
}

}  // namespace sagebrook
