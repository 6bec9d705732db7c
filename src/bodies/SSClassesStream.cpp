#include "bodies/SSClassesStream.h"

#include <memory>

namespace {

void WriteElements(TWriter& w, const TOrbitElements& el)
{
  w.WriteFloatValue(el.EpochJD);
  w.WriteFloatValue(el.Incl);
  w.WriteFloatValue(el.NodeLon);
  w.WriteFloatValue(el.PeriLon);
  w.WriteFloatValue(el.AxisAU);
  w.WriteFloatValue(el.DailyMotion);
  w.WriteFloatValue(el.Ecc);
  w.WriteFloatValue(el.MeanLon);
}

void ReadElements(TReader& r, TOrbitElements& el)
{
  el.EpochJD = r.ReadFloatValue();
  el.Incl = r.ReadFloatValue();
  el.NodeLon = r.ReadFloatValue();
  el.PeriLon = r.ReadFloatValue();
  el.AxisAU = r.ReadFloatValue();
  el.DailyMotion = r.ReadFloatValue();
  el.Ecc = r.ReadFloatValue();
  el.MeanLon = r.ReadFloatValue();
}

void ReadHead(TReader& r, TOEObject& body)
{
  body.Name = r.ReadStringValue();
  body.Color = static_cast<TColor>(r.ReadIntValue());
  body.Visible = r.ReadBoolValue();
}

// The body the list readers build from a record, or null for a body number
// that has no place in a list of element bodies.
std::unique_ptr<TOEObject> BodyFromRecord(const TOEObject& record)
{
  if (record.BodyNumber >= 0 && record.BodyNumber <= 8)
    return std::make_unique<TPlanet>(record.BodyNumber, record.Color);
  if (record.BodyNumber == bnMinorBody) {
    try {
      return std::make_unique<TAsteroid>(record.Name, record.Elements, record.Color);
    } catch (const EInvalidElements&) {
      // Only damaged data gets here: the program never stores such a set.
      throw EReadError(InvalidPropertyValueMessage);
    }
  }
  return nullptr;
}

// The fewest bytes a record can take, every value at its shortest (a
// String of length 0, an Integer or Float of one byte, a Boolean): version 1,
// 2 and 3.
constexpr std::uint64_t MinBodyBytesV1 = 2 + 2 + 1 + 8 * 2;
constexpr std::uint64_t MinBodyBytesV2 = MinBodyBytesV1 + 2;
constexpr std::uint64_t MinBodyBytesV3 = MinBodyBytesV2 + 3 * 2;
constexpr std::uint64_t MinLineBytes = 2 + 2 + 2 + 1;

void ReadBodies(TReader& r, TOEObjectList& list, void (*readBody)(TReader&, TOEObject&),
                std::uint64_t minBodyBytes)
{
  list.Clear();
  TOrbitElements circle;  // any valid set will do for the scratch body
  circle.AxisAU = 1;
  circle.DailyMotion = 1;
  TOEObject scratch("", circle, 0, -1);
  // The count is not trusted for memory: the bytes left must hold that many
  // records, and room grows only with the records actually read.
  const std::int32_t n = r.ReadCountValue(minBodyBytes, "minor bodies");
  for (std::int32_t i = 0; i < n; ++i) {
    readBody(r, scratch);
    if (auto body = BodyFromRecord(scratch)) list.Add(std::move(body));
  }
}

}  // namespace

void WriteBody(TWriter& w, const TOEObject& body)
{
  w.WriteStringValue(body.Name);
  w.WriteIntValue(static_cast<std::int32_t>(body.Color));
  w.WriteBoolValue(body.Visible);
  w.WriteIntValue(body.BodyNumber);
  WriteElements(w, body.Elements);
  w.WriteFloatValue(body.Position.X);
  w.WriteFloatValue(body.Position.Y);
  w.WriteFloatValue(body.Position.Z);
}

void WriteBodies(TWriter& w, const TOEObjectList& list)
{
  w.WriteIntValue(list.Count());
  for (int i = 0; i < list.Count(); ++i) WriteBody(w, *list.Items(i));
}

void ReadBodyV1(TReader& r, TOEObject& body)
{
  ReadHead(r, body);
  body.BodyNumber = bnMinorBody;  // the first documents held minor bodies only
  ReadElements(r, body.Elements);
}

void ReadBodyV2(TReader& r, TOEObject& body)
{
  ReadHead(r, body);
  body.BodyNumber = r.ReadIntValue();
  ReadElements(r, body.Elements);
}

void ReadBodyV3(TReader& r, TOEObject& body)
{
  ReadBodyV2(r, body);
  body.Position.X = r.ReadFloatValue();
  body.Position.Y = r.ReadFloatValue();
  body.Position.Z = r.ReadFloatValue();
  body.SphericalPosition = RectToPolar(body.Position);
}

void ReadBodiesV1(TReader& r, TOEObjectList& list)
{
  ReadBodies(r, list, ReadBodyV1, MinBodyBytesV1);
}
void ReadBodiesV2(TReader& r, TOEObjectList& list)
{
  ReadBodies(r, list, ReadBodyV2, MinBodyBytesV2);
}
void ReadBodiesV3(TReader& r, TOEObjectList& list)
{
  ReadBodies(r, list, ReadBodyV3, MinBodyBytesV3);
}

void WriteLines(TWriter& w, const TDirectionList& list)
{
  w.WriteIntValue(list.Count());
  for (int i = 0; i < list.Count(); ++i) {
    const TDirection& d = *list.Items(i);
    w.WriteIntValue(d.FromObject);
    w.WriteIntValue(d.ToObject);
    w.WriteIntValue(static_cast<std::int32_t>(d.Color));
    w.WriteBoolValue(d.Visible);
  }
}

void ReadLines(TReader& r, TDirectionList& list)
{
  list.Clear();
  const std::int32_t n = r.ReadCountValue(MinLineBytes, "user-defined lines");
  for (std::int32_t i = 0; i < n; ++i) {
    auto line = std::make_unique<TDirection>(bnSun, 0, bnEarth);
    line->FromObject = r.ReadIntValue();
    line->ToObject = r.ReadIntValue();
    line->Color = static_cast<TColor>(r.ReadIntValue());
    line->Visible = r.ReadBoolValue();
    list.Add(std::move(line));
  }
}
