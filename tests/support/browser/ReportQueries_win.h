// Reading what stackreport says of a stack (ReportQueries_win.cpp).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace browsertest {

// Reading stackreport's JSON (tests/support/ReportJson.h parses it): the object of that name as
// JSON text (empty when absent), the first number under key (-1 when absent), and an object's
// "rect" (-1s when absent).
std::string ReportedObject(const std::string& json, const std::string& name);
// The card ids in the order the report lists the cards.
std::vector<int> ReportedCardIds(const std::string& json);
// The card of that index (from 1) as JSON text; empty when there is none.
std::string ReportedCard(const std::string& json, int index);
// The first object of that kind (16 a graphic, 48 a button, 96 a text object); empty when none.
std::string ReportedObjectOfKind(const std::string& json, int kind);
// The report's "video" entry of that card, button and chunk kind; empty when none.
std::string ReportedVideo(const std::string& json, int card, int button, int kind);
// The first object with that id, of any card; empty when none.
std::string ReportedObjectWithId(const std::string& json, int id);
// The texts of every text entry of the objects, in the report's order.
std::vector<std::string> ReportedTexts(const std::string& json);
// Every object of that name, in the report's order.
std::vector<std::string> ReportedObjects(const std::string& json, const std::string& name);
// The report's resource entries of that type ("Icon", "Crsr", "Hlnk"), deleted ones too, in file
// order, as JSON text.
std::vector<std::string> ReportedResources(const std::string& json, const std::string& type);
// Whether the report holds a resource entry of that type and id.
bool HasResource(const std::string& json, const std::string& type, int id);
// The report's "destinations" entry of that card and button; empty when none.
std::string ReportedDestination(const std::string& json, int card, int button);
// The first value under key as JSON text ("[1,4136]", "{...}"); empty when absent.
std::string ReportedValue(const std::string& json, const std::string& key);
int ReportedNumber(const std::string& json, const std::string& key);
// The first text under key; empty when absent or not a text.
std::string ReportedText(const std::string& json, const std::string& key);
RECT ReportedRect(const std::string& object);

}  // namespace browsertest
