#include "bodies/SSClasses.h"

TDirection::TDirection(int fromObject, TColor color, int toObject)
    : FromObject(fromObject), ToObject(toObject), Color(color)
{
}

void TDirection::Assign(const TDirection& other)
{
  FromObject = other.FromObject;
  ToObject = other.ToObject;
  Color = other.Color;
  Visible = other.Visible;
}

TDirection* TDirectionList::Add(std::unique_ptr<TDirection> line)
{
  items_.push_back(std::move(line));
  return items_.back().get();
}

void TDirectionList::Clear()
{
  while (!items_.empty()) items_.pop_back();
}

void TDirectionList::Assign(const TDirectionList& other)
{
  if (&other == this) return;
  Clear();
  for (const auto& line : other.items_)
    Add(std::make_unique<TDirection>(line->FromObject, line->Color, line->ToObject));
}
