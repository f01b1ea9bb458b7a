#include "menu/menu.h"

#include <cstdio>

#include "diag/key_bindings.h"
#include "events/ambient.h"
#include "events/cleanup.h"
#include "events/dispatcher.h"
#include "game/key_presses.h"
#include "game/natives.h"
#include "platform/platform.h"
#include "tracking/registry.h"
#include "ui/screen_text.h"
#include "ui/settings.h"
#include "ui/version.h"

namespace sagebrook {

const char* const MenuBlockedControls[25] = {
    "INPUT_FRONTEND_LEFT",       "INPUT_FRONTEND_RIGHT",     "INPUT_GAME_MENU_LEFT",
    "INPUT_GAME_MENU_RIGHT",     "INPUT_OPEN_JOURNAL",       "INPUT_DOCUMENT_PAGE_PREV",
    "INPUT_DOCUMENT_PAGE_NEXT",  "INPUT_OPEN_SATCHEL_MENU",  "INPUT_OPEN_SATCHEL_HORSE_MENU",
    "INPUT_SWITCH_FIRING_MODE",  "INPUT_QUICK_USE_ITEM",     "INPUT_PREV_WEAPON",
    "INPUT_NEXT_WEAPON",         "INPUT_SELECT_NEXT_WEAPON", "INPUT_SELECT_PREV_WEAPON",
    "INPUT_FRONTEND_UP",         "INPUT_FRONTEND_DOWN",      "INPUT_GAME_MENU_UP",
    "INPUT_GAME_MENU_DOWN",      "INPUT_OPEN_WHEEL_MENU",    "INPUT_OPEN_RADIO_WHEEL",
    "INPUT_OPEN_EMOTE_WHEEL",    "INPUT_TOGGLE_HOLSTER",     "INPUT_MAP_SELECT_WAYPOINT",
    "INPUT_OPEN_PROMPTS_JOURNAL"};

namespace {

bool IsChoiceRow(const MenuItem& item) {
  return item.value != nullptr && !item.options.empty();
}

// Steps the selected choice row by +1 or -1, wrapping; turning ambient
// events on brings the next one to 5 s from now.
void StepSelectedRow(int32_t step) {
  MenuItem& item = MenuItems[static_cast<size_t>(MenuState.selectedIndex)];
  if (!IsChoiceRow(item)) return;
  int32_t c = static_cast<int32_t>(item.options.size());
  *item.value = (*item.value + step + c) % c;
  if (MenuState.selectedIndex == kAmbientEventsRow && Settings.ambientEvents != 0) {
    AmbientSchedule.nextAmbientAt = platform::TickCount() + kAmbientOnDelayMs;
  }
}

}  // namespace

uint16_t UpdateMenuInput(int32_t playerPed) {
  uint16_t buttons = platform::GamepadButtons();
  uint16_t previous = MenuState.previousButtons;
  auto padPressed = [&](uint16_t bit) { return (buttons & bit) != 0 && (previous & bit) == 0; };

  constexpr uint16_t kMenuPair = kPadRB | kPadX;
  if (TakeKeyPress(KeyBindings.menuKey)) {
    MenuState.menuOpen = !MenuState.menuOpen;
  } else if ((buttons & kMenuPair) == kMenuPair && (previous & kMenuPair) != kMenuPair) {
    MenuState.menuOpen = !MenuState.menuOpen;
  }
  if (!MenuState.menuOpen) return buttons;

  for (const char* control : MenuBlockedControls) DisableControlThisFrame(HashName(control));

  const int32_t n = static_cast<int32_t>(MenuItems.size());
  int32_t& selected = MenuState.selectedIndex;
  if (TakeKeyPress(KeyBindings.upKey) || padPressed(kPadUp)) selected = (selected - 1 + n) % n;
  if (TakeKeyPress(KeyBindings.downKey) || padPressed(kPadDown)) selected = (selected + 1) % n;
  if (TakeKeyPress(KeyBindings.leftKey)) StepSelectedRow(-1);
  if (TakeKeyPress(KeyBindings.rightKey)) StepSelectedRow(+1);
  if (TakeKeyPress(KeyBindings.selectKey) || padPressed(kPadA)) {
    if (selected == kTriggerEventRow) {
      DispatchRandomEvent(playerPed);
    } else if (selected == kClearSpawnedRow) {
      ClearSpawned();
    } else {
      StepSelectedRow(+1);
    }
  }
  if (TakeKeyPress(KeyBindings.backKey) || padPressed(kPadB)) MenuState.menuOpen = false;
  return buttons;
}

void DrawMenu() {
  int32_t width = 0;
  int32_t height = 0;
  QueryScreenSize(&width, &height);
  if (height == 0) return;

  const float s = static_cast<float>(height) / 1080.0f;
  const float w = 0.2805f * s;
  const float rowHeight = 0.05445f * s;
  const float headerHeight = 0.12375f * s;
  const float footerHeight = 0.14025f * s;
  const float left = 0.015f;
  const float top = 0.09f;
  const float border = 0.002f;
  const int32_t n = static_cast<int32_t>(MenuItems.size());
  const float cx = left + w / 2.0f;
  const float bodyTop = top + headerHeight;
  const float bodyHeight = static_cast<float>(n) * rowHeight;
  const float footerTop = bodyTop + bodyHeight;
  const float total = headerHeight + bodyHeight + footerHeight;

  DrawPanelRect(cx, top + headerHeight / 2.0f, w, headerHeight, 0, 0, 0, 255);
  DrawPanelRect(cx, bodyTop + bodyHeight / 2.0f, w, bodyHeight, 0, 0, 0, 180);
  DrawPanelRect(cx, footerTop + footerHeight / 2.0f, w, footerHeight, 0, 0, 0, 220);
  DrawPanelRect(cx, top, w + border, border, 200, 120, 0, 255);
  DrawPanelRect(cx, top + total, w + border, border, 200, 120, 0, 255);
  DrawPanelRect(left, top + total / 2.0f, border, total, 200, 120, 0, 255);
  DrawPanelRect(left + w, top + total / 2.0f, border, total, 200, 120, 0, 255);
  DrawPanelRect(cx, bodyTop, w, border, 200, 120, 0, 255);

  DrawMenuText(cx, top + 0.0099f * s, "SAGEBROOK", 230, 170, 40, 0.66f * s);
  DrawMenuText(cx, top + 0.066f * s, kMenuVersion, 255, 255, 255, 0.363f * s);

  for (int32_t i = 0; i < n; ++i) {
    const MenuItem& item = MenuItems[static_cast<size_t>(i)];
    const bool selected = i == MenuState.selectedIndex;
    if (selected) {
      DrawPanelRect(cx, bodyTop + (static_cast<float>(i) + 0.5f) * rowHeight, w, rowHeight, 255,
                    255, 255, 70);
    }
    char value[96];
    if (IsChoiceRow(item)) {
      std::snprintf(value, sizeof value, "%s: %s", item.label,
                    item.options[static_cast<size_t>(*item.value)]);
    } else {
      std::snprintf(value, sizeof value, "%s", item.label);
    }
    char text[104];
    std::snprintf(text, sizeof text, selected ? "< %s >" : "%s", value);
    const float y = bodyTop + static_cast<float>(i) * rowHeight + 0.00825f * s;
    if (selected) {
      DrawMenuText(cx, y, text, 255, 220, 40, 0.462f * s);
    } else {
      DrawMenuText(cx, y, text, 255, 255, 255, 0.462f * s);
    }
  }
  const MenuItem& current = MenuItems[static_cast<size_t>(MenuState.selectedIndex)];
  DrawMenuText(cx, footerTop + 0.0099f * s, current.help, 255, 255, 255, 0.3135f * s);
}

}  // namespace sagebrook
