#pragma once
#include <cstdint>

namespace sagebrook {

struct NotificationRecord {
  char text[128] = "";     // owned copy, cut to fit
  uint32_t expiresAt = 0;  // last tick at which the line is drawn
};
extern NotificationRecord Notification;

inline constexpr uint32_t kNotificationMs = 3500;
inline constexpr float kNotificationY = 0.92f;

void DrawMenuText(float x, float y, const char* text, int32_t red, int32_t green, int32_t blue,
                  float scale);
void DrawOutlinedText(float y, const char* text);
void DrawPanelRect(float centreX, float centreY, float width, float height, int32_t red,
                   int32_t green, int32_t blue, int32_t alpha);
void ShowNotification(const char* message);
void DrawNotification();

}  // namespace sagebrook
