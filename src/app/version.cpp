#include "app/version.h"

namespace app {

Version programVersion() {
    return {DRAWERTEST_VERSION_MAJOR, DRAWERTEST_VERSION_MINOR, DRAWERTEST_VERSION_REVISION};
}

std::string versionText(Version version) {
    return "Version " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.revision);
}

}  // namespace app
