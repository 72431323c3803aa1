#include "tests/support/ReportJson.h"

ReportJson ParseReport(const std::string& text) { return ReportJson::parse(text, nullptr, false); }

const ReportJson* FindNamedObject(const ReportJson& report, const std::string& name) {
    if (report.is_object()) {
        const auto own = report.find("name");
        if (own != report.end() && own->is_string() && own->get<std::string>() == name)
            return &report;
    }
    if (report.is_structured())
        for (const ReportJson& inside : report)
            if (const ReportJson* found = FindNamedObject(inside, name))
                return found;
    return nullptr;
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
