#include "pictures.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "scenario.h"
#include "session.h"

extern char** environ;

namespace simcli {

namespace {

// Pixels of font size per unit of the game's text scale at 1080 lines.
constexpr double kFontPxPerScale = 62.0;
// The game places a text line by its top; SVG by its baseline.
constexpr double kAscent = 0.82;
constexpr const char* kFont = "DejaVu Sans Condensed, DejaVu Sans, sans-serif";

const char* const KindColours[kKinds] = {"#c0392b", "#2471a3", "#7d3c98", "#d68910", "#1c2833"};

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", v);
  return text;
}

std::string Rgb(int r, int g, int b) {
  char text[32];
  std::snprintf(text, sizeof text, "rgb(%d,%d,%d)", r, g, b);
  return text;
}

}  // namespace

std::string ScreenshotSvg(const sim::DrawList& frame) {
  const double w = kScreenWidth, h = kScreenHeight;
  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1920\" height=\"1080\" "
         "viewBox=\"0 0 1920 1080\">\n"
         "<defs><linearGradient id=\"dusk\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
         "<stop offset=\"0\" stop-color=\"#4a5d78\"/><stop offset=\"0.55\" "
         "stop-color=\"#c89a6a\"/><stop offset=\"0.56\" stop-color=\"#6e5a3c\"/>"
         "<stop offset=\"1\" stop-color=\"#3f3424\"/></linearGradient></defs>\n"
         "<rect width=\"1920\" height=\"1080\" fill=\"url(#dusk)\"/>\n";
  for (const sim::DrawnRect& r : frame.rects) {
    svg << "<rect x=\"" << Num((r.x - r.width / 2) * w) << "\" y=\""
        << Num((r.y - r.height / 2) * h) << "\" width=\"" << Num(r.width * w) << "\" height=\""
        << Num(r.height * h) << "\" fill=\"" << Rgb(r.r, r.g, r.b) << "\" fill-opacity=\""
        << Num(r.a / 255.0) << "\"/>\n";
  }
  for (const sim::DrawnText& t : frame.texts) {
    const double size = t.scale * kFontPxPerScale * h / 1080.0;
    // The group stands at the drawn position; the text hangs below it.
    svg << "<g transform=\"translate(" << Num(t.x * w) << " " << Num(t.y * h)
        << ")\" font-family=\"" << kFont << "\" font-size=\"" << Num(size) << "\""
        << (t.centred ? " text-anchor=\"middle\"" : "") << ">";
    if (t.shadow) {
      svg << "<text x=\"1.5\" y=\"" << Num(size * kAscent + 1.5) << "\" fill=\"black\">"
          << Escape(t.text) << "</text>";
    }
    svg << "<text y=\"" << Num(size * kAscent) << "\" fill=\"" << Rgb(t.r, t.g, t.b)
        << "\" fill-opacity=\"" << Num(t.a / 255.0) << "\">" << Escape(t.text) << "</text></g>\n";
  }
  svg << "</svg>\n";
  return svg.str();
}

std::string MapSvg(const Options& options) {
  const sim::World& world = sim::GetWorld();
  // The country's extent, north up.
  float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
  auto extend = [&](float x, float y) {
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  };
  for (const sim::RoadNode& n : world.roads) extend(n.position.x, n.position.y);
  for (const auto& o : world.overheads) extend(o.x, o.y);
  for (const SpawnedThing& t : Session.things) extend(t.at.x, t.at.y);
  for (const auto& [ms, p] : Session.playerPath) extend(p.x, p.y);
  minX -= 40;
  maxX += 40;
  minY -= 40;
  maxY += 40;
  const double mapWidth = 1400.0;
  const double scale = mapWidth / (maxX - minX);
  const double top = 70.0;
  const double mapHeight = (maxY - minY) * scale;
  const double panelX = mapWidth + 30.0;
  const double width = panelX + 560.0;
  const double height = std::max(top + mapHeight + 20.0, 900.0);
  auto PX = [&](float x) { return (x - minX) * scale; };
  auto PY = [&](float y) { return top + (maxY - y) * scale; };
  auto X = [&](float x) { return Num(PX(x)); };
  auto Y = [&](float y) { return Num(PY(y)); };

  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Num(width) << "\" height=\""
      << Num(height) << "\" viewBox=\"0 0 " << Num(width) << " " << Num(height)
      << "\" font-family=\"DejaVu Sans, sans-serif\">\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"#f3ead5\"/>\n";
  const uint32_t played = Session.playerPath.empty() ? 0 : Session.playerPath.back().first;
  svg << "<text x=\"20\" y=\"40\" font-size=\"26\" font-weight=\"bold\" fill=\"#3b2f1e\">"
      << "Sagebrook session: seed " << options.seed << ", " << played / 60000 << " min of play, "
      << ClockText(GameMinutes(0)) << " to " << ClockText(GameMinutes(played))
      << " game time</text>\n";
  svg << "<rect x=\"0\" y=\"" << Num(top) << "\" width=\"" << Num(mapWidth) << "\" height=\""
      << Num(mapHeight) << "\" fill=\"#e9dcb8\"/>\n";

  // Town houses, then trees and beams.
  for (const Building& b : TheFrontier.buildings) {
    svg << "<rect x=\"" << X(b.centre.x - b.width / 2) << "\" y=\"" << Y(b.centre.y + b.depth / 2)
        << "\" width=\"" << Num(b.width * scale) << "\" height=\"" << Num(b.depth * scale)
        << "\" fill=\"#b08a5a\" stroke=\"#6b4f2c\"/>\n";
  }
  for (size_t i = 0; i < world.overheads.size(); ++i) {
    const auto& o = world.overheads[i];
    if (TheFrontier.overheadIsBeam[i]) {
      svg << "<rect x=\"" << X(o.x - o.radius) << "\" y=\"" << Y(o.y + o.radius) << "\" width=\""
          << Num(2 * o.radius * scale) << "\" height=\"" << Num(2 * o.radius * scale)
          << "\" fill=\"#5b3a1a\"/>\n";
    } else {
      svg << "<circle cx=\"" << X(o.x) << "\" cy=\"" << Y(o.y) << "\" r=\""
          << Num(std::max(2.0, o.radius * scale))
          << "\" fill=\"#6f8f4e\" fill-opacity=\"0.75\"/>\n";
    }
  }
  // Roads, the trail, and their names.
  auto polyline = [&](const Path& p, const char* style) {
    svg << "<polyline fill=\"none\" " << style << " points=\"";
    for (const Point& pt : p.points) svg << X(pt.x) << "," << Y(pt.y) << " ";
    if (p.closed) svg << X(p.points[0].x) << "," << Y(p.points[0].y);
    svg << "\"/>\n";
  };
  for (const Path& road : TheFrontier.roads) {
    polyline(road, "stroke=\"#8a6a3d\" stroke-width=\"9\" stroke-linejoin=\"round\"");
    polyline(road, "stroke=\"#dcc79d\" stroke-width=\"5\" stroke-linejoin=\"round\"");
  }
  polyline(TheFrontier.trail, "stroke=\"#8a6a3d\" stroke-width=\"2\" stroke-dasharray=\"8 6\"");
  const Point town = TheFrontier.townCentre;
  svg << "<text x=\"" << X(town.x + 45) << "\" y=\"" << Y(town.y - 60)
      << "\" font-size=\"20\" font-style=\"italic\" fill=\"#3b2f1e\">Sagebrook (town)</text>\n";
  const Point trailMid{(TheFrontier.trail.points[0].x + TheFrontier.trail.points[1].x) / 2,
                       (TheFrontier.trail.points[0].y + TheFrontier.trail.points[1].y) / 2};
  svg << "<text x=\"" << X(trailMid.x) << "\" y=\"" << Y(trailMid.y - 25)
      << "\" font-size=\"16\" font-style=\"italic\" fill=\"#6b4f2c\" text-anchor=\"middle\">"
      << "prairie trail (no road)</text>\n";

  // The player's path with a mark every minute.
  svg << "<polyline fill=\"none\" stroke=\"#1f3b66\" stroke-width=\"3\" stroke-opacity=\"0.7\" "
         "points=\"";
  for (const auto& [ms, p] : Session.playerPath) svg << X(p.x) << "," << Y(p.y) << " ";
  svg << "\"/>\n";
  std::vector<std::pair<double, double>> labels;  // later laps share the first one's labels
  for (const auto& [ms, p] : Session.playerPath) {
    if (ms % 60000 != 0) continue;
    const double px = PX(p.x), py = PY(p.y);
    svg << "<circle cx=\"" << Num(px) << "\" cy=\"" << Num(py) << "\" r=\"4\" fill=\"#1f3b66\"/>\n";
    const bool crowded = std::any_of(labels.begin(), labels.end(), [&](const auto& l) {
      return std::hypot(l.first - px, l.second - py) < 30.0;
    });
    if (crowded) continue;
    labels.push_back({px, py});
    svg << "<text x=\"" << Num(px) << "\" y=\"" << Num(py)
        << "\" dx=\"6\" dy=\"-6\" font-size=\"13\" fill=\"#1f3b66\">" << ms / 60000 << "m</text>\n";
  }
  if (!Session.playerPath.empty()) {
    const sim::Vec3 start = Session.playerPath.front().second;
    svg << "<text x=\"" << X(start.x) << "\" y=\"" << Y(start.y)
        << "\" dx=\"-8\" dy=\"24\" font-size=\"15\" font-weight=\"bold\" fill=\"#1f3b66\" "
           "text-anchor=\"end\">start</text>\n";
  }

  // Events: a dashed line from where the player was to what came of it.
  for (size_t i = 0; i < Session.events.size(); ++i) {
    const EventRecord& e = Session.events[i];
    if (!e.built) continue;
    const char* colour = KindColours[e.kind - 1];
    if (!e.refusal.empty() || e.spawned.empty()) {
      const double px = PX(e.player.x), py = PY(e.player.y);
      svg << "<path d=\"M" << Num(px - 7) << " " << Num(py - 7) << "L" << Num(px + 7) << " "
          << Num(py + 7) << "M" << Num(px - 7) << " " << Num(py + 7) << "L" << Num(px + 7) << " "
          << Num(py - 7) << "\" stroke=\"#555\" stroke-width=\"3\"/><text x=\"" << Num(px)
          << "\" y=\"" << Num(py) << "\" dx=\"10\" dy=\"18\" font-size=\"14\" fill=\"#555\">#"
          << i + 1 << " refused</text>\n";
      continue;
    }
    const sim::Vec3 at = Session.things[e.spawned.front()].at;
    svg << "<line x1=\"" << X(e.player.x) << "\" y1=\"" << Y(e.player.y) << "\" x2=\"" << X(at.x)
        << "\" y2=\"" << Y(at.y) << "\" stroke=\"" << colour
        << "\" stroke-width=\"1.5\" stroke-dasharray=\"4 3\"/>\n";
  }
  // Every spawned entity: shape by what it is, fill by its fate.
  for (const SpawnedThing& t : Session.things) {
    if (t.what == "rope") continue;
    const char* colour =
        t.event >= 0 ? KindColours[Session.events[static_cast<size_t>(t.event)].kind - 1] : "#777";
    const std::string fill = t.fate == Fate::Tracked     ? colour
                             : t.fate == Fate::Converted ? "#f3ead5"
                                                         : "#ffffff";
    const std::string x = X(t.at.x), y = Y(t.at.y);
    const double cx = PX(t.at.x), cy = PY(t.at.y);
    if (t.blip) {
      svg << "<circle cx=\"" << x << "\" cy=\"" << y << "\" r=\"13\" fill=\"none\" stroke=\""
          << (t.enemyBlip ? "#e03c31" : "#e6b800") << "\" stroke-width=\"2.5\" "
          << "stroke-dasharray=\"5 3\"/>\n";
    }
    if (t.what == "vehicle") {
      svg << "<rect x=\"" << Num(cx - 7) << "\" y=\"" << Num(cy - 5)
          << "\" width=\"14\" height=\"10\"";
    } else if (t.what == "animal") {
      svg << "<polygon points=\"" << Num(cx) << "," << Num(cy - 8) << " " << Num(cx + 7) << ","
          << Num(cy) << " " << Num(cx) << "," << Num(cy + 8) << " " << Num(cx - 7) << "," << Num(cy)
          << "\"";
    } else if (t.what == "object") {
      svg << "<polygon points=\"" << Num(cx) << "," << Num(cy - 6) << " " << Num(cx + 6) << ","
          << Num(cy + 5) << " " << Num(cx - 6) << "," << Num(cy + 5) << "\"";
    } else {
      svg << "<circle cx=\"" << x << "\" cy=\"" << y << "\" r=\"6\"";
    }
    svg << " fill=\"" << fill << "\" stroke=\"" << colour << "\" stroke-width=\"2.5\"/>\n";
    if (t.fate == Fate::Deleted || t.fate == Fate::Vanished) {
      svg << "<path d=\"M" << Num(cx - 5) << " " << Num(cy - 5) << "L" << Num(cx + 5) << " "
          << Num(cy + 5) << "M" << Num(cx - 5) << " " << Num(cy + 5) << "L" << Num(cx + 5) << " "
          << Num(cy - 5) << "\" stroke=\"" << colour << "\" stroke-width=\"2\"/>\n";
    } else if (t.fate == Fate::Converted) {
      svg << "<circle cx=\"" << x << "\" cy=\"" << y << "\" r=\"2\" fill=\"" << colour << "\"/>\n";
    }
  }
  // Event numbers beside the first thing each spawned.
  for (size_t i = 0; i < Session.events.size(); ++i) {
    const EventRecord& e = Session.events[i];
    if (!e.built || !e.refusal.empty() || e.spawned.empty()) continue;
    const sim::Vec3 at = Session.things[e.spawned.front()].at;
    svg << "<text x=\"" << X(at.x) << "\" y=\"" << Y(at.y) << "\" dx=\"14\" dy=\"-10\" "
        << "font-size=\"16\" font-weight=\"bold\" fill=\"" << KindColours[e.kind - 1] << "\">#"
        << i + 1 << "</text>\n";
  }

  // The legend and the story.
  double y = top + 10;
  auto line = [&](const std::string& content, int size = 16, const char* colour = "#3b2f1e",
                  double indent = 0) {
    y += size + 8;
    svg << "<text x=\"" << Num(panelX + indent) << "\" y=\"" << Num(y) << "\" font-size=\"" << size
        << "\" fill=\"" << colour << "\">" << content << "</text>\n";
  };
  line("<tspan font-weight=\"bold\">Events</tspan>", 18);
  for (int32_t k = 0; k < kKinds; ++k) {
    svg << "<rect x=\"" << Num(panelX) << "\" y=\"" << Num(y + 11) << "\" width=\"14\" "
        << "height=\"14\" fill=\"" << KindColours[k] << "\"/>\n";
    line(KindNames[k], 16, "#3b2f1e", 22);
  }
  y += 6;
  line("<tspan font-weight=\"bold\">Marks</tspan>", 18);
  line("&#9679; person  &#9670; animal  &#9632; vehicle  &#9650; prop", 15);
  line("filled: still tracked when play ended", 15);
  line("hollow: released to the game", 15);
  line("dot inside: became a greetable stranger", 15);
  line("crossed: deleted (Clear Spawned)", 15);
  line("dashed ring: blip (red enemy, yellow event)", 15);
  line("grey &#10005; where the player was: event refused", 15);
  line("dashed line: from the player to what the event made", 15);
  line("blue line: the player's ride, a dot each minute", 15);
  line("green dots: trees; dark squares: porch and gallows beams", 15);
  y += 6;
  line("<tspan font-weight=\"bold\">What happened</tspan>", 18);
  size_t shown = 0;
  const double bottom = height - 30;
  for (size_t i = 0; i < Session.events.size(); ++i) {
    const EventRecord& e = Session.events[i];
    if (y + 44 > bottom) {
      line(Escape("... and " + std::to_string(Session.events.size() - shown) + " more"), 14);
      break;
    }
    char head[96];
    std::snprintf(head, sizeof head, "#%zu %s %s", i + 1, ClockText(e.gameMinutes).c_str(),
                  KindNames[e.kind - 1]);
    const char* colour = e.built ? KindColours[e.kind - 1] : "#777";
    line(std::string("<tspan font-weight=\"bold\">") + head + "</tspan> " +
             Escape(e.notice.empty() ? "" : "\u201c" + e.notice + "\u201d"),
         14, colour);
    std::ostringstream what;
    if (!e.built) {
      what << "not built into this plugin";
    } else if (!e.refusal.empty()) {
      what << "refused: " << e.refusal;
    } else {
      std::map<std::string, int> made;
      int released = 0, converted = 0, deleted = 0;
      for (size_t s : e.spawned) {
        const SpawnedThing& t = Session.things[s];
        ++made[t.what];
        released += t.fate == Fate::Released;
        converted += t.fate == Fate::Converted;
        deleted += t.fate == Fate::Deleted;
      }
      const char* separator = "";
      for (const auto& [kind, n] : made) {
        what << separator << n << " " << kind << (n > 1 ? "s" : "");
        separator = ", ";
      }
      if (released) what << "; " << released << " released";
      if (converted) what << "; " << converted << " befriended";
      if (deleted) what << "; " << deleted << " deleted";
    }
    std::string text = what.str();
    if (text.size() > 64) text = text.substr(0, 61) + "...";
    y -= 4;
    line(Escape(text), 13, "#5a4a32", 16);
    ++shown;
  }
  svg << "</svg>\n";
  return svg.str();
}

bool WritePicture(const std::string& svg, const std::string& file, std::string& error) {
  const bool png = file.size() > 4 && file.compare(file.size() - 4, 4, ".png") == 0;
  const std::string svgFile = png ? file + ".tmp.svg" : file;
  {
    std::ofstream out(svgFile, std::ios::binary);
    out << svg;
    if (!out) {
      error = "cannot write " + svgFile;
      return false;
    }
  }
  if (!png) return true;
  // No shell: the file names go to the converter as they are.
  std::string outFile = file;
  std::string inFile = svgFile;
  char program[] = "rsvg-convert";
  char format[] = "--format=png";
  char output[] = "-o";
  char* argv[] = {program, format, output, outFile.data(), inFile.data(), nullptr};
  pid_t pid = 0;
  int status = 0;
  const int spawned = posix_spawnp(&pid, program, nullptr, nullptr, argv, environ);
  const bool ok = spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
                  WEXITSTATUS(status) == 0;
  std::remove(svgFile.c_str());
  if (!ok) {
    error = spawned != 0 ? "cannot run rsvg-convert (install librsvg2-bin) for " + file
                         : "rsvg-convert could not convert " + file;
  }
  return ok;
}

}  // namespace simcli
