// Reading the stack report (ReportQueries_win.h).
#include "tests/support/browser/ReportQueries_win.h"

#include <algorithm>
#include <sstream>

#include "tests/support/ReportJson.h"

namespace browsertest {

std::string ReportedObject(const std::string& json, const std::string& name) {
    const ReportJson report = ParseReport(json);
    const ReportJson* object = FindNamedObject(report, name);
    return object ? JsonText(*object) : "";
}

std::vector<int> ReportedCardIds(const std::string& json) {
    std::vector<int> ids;
    const ReportJson report = ParseReport(json);
    for (const ReportJson& card : ItemsOf(report, "cards"))
        ids.push_back(card.value("id", -1));
    return ids;
}

std::string ReportedCard(const std::string& json, int index) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& card : ItemsOf(report, "cards"))
        if (card.value("index", 0) == index)
            return JsonText(card);
    return "";
}

std::string ReportedObjectOfKind(const std::string& json, int kind) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& card : ItemsOf(report, "cards"))
        for (const ReportJson& object : ItemsOf(card, "objects"))
            if (object.value("kind", 0) == kind)
                return JsonText(object);
    return "";
}

std::string ReportedObjectWithId(const std::string& json, int id) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& card : ItemsOf(report, "cards"))
        for (const ReportJson& object : ItemsOf(card, "objects"))
            if (object.value("id", -1) == id)
                return JsonText(object);
    return "";
}

std::vector<std::string> ReportedTexts(const std::string& json) {
    std::vector<std::string> texts;
    const ReportJson report = ParseReport(json);
    for (const ReportJson& card : ItemsOf(report, "cards"))
        for (const ReportJson& object : ItemsOf(card, "objects"))
            for (const ReportJson& entry : ItemsOf(object, "entries"))
                if (entry.contains("text") && entry["text"].is_string())
                    texts.push_back(entry["text"].get<std::string>());
    return texts;
}

std::string ReportedVideo(const std::string& json, int card, int button, int kind) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& entry : ItemsOf(report, "video"))
        if (entry.value("card", 0) == card && entry.value("button", 0) == button && entry.value("kind", 0) == kind)
            return JsonText(entry);
    return "";
}

std::vector<std::string> ReportedObjects(const std::string& json, const std::string& name) {
    std::vector<std::string> found;
    const ReportJson report = ParseReport(json);
    for (const ReportJson* object : FindNamedObjects(report, name))
        found.push_back(JsonText(*object));
    return found;
}

std::vector<std::string> ReportedResources(const std::string& json, const std::string& type) {
    std::vector<std::string> found;
    const ReportJson report = ParseReport(json);
    for (const ReportJson& entry : ItemsOf(report, "resources"))
        if (entry.value("type", "") == type)
            found.push_back(JsonText(entry));
    return found;
}

bool HasResource(const std::string& json, const std::string& type, int id) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& entry : ItemsOf(report, "resources"))
        if (entry.value("type", "") == type && entry.value("id", -1) == id)
            return true;
    return false;
}

std::string ReportedDestination(const std::string& json, int card, int button) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& entry : ItemsOf(report, "destinations"))
        if (entry.value("card", 0) == card && entry.value("button", 0) == button)
            return JsonText(entry);
    return "";
}

std::string ReportedValue(const std::string& json, const std::string& key) {
    const ReportJson report = ParseReport(json);
    const ReportJson* value = FindKey(report, key);
    return value ? JsonText(*value) : "";
}

std::string ReportedText(const std::string& json, const std::string& key) {
    const ReportJson report = ParseReport(json);
    const ReportJson* value = FindKey(report, key);
    return value && value->is_string() ? value->get<std::string>() : "";
}

int ReportedNumber(const std::string& json, const std::string& key) {
    const ReportJson report = ParseReport(json);
    const ReportJson* value = FindKey(report, key);
    return value && value->is_number_integer() ? value->get<int>() : -1;
}

RECT ReportedRect(const std::string& object) {
    RECT r{-1, -1, -1, -1};
    const ReportJson report = ParseReport(object);
    const ReportJson* rect = FindKey(report, "rect");
    if (rect && rect->is_array() && rect->size() == 4 && (*rect)[0].is_number_integer()) {
        r.left = (*rect)[0].get<long>();
        r.top = (*rect)[1].get<long>();
        r.right = (*rect)[2].get<long>();
        r.bottom = (*rect)[3].get<long>();
    }
    return r;
}

}  // namespace browsertest
