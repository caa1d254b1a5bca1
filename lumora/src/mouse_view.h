// The drag arithmetic, run by the window procedure for every mouse move.
#pragma once

namespace Lumora {

void MouseViewUpdate(int x, int y);

} // namespace Lumora
