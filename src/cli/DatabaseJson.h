#pragma once

#include "cli/Json.h"

#include <string>

class NotesMgr;

// The JSON form of a whole database, as dump prints it and create reads it:
// {"formatVersion":3,"nextId":…,"dbTitle":…,"dbDescription":…,"records":[…]}
// with each record's fields in the store's order and times as their eight
// calendar fields.
namespace cli {

// The store's header and records, records in ascending id.
json::Value databaseToJson(const NotesMgr& mgr);

// Replaces mgr's content by the database doc describes. Every key must be
// present with the right type and range, formatVersion must be 3, ids must be
// unique, unknown keys are refused. Second and millisecond of a time are
// accepted but not stored, so they read back as 0. Throws InputError naming
// sourceName and the offending key; mgr is then unchanged.
void databaseFromJson(const json::Value& doc, const std::string& sourceName, NotesMgr& mgr);

} // namespace cli
