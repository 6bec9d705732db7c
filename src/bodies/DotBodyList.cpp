#include "bodies/DotBodyList.h"

void TDotBodyList::Add(const TOrbitElements& elements, TColor color)
{
  CheckElements("", elements);
  elements_.push_back(elements);
  colors_.push_back(color);
  positions_.insert(positions_.end(), 3, 0.0);
}

void TDotBodyList::Clear()
{
  elements_.clear();
  colors_.clear();
  positions_.clear();
}

void TDotBodyList::Reserve(int count)
{
  elements_.reserve(count);
  colors_.reserve(count);
  positions_.reserve(3 * static_cast<size_t>(count));
}

void TDotBodyList::SetAllColors(TColor color)
{
  for (TColor& c : colors_) c = color;
}

void TDotBodyList::CalculateAll(long double jd)
{
  for (size_t i = 0; i < elements_.size(); ++i) {
    TRectCoord p = KeplerPosition(elements_[i], jd);
    positions_[3 * i] = static_cast<double>(p.X);
    positions_[3 * i + 1] = static_cast<double>(p.Y);
    positions_[3 * i + 2] = static_cast<double>(p.Z);
  }
}
