// Matching calls against fault rules: after, times, node and errorText.
#include "sim/core/faults.h"

#include <cstdio>

namespace sim {

FaultList::FaultList(std::vector<FaultSpec> specs) {
    for (FaultSpec& desc : specs)
        m_rules.push_back({std::move(desc), 0});
}

std::optional<FaultHit> FaultList::Check(camlib::Operation operation, const std::string& node) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::optional<FaultHit> hit;
    for (Rule& rule : m_rules) {
        if (rule.desc.call != operation || (rule.desc.node && *rule.desc.node != node))
            continue;
        ++rule.seen;
        const bool due =
            rule.seen > rule.desc.after &&
            (rule.desc.times < 0 || rule.seen - rule.desc.after <= static_cast<uint64_t>(rule.desc.times));
        if (!due || hit)
            continue;
        std::string text;
        if (rule.desc.errorText) {
            text = *rule.desc.errorText;
        } else if (rule.desc.status) {
            char status[16];
            std::snprintf(status, sizeof status, "0x%X", static_cast<unsigned>(*rule.desc.status));
            text = std::string(camlib::OperationName(operation)) + ": injected fault, status " + status;
        }
        hit = FaultHit{rule.desc.status, std::move(text), rule.desc.delayMs};
    }
    return hit;
}

} // namespace sim
