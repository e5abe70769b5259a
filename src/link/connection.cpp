#include "drive_com.h"

namespace kinetra {

// The port search and the full read come with the receive path.
void DriveCom::cmdConnect() {}
void DriveCom::cmdStop() {}

} // namespace kinetra
