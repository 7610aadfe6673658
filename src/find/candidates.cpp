#include "find/candidates.h"

#include <algorithm>
#include <map>

namespace find {

std::string Candidate::where() const {
    std::string names;
    for (const std::string& port : ports)
        names += (names.empty() ? "" : ", ") + port;
    if (names.empty() || path.empty())
        return names + path;
    return names + " " + path;
}

std::vector<Candidate> candidatesOf(const ports::DeviceMap& devices,
                                    const std::vector<ports::FoundDevice>& found,
                                    const std::vector<std::string>& addresses,
                                    const std::string& root) {
    std::vector<Candidate> candidates;
    std::map<std::string, std::size_t> seen;  // a device's identity, and its candidate
    const auto add = [&](const std::string& path, const std::string& port) {
        const std::string identity = ports::deviceIdentity(path);
        auto [it, isNew] = seen.try_emplace(identity, candidates.size());
        if (isNew)
            candidates.push_back({ports::searchName(path), path, {}, ports::reachOf(path, root)});
        Candidate& candidate = candidates[it->second];
        if (!port.empty())
            candidate.ports.push_back(port);
    };
    for (const ports::DeviceMap::Entry& entry : devices.entries())
        add(entry.path, entry.portName);
    for (const ports::FoundDevice& device : found) {
        // A print queue is no device to ask: the port list tells what to do about it.
        if (!device.printQueue)
            add(device.path, {});
    }
    for (const std::string& address : addresses) {
        if (devices.find(address) == nullptr)
            add(address, {});
    }
    return candidates;
}

}  // namespace find
