#include "tests/support/ReportJson.h"

ReportJson ParseReport(const std::string& text) { return ReportJson::parse(text, nullptr, false); }

const ReportJson& ItemsOf(const ReportJson& object, const std::string& key) {
    static const ReportJson none = ReportJson::array();
    if (!object.is_object())
        return none;
    const auto items = object.find(key);
    return items != object.end() && items->is_array() ? *items : none;
}

std::string JsonText(const ReportJson& value) { return value.dump(-1, ' ', false, ReportJson::error_handler_t::replace); }

namespace {

void CollectNamed(const ReportJson& report, const std::string& name, std::vector<const ReportJson*>& found, bool first) {
    if (first && !found.empty())
        return;
    if (report.is_object()) {
        const auto own = report.find("name");
        if (own != report.end() && own->is_string() && own->get<std::string>() == name)
            found.push_back(&report);
    }
    if (report.is_structured())
        for (const ReportJson& inside : report)
            CollectNamed(inside, name, found, first);
}

}  // namespace

const ReportJson* FindNamedObject(const ReportJson& report, const std::string& name) {
    std::vector<const ReportJson*> found;
    CollectNamed(report, name, found, true);
    return found.empty() ? nullptr : found.front();
}

std::vector<const ReportJson*> FindNamedObjects(const ReportJson& report, const std::string& name) {
    std::vector<const ReportJson*> found;
    CollectNamed(report, name, found, false);
    return found;
}

const ReportJson* FindKey(const ReportJson& report, const std::string& key) {
    if (report.is_object()) {
        const auto own = report.find(key);
        if (own != report.end())
            return &*own;
    }
    if (report.is_structured())
        for (const ReportJson& inside : report)
            if (const ReportJson* found = FindKey(inside, key))
                return found;
    return nullptr;
}
