// Stream records of the bodies inside a document's scene record: element
// bodies and their lists in the three generations of the format, and the
// user-defined lines.
//
// Element-body record, version 3 (written): Name, Color, Visible, BodyNumber,
// the eight elements in the order of TOrbitElements, Position x, y, z.
// Version 2 lacks the position, version 1 also the body number. A list
// record is an Integer count followed by that many records.
#pragma once

#include "bodies/SSClasses.h"
#include "stream/TaggedStream.h"

void WriteBody(TWriter& writer, const TOEObject& body);
void WriteBodies(TWriter& writer, const TOEObjectList& list);

// Fill a body from a record of that version. Nothing is checked: the
// elements are stored as read.
void ReadBodyV1(TReader& reader, TOEObject& body);
void ReadBodyV2(TReader& reader, TOEObject& body);
void ReadBodyV3(TReader& reader, TOEObject& body);

// Replace the content of `list` from a list record. A record of body number
// 0-8 becomes a new planet of that number with the record's colour, 11 a new
// minor body with the record's name, elements and colour; any other number is
// skipped. The new bodies are visible and have no position until the next
// computation. On an error the list keeps the bodies read so far; an element
// set no orbit can be computed for is damaged data like a wrong tag
// (EReadError "Invalid property value").
void ReadBodiesV1(TReader& reader, TOEObjectList& list);
void ReadBodiesV2(TReader& reader, TOEObjectList& list);
void ReadBodiesV3(TReader& reader, TOEObjectList& list);

// The user-line list record: a count, then FromObject, ToObject, Color and
// Visible of every line.
void WriteLines(TWriter& writer, const TDirectionList& list);
void ReadLines(TReader& reader, TDirectionList& list);
