#include "scene/SceneCopy.h"

#include <memory>

namespace {

void CopyBody(const TAstronomialObject& from, TAstronomialObject& to)
{
  to.Name = from.Name;
  to.BodyNumber = from.BodyNumber;
  to.Color = from.Color;
  to.Visible = from.Visible;
}

void CopySpacecraft(const TSpacecraft& from, TSpacecraftList& to)
{
  auto craft = std::make_unique<TSpacecraft>(from.Color);
  CopyBody(from, *craft);
  craft->Positions = from.Positions;
  craft->PlanetocentricPositions = from.PlanetocentricPositions;
  craft->Equinox = from.Equinox;
  craft->TrajectoryFile = from.TrajectoryFile;
  craft->LaunchText = from.LaunchText;
  to.Add(std::move(craft));
}

}  // namespace

void CopyScene(const TSolarSystem& from, TSolarSystem& to)
{
  to.Left = from.Left;
  to.Top = from.Top;
  to.ShowOrbits = from.ShowOrbits;
  to.ShowNames = from.ShowNames;
  to.ShowSun = from.ShowSun;
  to.ShowSpacecrafts = from.ShowSpacecrafts;
  to.ShowRotAxis = from.ShowRotAxis;
  to.ShowRotation = from.ShowRotation;
  to.ShowPerpendiculars = from.ShowPerpendiculars;
  to.ShowApsides = from.ShowApsides;
  to.ShowLineOfNodes = from.ShowLineOfNodes;
  to.ShowDirections = from.ShowDirections;
  to.ShowSatellites = from.ShowSatellites;
  to.GridMode = from.GridMode;
  to.Plane = from.Plane;
  to.GridColor = from.GridColor;
  to.BgColor = from.BgColor;
  to.SunColor = from.SunColor;
  to.AxesColor = from.AxesColor;
  to.PerpendicularColor = from.PerpendicularColor;
  to.SpacecraftTrajectoryPast = from.SpacecraftTrajectoryPast;
  to.SpacecraftTrajectoryFuture = from.SpacecraftTrajectoryFuture;
  to.SpacecraftTrajectoryMode = from.SpacecraftTrajectoryMode;
  to.ShowPlanetocentricTrajectories = from.ShowPlanetocentricTrajectories;
  to.SetDim(from.Dim());
  to.SetRotX(from.RotX());
  to.SetRotY(from.RotY());
  to.SetRotZ(from.RotZ());
  for (int i = 0; i < ObjectColorCount; ++i) to.SetObjectColor(i, from.GetObjectColor(i));

  // The planets and their satellites exist in every scene; only what the
  // user may change differs.
  for (int i = 0; i < from.PlanetsList().Count() && i < to.PlanetsList().Count(); ++i) {
    const TOEObject& a = *from.PlanetsList().Items(i);
    TOEObject& b = *to.PlanetsList().Items(i);
    b.Visible = a.Visible;
    b.Color = a.Color;
    const TPlanet* pa = dynamic_cast<const TPlanet*>(&a);
    TPlanet* pb = dynamic_cast<TPlanet*>(&b);
    if (!pa || !pb) continue;
    for (int j = 0; j < pa->Satellites.Count() && j < pb->Satellites.Count(); ++j) {
      pb->Satellites.Items(j)->Visible = pa->Satellites.Items(j)->Visible;
      pb->Satellites.Items(j)->Color = pa->Satellites.Items(j)->Color;
    }
  }

  to.DirectionList().Assign(from.DirectionList());
  for (int i = 0; i < from.DirectionList().Count(); ++i)
    to.DirectionList().Items(i)->Visible = from.DirectionList().Items(i)->Visible;

  to.AsteroidsList().Clear();
  for (int i = 0; i < from.AsteroidsList().Count(); ++i) {
    const TOEObject& a = *from.AsteroidsList().Items(i);
    auto body = std::make_unique<TAsteroid>(a.Name, a.Elements, a.Color);
    CopyBody(a, *body);
    to.AsteroidsList().Add(std::move(body));
  }
  to.AsteroidsFullList() = from.AsteroidsFullList();

  to.SpacecraftsList().Clear();
  for (int i = 0; i < from.SpacecraftsList().Count(); ++i)
    CopySpacecraft(*from.SpacecraftsList().Items(i), to.SpacecraftsList());

  // The centre and the instant last: both recompute every body.
  to.SetCenterObject(from.CenterObject());
  to.SetDateTime(from.DateTime());
}
