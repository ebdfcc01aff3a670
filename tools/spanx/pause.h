#pragma once
namespace spanx {

// The counting loop's pause: waits for Enter; any other line typed is run as a
// command by the system shell and the request is shown again.
void pause();

}  // namespace spanx
