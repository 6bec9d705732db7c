// Helpers shared by the scene's painting tests.
#pragma once

#include "scene/RecordingCanvas.h"
#include "scene/SolarSystem.h"

#include <algorithm>
#include <functional>

inline TDateRec SceneDate(int year, int month, int day, int hour = 0, int minute = 0)
{
  TDateRec r;
  r.Year = year;
  r.Month = month;
  r.Day = day;
  r.Hour = hour;
  r.Minute = minute;
  return r;
}

// A scene that draws nothing of its own: no grid, Sun, names, orbits or
// planets. Tests switch on what they look at.
inline void Quiet(TSolarSystem& scene)
{
  scene.GridMode = 0;
  scene.ShowSun = false;
  scene.ShowNames = false;
  scene.ShowOrbits = false;
  for (int i = 0; i < scene.PlanetsList().Count(); ++i)
    scene.PlanetsList().Items(i)->Visible = false;
}

inline int CountOps(const TRecordingCanvas& c, const std::function<bool(const TCanvasOp&)>& pred)
{
  return static_cast<int>(std::count_if(c.Ops.begin(), c.Ops.end(), pred));
}

// Index of the first op that satisfies pred, or -1.
inline int FirstOp(const TRecordingCanvas& c, const std::function<bool(const TCanvasOp&)>& pred)
{
  for (size_t i = 0; i < c.Ops.size(); ++i)
    if (pred(c.Ops[i])) return static_cast<int>(i);
  return -1;
}

inline int LastOp(const TRecordingCanvas& c, const std::function<bool(const TCanvasOp&)>& pred)
{
  for (size_t i = c.Ops.size(); i-- > 0;)
    if (pred(c.Ops[i])) return static_cast<int>(i);
  return -1;
}

inline bool IsLineIn(const TCanvasOp& op, TColor pen)
{
  return op.Kind == TCanvasOpKind::Line && op.PenColor == pen;
}

inline bool IsEllipseIn(const TCanvasOp& op, TColor brush)
{
  return op.Kind == TCanvasOpKind::Ellipse && op.BrushColor == brush;
}
