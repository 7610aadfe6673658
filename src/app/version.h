// The program's version and how the splash writes it.
#pragma once

#include <string>

namespace app {

struct Version {
    int major;
    int minor;
    int revision;
};

Version programVersion();
// "Version " + major + "." + minor + "." + revision, plain decimal: "Version 1.2.3".
std::string versionText(Version version);

}  // namespace app
