// Reading what stackreport prints: the JSON document, parsed by a JSON library rather than
// searched as text, so a walk finds a field wherever the report puts it and only there.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// Document order is kept, so "the first object with this key" means the first the report wrote.
using ReportJson = nlohmann::ordered_json;

// The report's document; a discarded value (is_discarded()) when the text is not JSON.
ReportJson ParseReport(const std::string& text);
// The array under key of an object (an empty one when there is none), without copying it, so
// that what is found in it may be pointed at.
const ReportJson& ItemsOf(const ReportJson& object, const std::string& key);
// A value as JSON text again; bytes the report wrote that are not UTF-8 become U+FFFD.
std::string JsonText(const ReportJson& value);
// The first object, depth first, whose "name" is name; null when there is none.
const ReportJson* FindNamedObject(const ReportJson& report, const std::string& name);
// Every such object, depth first.
std::vector<const ReportJson*> FindNamedObjects(const ReportJson& report, const std::string& name);
// The first value of key, depth first: the object's own before those of what it holds.
const ReportJson* FindKey(const ReportJson& report, const std::string& key);
