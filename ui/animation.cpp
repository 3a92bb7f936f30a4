#include "ui/animation.h"

#include <cmath>
#include <cstdlib>

namespace hw {
namespace {

int Sign(int v) {
  return (v > 0) - (v < 0);
}
int Round(double v) {
  return static_cast<int>(std::lround(v));
}

}  // namespace

MovePlan PlanMove(const MoveRequest& move) {
  MovePlan plan;
  int left = move.FromX;
  int top = move.FromY;
  if (move.Zoom > 8) {
    // The card grows by the zoom and stays centred where it lies.
    const int width = kCardWidth + move.Zoom;
    const int height = width * kCardHeight / kCardWidth;
    left -= (width - kCardWidth) / 2;
    top -= (height - kCardHeight) / 2;
    plan.Zoomed = true;
    plan.ZoomedAt = {left, top, width, height};
  }

  const int dx = move.ToX - move.FromX;
  const int dy = move.ToY - move.FromY;
  if (dx == 0 && dy == 0) return plan;  // made visible and brought forward only
  plan.Moves = true;

  const int sx = Sign(dx), sy = Sign(dy);
  const int ax = std::abs(dx), ay = std::abs(dy);
  const int steps = move.Speed <= 0 ? 1 : move.Speed;
  // A line drawn along its longer axis, one step length a step; the shorter axis moves a
  // step length whenever the accumulated error reaches the longer distance.
  double x = move.FromX, y = move.FromY;
  int error = 0;
  if (ax >= ay) {
    const double h = static_cast<double>(ax) / steps;
    for (int i = 0; i <= steps; ++i) {
      error += ay;
      if (error >= ax) {
        error -= ax;
        y += sy * h;
      }
      plan.Steps.push_back({Round(x), Round(y)});
      x += sx * h;
    }
  } else {
    const double h = static_cast<double>(ay) / steps;
    for (int i = 0; i <= steps; ++i) {
      error += ax;
      if (error >= ay) {
        error -= ay;
        x += sx * h;
      }
      plan.Steps.push_back({Round(x), Round(y)});
      y += sy * h;
    }
  }
  plan.Final = {move.ToX, move.ToY, move.Width, move.Height};
  plan.ShowFace = move.ShowFace || plan.Zoomed;
  return plan;
}

int DealStepLength(int speed, bool toFloor) {
  const int first = toFloor ? 40 : 60;  // the speeds up to which a step is 40 pixels
  const int band = toFloor ? 40 : 60;   // each further band shortens it by 10
  if (speed <= first) return 40;
  if (speed <= first + band) return 30;
  if (speed <= first + 2 * band) return 20;
  return 10;
}

std::vector<DealStep> PlanDeal(const DealRequest& deal) {
  struct Travel {
    int x, y, sx, sy, ax, ay, error = 0, travelled = 0;
    bool done = false;
  };
  const int length = DealStepLength(deal.Speed, deal.ToFloor);
  std::vector<Travel> cards;
  for (const auto& card : deal.Cards) {
    const int dx = card.ToX - card.FromX, dy = card.ToY - card.FromY;
    cards.push_back({card.FromX, card.FromY, Sign(dx), Sign(dy), std::abs(dx), std::abs(dy)});
  }
  std::vector<DealStep> steps;
  for (std::size_t left = cards.size(); left > 0;) {
    for (std::size_t k = 0; k < cards.size(); ++k) {
      Travel& c = cards[k];
      if (c.done) continue;
      const bool alongX = c.ax >= c.ay;
      const int major = alongX ? c.ax : c.ay;
      c.error += alongX ? c.ay : c.ax;
      if (c.error >= major) {
        c.error -= major;
        (alongX ? c.y : c.x) += length * (alongX ? c.sy : c.sx);
      }
      steps.push_back({static_cast<int>(k), c.x, c.y});
      (alongX ? c.x : c.y) += length * (alongX ? c.sx : c.sy);
      c.travelled += length;
      if (c.travelled > major) {
        c.done = true;
        --left;
      }
    }
  }
  return steps;
}

}  // namespace hw
