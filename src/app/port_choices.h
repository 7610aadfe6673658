// The device the user chose for each port in the Ports dialog: kept between runs in a store
// (the user's settings), put into effect at once; a port's environment variable still wins.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ports/naming/device_map.h"
#include "ports/naming/device_survey.h"

namespace app {

// Where the choices are kept: the user's settings file, the registry on Windows.
class ChoiceStore {
public:
    virtual ~ChoiceStore() = default;
    // The saved device for a port ("COM1", ...); empty when none is saved.
    virtual std::string load(const std::string& port) const = 0;
    // Saves a device for a port; an empty one removes the choice. Answers why the store could
    // not keep it; empty once it is kept.
    virtual std::string save(const std::string& port, const std::string& device) = 0;
};

class PortChoices {
public:
    using Apply = std::function<void(const ports::DeviceMap&)>;

    // systemRoot is where the devices are looked for (ports::findDevices): empty but in tests.
    PortChoices(ports::DeviceMap::Lookup environment, ChoiceStore& store,
                std::string systemRoot = {});

    const ports::DeviceMap& devices() const { return m_devices; }
    // Told of every new map: the backend's and the About box's.
    void setApply(Apply apply) { m_apply = std::move(apply); }

    // Saves the choice for a port, the standard device or an empty text as no choice at all,
    // and puts the new map into effect (a choice kept already is left as it is). A choice the
    // store cannot keep is in force for this run only (PathSource::ThisRun); answers why it
    // could not be kept, empty once it is.
    std::string choose(const std::string& port, const std::string& device);

    std::vector<ports::FoundDevice> found() const { return ports::findDevices(m_root); }
    const std::string& systemRoot() const { return m_root; }
    ports::DeviceState state(const std::string& path, ports::PortKind kind) const {
        return ports::deviceState(path, kind, m_root);
    }

private:
    ports::DeviceMap build() const;

    ports::DeviceMap::Lookup m_environment;
    ChoiceStore& m_store;
    // The choices the store could not keep, by port: "" for the standard device.
    std::map<std::string, std::string> m_unsaved;
    std::string m_root;
    ports::DeviceMap m_devices;
    Apply m_apply;
};

}  // namespace app
