#include "session.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "chaos.h"
#include "diag/log.h"
#include "events/dispatcher.h"
#include "tracking/registry.h"
#include "ui/screen_text.h"

namespace simcli {

const char* const KindNames[kKinds] = {"Predator attack", "Runaway wagon", "Public hanging",
                                       "Drunken folk", "Bounty hunters"};

SessionRecord Session;

namespace {

// An event that cannot go ahead says so on screen or in the log.
const char* const kRefusalNotifications[] = {
    "No event types are enabled",       "No road nearby for a runaway wagon",
    "Runaway wagon failed to spawn",    "Runaway wagon: no wagon model available",
    "An execution is already underway",
};
constexpr const char* kSkipMark = " - skipped";

std::FILE* Out = stdout;
sagebrook::EventStart Originals[kKinds] = {};
int32_t CurrentEvent = -1;  // while a start function runs
int32_t LastEvent = -1;
int32_t NextHandleSeen = 0;
std::set<int32_t> SeenRopes;
std::map<int32_t, size_t> ThingByHandle;
std::vector<size_t> Watching;  // things whose fate is still open
char LastNotification[sizeof sagebrook::NotificationRecord::text] = "";
uint32_t LastNotificationExpiry = 0;
uintmax_t LogOffset = 0;
uint32_t NextPathSampleMs = 0;

uint32_t ElapsedMs() {
  return sim::GetWorld().tick - TheFrontier.startTick;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

std::string EventName(int32_t event) {
  if (event < 0) return "no event";
  const EventRecord& e = Session.events[static_cast<size_t>(event)];
  return Format("#%d %s", event + 1, KindNames[e.kind - 1]);
}

std::string Describe(const SpawnedThing& t) {
  return Format("%s %d %s", t.what.c_str(), t.handle, t.model.c_str());
}

float PlayerDistance(sim::Vec3 p) {
  const sim::Entity* player = sim::FindEntity(sim::GetWorld().playerPed);
  return player ? sim::Distance(player->position, p) : 0.0f;
}

void CountRefusal(const std::string& reason) {
  for (auto& [text, n] : Session.refusals) {
    if (text == reason) {
      ++n;
      return;
    }
  }
  Session.refusals.push_back({reason, 1});
}

bool IsRefusalNotification(const char* text) {
  for (const char* r : kRefusalNotifications) {
    if (std::strcmp(r, text) == 0) return true;
  }
  return false;
}

// New entities, blips and ropes since the last look; they belong to owner.
void ScanNewHandles(int32_t owner) {
  sim::World& w = sim::GetWorld();
  const uint32_t now = ElapsedMs();
  auto add = [&](SpawnedThing t) {
    t.event = owner;
    t.last = t.at;
    t.fateAtMs = now;
    const size_t index = Session.things.size();
    Session.things.push_back(t);
    ThingByHandle[t.handle] = index;
    Watching.push_back(index);
    if (owner >= 0) Session.events[static_cast<size_t>(owner)].spawned.push_back(index);
    const sim::Vec3 p = t.at;
    TimelineLine(now, "spawned",
                 Format("%s at (%.0f, %.0f) for %s", Describe(t).c_str(), static_cast<double>(p.x),
                        static_cast<double>(p.y), EventName(owner).c_str()));
  };
  for (; NextHandleSeen < w.nextHandle; ++NextHandleSeen) {
    const int32_t h = NextHandleSeen;
    if (const sim::Entity* e = sim::FindEntity(h)) {
      if (TheFrontier.ownPeds.count(h) || sim::MadeByChaos(h)) continue;
      SpawnedThing t;
      t.handle = h;
      t.what = e->kind == sim::EntityKind::Vehicle  ? "vehicle"
               : e->kind == sim::EntityKind::Object ? "object"
               : e->human                           ? "ped"
                                                    : "animal";
      t.model = ModelName(e->model);
      t.at = e->position;
      add(t);
    } else if (auto b = w.blips.find(h); b != w.blips.end()) {
      auto thing = ThingByHandle.find(b->second.entity);
      if (thing == ThingByHandle.end()) continue;
      SpawnedThing& t = Session.things[thing->second];
      t.blip = true;
      t.enemyBlip = b->second.style == sim::HashName("BLIP_STYLE_ENEMY");
      TimelineLine(now, "blip",
                   Format("%s on %s", t.enemyBlip ? "enemy" : "event", Describe(t).c_str()));
    }
  }
  if (w.ropes.size() != SeenRopes.size()) {
    for (const auto& [h, rope] : w.ropes) {
      if (!SeenRopes.insert(h).second) continue;
      SpawnedThing t;
      t.handle = h;
      t.what = "rope";
      t.model = "rope";
      // A rope hangs from the last thing its event put up.
      const EventRecord* e = owner >= 0 ? &Session.events[static_cast<size_t>(owner)] : nullptr;
      t.at = e && !e->spawned.empty() ? Session.things[e->spawned.back()].at
             : e                      ? e->player
                                      : sim::Vec3{};
      add(t);
    }
  }
}

void SetFate(SpawnedThing& t, Fate fate, const char* tag, const std::string& how) {
  t.fate = fate;
  t.fateAtMs = ElapsedMs();
  TimelineLine(t.fateAtMs, tag,
               Format("%s of %s%s", Describe(t).c_str(), EventName(t.event).c_str(), how.c_str()));
}

void CheckFates() {
  const sim::World& w = sim::GetWorld();
  for (size_t i = 0; i < Watching.size();) {
    SpawnedThing& t = Session.things[Watching[i]];
    if (t.what == "rope") {
      const sim::Rope& r = w.ropes.at(t.handle);
      if (r.deleted) {
        SetFate(t, Fate::Deleted, "deleted", "");
      } else if (!r.exists) {
        SetFate(t, Fate::Vanished, "vanished", "");
      }
    } else if (const sim::Entity* e = sim::FindEntity(t.handle)) {
      t.last = e->position;
      if (e->deleted) {
        SetFate(t, Fate::Deleted, "deleted", "");
      } else if (e->released) {
        // A freed man may be pending and converted within one frame, so
        // the stranger set-up after the release tells, not the list.
        const bool converted = e->greetableWhenReleased;
        const std::string how =
            Format(", %.0f m from the player", static_cast<double>(PlayerDistance(e->position)));
        if (converted) {
          SetFate(t, Fate::Converted, "convert", " into a greetable stranger" + how);
        } else {
          SetFate(t, Fate::Released, "released", how);
        }
      } else if (!e->exists) {
        SetFate(t, Fate::Vanished, "vanished", "");
      }
    }
    if (t.fate == Fate::Tracked) {
      ++i;
    } else {
      Watching.erase(Watching.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

// The notification shown since the last look, if any.
const char* NewNotification(bool surely = false) {
  const sagebrook::NotificationRecord& n = sagebrook::Notification;
  if (!surely && n.expiresAt == LastNotificationExpiry &&
      std::strcmp(n.text, LastNotification) == 0) {
    return nullptr;
  }
  LastNotificationExpiry = n.expiresAt;
  std::memcpy(LastNotification, n.text, sizeof LastNotification);
  ++Session.notifications;
  TimelineLine(ElapsedMs(), "notice", Format("\"%s\"", n.text));
  return n.text[0] != '\0' ? LastNotification : nullptr;
}

// Lines the plugin appended to its log since the last look, without their
// time stamps (the timeline has its own).
std::vector<std::string> NewLogLines() {
  std::vector<std::string> lines;
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(sagebrook::kLogFileName, error);
  if (error || size <= LogOffset) return lines;
  std::ifstream file(sagebrook::kLogFileName, std::ios::binary);
  file.seekg(static_cast<std::streamoff>(LogOffset));
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  LogOffset += text.size();
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(from, end - from);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 15 && line[0] == '[' && line.compare(13, 2, "] ") == 0) line.erase(0, 15);
    ++Session.logLines;
    TimelineLine(ElapsedMs(), "log", line);
    lines.push_back(line);
    from = end + 1;
  }
  return lines;
}

void TrackHighWater() {
  const size_t peds = sagebrook::SpawnedPeds.size();
  const size_t vehicles = sagebrook::SpawnedVehicles.size();
  Session.mostTrackedPeds = std::max(Session.mostTrackedPeds, peds);
  Session.mostTrackedVehicles = std::max(Session.mostTrackedVehicles, vehicles);
  Session.mostTracked =
      std::max(Session.mostTracked, peds + vehicles + sagebrook::RigObjects.size());
}

void RunEvent(int32_t kind, int32_t playerPed) {
  // What the frame did before the event is its own.
  ScanNewHandles(LastEvent);
  NewLogLines();
  if (const char* text = NewNotification(); text && IsRefusalNotification(text)) {
    CountRefusal(text);
  }

  EventRecord record;
  record.kind = kind;
  record.atMs = ElapsedMs();
  record.gameMinutes = GameMinutes(record.atMs);
  record.built = Originals[kind - 1] != nullptr;
  if (const sim::Entity* p = sim::FindEntity(sim::GetWorld().playerPed))
    record.player = p->position;
  const int32_t index = static_cast<int32_t>(Session.events.size());
  Session.events.push_back(record);
  TimelineLine(record.atMs, "event",
               EventName(index) + (record.built ? "" : " (not built into this plugin: no effect)"));

  CurrentEvent = index;
  // The same message twice in one tick looks like no message; so the line
  // is blanked for the start and put back if the start shows nothing.
  struct Finish {
    int32_t index;
    sagebrook::NotificationRecord before;
    ~Finish() {
      CurrentEvent = -1;
      LastEvent = index;
      ScanNewHandles(index);
      std::string refusal;
      for (const std::string& line : NewLogLines()) {
        if (line.find(kSkipMark) != std::string::npos) refusal = line;
      }
      EventRecord& e = Session.events[static_cast<size_t>(index)];
      const bool shown = sagebrook::Notification.text[0] != '\0';
      if (!shown) sagebrook::Notification = before;
      if (const char* text = shown ? NewNotification(true) : nullptr) {
        e.notice = text;
        if (IsRefusalNotification(text)) refusal = Format("\"%s\"", text);
      }
      if (refusal.empty() && e.built && e.spawned.empty()) refusal = "spawned nothing";
      if (!refusal.empty()) {
        e.refusal = refusal;
        CountRefusal(refusal);
        TimelineLine(ElapsedMs(), "refused", EventName(index) + ": " + refusal);
      } else if (!e.spawned.empty() && RideOverTo(Session.things[e.spawned.front()].at)) {
        TimelineLine(ElapsedMs(), "player", "rides over to see " + EventName(index));
      }
    }
  } finish{index, sagebrook::Notification};
  sagebrook::Notification.text[0] = '\0';
  if (Originals[kind - 1] != nullptr) Originals[kind - 1](playerPed);
}

template <int32_t kKind>
void AttributedStart(int32_t playerPed) {
  RunEvent(kKind, playerPed);
}

}  // namespace

std::string ClockText(int32_t gameMinutes) {
  return Format("%02d:%02d", gameMinutes / 60 % 24, gameMinutes % 60);
}

void TimelineLine(uint32_t elapsedMs, const char* tag, const std::string& text) {
  std::fprintf(Out, "%02u:%02u.%03u  %s  %-8s  %s\n", elapsedMs / 60000, elapsedMs / 1000 % 60,
               elapsedMs % 1000, ClockText(GameMinutes(elapsedMs)).c_str(), tag, text.c_str());
}

void BeginSession(const Options& /*options*/, std::FILE* out) {
  Out = out;
  Session = SessionRecord{};
  CurrentEvent = -1;
  LastEvent = -1;
  NextHandleSeen = sim::GetWorld().nextHandle;
  SeenRopes.clear();
  for (const auto& [handle, rope] : sim::GetWorld().ropes) SeenRopes.insert(handle);
  ThingByHandle.clear();
  Watching.clear();
  LastNotificationExpiry = sagebrook::Notification.expiresAt;
  std::memcpy(LastNotification, sagebrook::Notification.text, sizeof LastNotification);
  std::error_code noLog;
  LogOffset = std::filesystem::file_size(sagebrook::kLogFileName, noLog);
  if (noLog) LogOffset = 0;
  NextPathSampleMs = 0;
  const sagebrook::EventStart wrapped[kKinds] = {AttributedStart<1>, AttributedStart<2>,
                                                 AttributedStart<3>, AttributedStart<4>,
                                                 AttributedStart<5>};
  for (int32_t i = 0; i < kKinds; ++i) {
    Originals[i] = sagebrook::EventStarts[i];
    sagebrook::EventStarts[i] = wrapped[i];
  }
}

void EndSession() {
  for (int32_t i = 0; i < kKinds; ++i) sagebrook::EventStarts[i] = Originals[i];
}

bool InsideEvent() {
  return CurrentEvent >= 0;
}

void ObserveFrame(uint32_t elapsedMs) {
  ++Session.frames;
  if (elapsedMs >= NextPathSampleMs) {
    if (const sim::Entity* p = sim::FindEntity(sim::GetWorld().playerPed)) {
      Session.playerPath.push_back({elapsedMs, p->position});
    }
    NextPathSampleMs = elapsedMs - elapsedMs % 1000 + 1000;
  }
  if (InsideEvent()) return;  // the event's own account comes when it returns
  ScanNewHandles(LastEvent);
  CheckFates();
  NewLogLines();
  if (const char* text = NewNotification(); text && IsRefusalNotification(text)) {
    CountRefusal(text);
  }
  TrackHighWater();
}

void PrintSummary(const Options& options) {
  const uint32_t played = ElapsedMs();
  std::fprintf(Out, "\nSummary: %u:%02u of play, %llu frames, game clock %s to %s\n",
               played / 60000, played / 1000 % 60, static_cast<unsigned long long>(Session.frames),
               ClockText(GameMinutes(0)).c_str(), ClockText(GameMinutes(played)).c_str());

  std::fprintf(Out, "\n%-18s %7s %8s %8s %6s %8s %7s\n", "Events by kind", "started", "went on",
               "refused", "peds", "vehicles", "objects");
  for (int32_t k = 1; k <= kKinds; ++k) {
    int started = 0, went = 0, refused = 0, peds = 0, vehicles = 0, objects = 0;
    bool built = Originals[k - 1] != nullptr;
    for (const EventRecord& e : Session.events) {
      if (e.kind != k) continue;
      ++started;
      (e.refusal.empty() ? went : refused)++;
      for (size_t i : e.spawned) {
        const std::string& what = Session.things[i].what;
        (what == "vehicle" ? vehicles : what == "ped" || what == "animal" ? peds : objects)++;
      }
    }
    if (!built) {
      std::fprintf(Out, "  %-16s %7d   (not built into this plugin)\n", KindNames[k - 1], started);
    } else if (options.kinds[static_cast<size_t>(k - 1)] == 0) {
      std::fprintf(Out, "  %-16s %7d   (switched off)\n", KindNames[k - 1], started);
    } else {
      std::fprintf(Out, "  %-16s %7d %8d %8d %6d %8d %7d\n", KindNames[k - 1], started, went,
                   refused, peds, vehicles, objects);
    }
  }

  std::fprintf(Out, "\nRefusals by reason\n");
  if (Session.refusals.empty()) std::fprintf(Out, "  none\n");
  for (const auto& [reason, n] : Session.refusals)
    std::fprintf(Out, "  %4d  %s\n", n, reason.c_str());

  int created[4] = {}, released[4] = {}, converted[4] = {}, deleted[4] = {}, tracked[4] = {};
  for (const SpawnedThing& t : Session.things) {
    const int c = t.what == "vehicle" ? 1 : t.what == "object" ? 2 : t.what == "rope" ? 3 : 0;
    ++created[c];
    released[c] += t.fate == Fate::Released;
    converted[c] += t.fate == Fate::Converted;
    deleted[c] += t.fate == Fate::Deleted;
    tracked[c] += t.fate == Fate::Tracked;
  }
  std::fprintf(Out, "\n%-18s %7s %8s %8s %6s\n", "Entities", "peds", "vehicles", "objects",
               "ropes");
  auto row = [](const char* name, const int* n) {
    std::fprintf(Out, "  %-16s %7d %8d %8d %6d\n", name, n[0], n[1], n[2], n[3]);
  };
  row("created", created);
  row("released", released);
  row("converted", converted);
  row("deleted", deleted);
  row("still there", tracked);
  std::fprintf(Out, "\nMost tracked at once: %zu (peds %zu, vehicles %zu)\n", Session.mostTracked,
               Session.mostTrackedPeds, Session.mostTrackedVehicles);
  std::fprintf(Out, "Notifications shown: %d; log lines written: %d\n", Session.notifications,
               Session.logLines);
}

}  // namespace simcli
